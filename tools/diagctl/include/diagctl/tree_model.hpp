// Copyright 2026 Corvanta diagnostics team
//
// Licensed under the Apache License, Version 2.0 (the "License");
// you may not use this file except in compliance with the License.
// You may obtain a copy of the License at
//
//     http://www.apache.org/licenses/LICENSE-2.0
//
// Unless required by applicable law or agreed to in writing, software
// distributed under the License is distributed on an "AS IS" BASIS,
// WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
// See the License for the specific language governing permissions and
// limitations under the License.
//
// SPDX-License-Identifier: Apache-2.0

// A DiagnosisTree message as rows in display order: each top-level failure
// followed by the failures below it, depth first, with their depth.
//
// The node sends its entries already in that order, but the rows are rebuilt
// from the parent ids so that a message that breaks the order still shows
// every failure once and under its parent. An entry whose parent is not in
// the message, or is only reachable through a loop of parents, is shown at
// the top and marked, never dropped.
#ifndef DIAGCTL__TREE_MODEL_HPP_
#define DIAGCTL__TREE_MODEL_HPP_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <corvanta_protocol/msg/diagnosis_tree.hpp>

namespace diagctl {

using corvanta_protocol::msg::DiagnosisEntry;
using corvanta_protocol::msg::DiagnosisTree;

struct TreeRow
{
  const DiagnosisEntry * entry = nullptr;  // into the message the model was built from
  std::size_t depth = 0;                   // 0: top level
  bool root_cause = false;                 // parent_id == fault_id
  // Top-level rows that are no root cause: the parent they name, which is not
  // in the message or not reachable from any root cause.
  std::optional<std::int32_t> unplaced_parent;
  bool last_sibling = false;  // no later row at this depth under the same parent
};

struct TreeModel
{
  std::vector<TreeRow> rows;  // depth first; children in message order
  std::size_t root_causes = 0;
  std::size_t consequences = 0;  // every entry that is not a root cause
};

// The model refers to `tree`'s entries: keep the message alive while using it.
TreeModel build_tree_model(const DiagnosisTree & tree);

}  // namespace diagctl

#endif  // DIAGCTL__TREE_MODEL_HPP_
