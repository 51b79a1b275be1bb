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

#include "diagctl/tree_model.hpp"

#include <unordered_map>

namespace diagctl {

namespace {

// Entry indices below each entry and at the top, in message order.
struct Links
{
  std::vector<std::vector<std::size_t>> children;
  std::vector<std::size_t> top;
};

Links link_entries(const std::vector<DiagnosisEntry> & entries)
{
  // A repeated fault id: children hang below its first entry.
  std::unordered_map<std::int32_t, std::size_t> index_of;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    index_of.emplace(entries[i].fault_id, i);
  }
  Links links;
  links.children.resize(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const DiagnosisEntry & entry = entries[i];
    const auto parent = index_of.find(entry.parent_id);
    if (entry.parent_id == entry.fault_id || parent == index_of.end() || parent->second == i) {
      links.top.push_back(i);
    } else {
      links.children[parent->second].push_back(i);
    }
  }
  return links;
}

// Appends `start` and everything below it, depth first. Iterative, so that a
// long chain of parents cannot exhaust the stack.
void append_subtree(
    const std::vector<DiagnosisEntry> & entries, const Links & links, std::size_t start,
    std::vector<bool> & placed, TreeModel & model)
{
  struct Pending
  {
    std::size_t index;
    std::size_t depth;
  };
  std::vector<Pending> stack{{start, 0}};
  placed[start] = true;
  while (!stack.empty()) {
    const Pending current = stack.back();
    stack.pop_back();
    const DiagnosisEntry & entry = entries[current.index];
    TreeRow row;
    row.entry = &entry;
    row.depth = current.depth;
    row.root_cause = entry.parent_id == entry.fault_id;
    if (current.depth == 0 && !row.root_cause) {
      row.unplaced_parent = entry.parent_id;
    }
    model.rows.push_back(row);
    const auto & children = links.children[current.index];
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
      if (!placed[*it]) {
        placed[*it] = true;
        stack.push_back({*it, current.depth + 1});
      }
    }
  }
}

void mark_last_siblings(std::vector<TreeRow> & rows)
{
  // Backwards: a row is the last of its siblings when no row of its depth
  // follows before the rows climb above that depth.
  std::vector<bool> later_sibling;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    if (later_sibling.size() < it->depth + 1) {
      later_sibling.resize(it->depth + 1, false);
    }
    it->last_sibling = !later_sibling[it->depth];
    later_sibling.resize(it->depth + 1);
    later_sibling[it->depth] = true;
  }
}

}  // namespace

TreeModel build_tree_model(const DiagnosisTree & tree)
{
  const auto & entries = tree.entries;
  const Links links = link_entries(entries);
  TreeModel model;
  model.rows.reserve(entries.size());
  std::vector<bool> placed(entries.size(), false);
  for (const std::size_t index : links.top) {
    append_subtree(entries, links, index, placed, model);
  }
  // Whatever is left hangs in a loop of parents: each loop comes up at its
  // first entry in message order.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (!placed[i]) {
      append_subtree(entries, links, i, placed, model);
    }
  }
  mark_last_siblings(model.rows);
  for (const TreeRow & row : model.rows) {
    ++(row.root_cause ? model.root_causes : model.consequences);
  }
  return model;
}

}  // namespace diagctl
