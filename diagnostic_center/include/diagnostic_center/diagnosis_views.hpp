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

// The two published views of the diagnosis tree, built from one snapshot of
// it: the whole tree (corvanta_protocol/msg/DiagnosisTree) and the standard
// diagnostics (diagnostic_msgs/msg/DiagnosticArray). Fault ids are written
// as signed 32-bit numbers, as the logs and the record file write them.
#ifndef DIAGNOSTIC_CENTER__DIAGNOSIS_VIEWS_HPP_
#define DIAGNOSTIC_CENTER__DIAGNOSIS_VIEWS_HPP_

#include <string>
#include <vector>

#include "builtin_interfaces/msg/time.hpp"
#include "corvanta_protocol/msg/diagnosis_tree.hpp"
#include "diagnostic_center/diag_tree.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"

namespace diagnostic_center {

using Snapshot = std::vector<diag_tree::FailureView>;

// `stamp` as ISO 8601 UTC with nanoseconds, "2031-07-04T09:05:03.000000001Z";
// nanoseconds beyond a second carry into the seconds.
std::string IsoUtc(const builtin_interfaces::msg::Time & stamp);

// The tree as taken at `stamp`; a root cause is its own parent.
corvanta_protocol::msg::DiagnosisTree BuildDiagnosisTree(
    const Snapshot & snapshot, const builtin_interfaces::msg::Time & stamp);

// One status per failure (ERROR for a root cause, WARN for a consequence),
// named `status_name` + "/" + fault id, then the summary status named
// `status_name` (contract::DiagnosticsStatusName of the node's namespace).
diagnostic_msgs::msg::DiagnosticArray BuildDiagnosticArray(
    const Snapshot & snapshot, const builtin_interfaces::msg::Time & stamp,
    const std::string & status_name);

// Decides after each handling cycle which views are to be published: the
// tree whenever anything in it changed, the diagnostics when failures came,
// went or moved between root cause and consequence. The first comparison is
// with the empty tree, which goes out at start-up.
class ViewChanges
{
public:
  struct Due
  {
    bool tree = false;
    bool diagnostics = false;
  };

  // Compares `now` with the snapshot of the last call and keeps `now`.
  Due Update(const Snapshot & now);

private:
  Snapshot last_;
};

}  // namespace diagnostic_center

#endif  // DIAGNOSTIC_CENTER__DIAGNOSIS_VIEWS_HPP_
