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

#include "diagnostic_center/diag_tree.hpp"

#include <algorithm>
#include <cinttypes>
#include <mutex>
#include <tuple>
#include <utility>

#include "rclcpp/logging.hpp"

namespace diag_tree {

namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1000000000;
constexpr std::int64_t kNanosecondsPerMillisecond = 1000000;

using TreeNode = DiagTree::TreeNode;

// An event's time as one signed count of nanoseconds (seconds sign-extended,
// nanoseconds unsigned).
std::int64_t ToNanoseconds(const builtin_interfaces::msg::Time & stamp)
{
  return static_cast<std::int64_t>(stamp.sec) * kNanosecondsPerSecond +
         static_cast<std::int64_t>(stamp.nanosec);
}

std::uint32_t RootCauseId(const FaultConfig & config)
{
  return static_cast<std::uint32_t>(config.root_cause);
}

bool IsOwnRootCause(const FaultConfig & config) { return RootCauseId(config) == config.fault_id; }

// The root of the subtree `node` hangs in.
const TreeNode * TopOf(const TreeNode & node)
{
  const TreeNode * top = &node;
  while (top->parent != nullptr) {
    top = top->parent;
  }
  return top;
}

// True when `candidate` is `node` itself or one of its ancestors. Hanging a
// failure below one of its own descendants would close a cycle in which no
// failure is a root, so the attach rule refuses it.
bool IsSelfOrAncestor(const TreeNode & candidate, const TreeNode & node)
{
  for (const TreeNode * up = &node; up != nullptr; up = up->parent) {
    if (up == &candidate) {
      return true;
    }
  }
  return false;
}

// Published views order failures by their ids as the messages carry them.
bool BySignedId(const TreeNode * a, const TreeNode * b)
{
  return static_cast<std::int32_t>(a->config.fault_id) <
         static_cast<std::int32_t>(b->config.fault_id);
}

FailureView ViewOf(const TreeNode & node)
{
  FailureView view;
  view.fault_id = node.config.fault_id;
  if (node.parent != nullptr) {
    view.parent_id = node.parent->config.fault_id;
  }
  view.root_cause = node.config.root_cause;
  view.raised_at = node.raised_at;
  view.module = node.module;
  view.description = node.config.fault_desc;
  view.event_msg = node.event_msg;
  return view;
}

// Appends `top` and everything below it, depth first, children by id.
void AppendSubtree(const TreeNode & top, std::vector<FailureView> & out)
{
  std::vector<const TreeNode *> stack{&top};
  while (!stack.empty()) {
    const TreeNode * node = stack.back();
    stack.pop_back();
    out.push_back(ViewOf(*node));
    const auto first_child = static_cast<std::ptrdiff_t>(stack.size());
    stack.insert(stack.end(), node->children.begin(), node->children.end());
    // Largest id first, so that the smallest child is taken next.
    std::sort(stack.begin() + first_child, stack.end(), [](const TreeNode * a, const TreeNode * b) {
      return BySignedId(b, a);
    });
  }
}

}  // namespace

bool FailureView::operator==(const FailureView & other) const
{
  return std::tie(
             fault_id, parent_id, root_cause, raised_at.sec, raised_at.nanosec, module, description,
             event_msg) ==
         std::tie(
             other.fault_id, other.parent_id, other.root_cause, other.raised_at.sec,
             other.raised_at.nanosec, other.module, other.description, other.event_msg);
}

bool FaultTable::Insert(FaultConfig config)
{
  const std::uint32_t id = config.fault_id;
  return rows_.emplace(id, std::move(config)).second;
}

const FaultConfig * FaultTable::Find(std::uint32_t fault_id) const
{
  const auto it = rows_.find(fault_id);
  return it == rows_.end() ? nullptr : &it->second;
}

FaultTable & KnownFaults()
{
  static FaultTable table;
  return table;
}

const FaultConfig * FindFaultConfig(std::uint32_t fault_id) { return KnownFaults().Find(fault_id); }

DiagTree::DiagTree(rclcpp::Logger logger, const FaultTable & table)
    : logger_(logger), table_(table)  // rclcpp::Logger copies only
{
}

bool DiagTree::CheckTimeStamp(std::int64_t root_tp, std::int64_t sub_tp, std::int64_t dis_ms) const
{
  RCLCPP_INFO(
      logger_,
      "root time tp : %" PRId64 ", sub time tp : %" PRId64 ", sub time dis : %" PRId64 " ms",
      root_tp, sub_tp, dis_ms);
  // Stamps hold 32-bit seconds, so the difference cannot overflow 64 bits.
  // Division truncates toward zero; a sub failure stamped before its root
  // cause always passes.
  const std::int64_t diff_ms = (sub_tp - root_tp) / kNanosecondsPerMillisecond;
  return diff_ms <= dis_ms;
}

void DiagTree::push(
    const corvanta_protocol::msg::DiagnosticEvent & event, const std::string & module)
{
  const std::int64_t time_tp = ToNanoseconds(event.stamp);
  const auto fault_id = static_cast<std::uint32_t>(event.fault_id);

  std::unique_lock<std::shared_mutex> lock(mutex_);
  TreeNode * node = nullptr;
  if (const auto it = nodes_.find(fault_id); it != nodes_.end()) {
    node = it->second.get();
    node->time_tp = time_tp;
  } else {
    const FaultConfig * config = table_.Find(fault_id);
    if (config == nullptr) {
      return;
    }
    auto created = std::make_unique<TreeNode>();
    created->time_tp = time_tp;
    created->config = *config;
    node = created.get();
    nodes_.emplace(fault_id, std::move(created));
    if (!IsOwnRootCause(node->config)) {
      by_root_cause_[RootCauseId(node->config)].insert(node);
    }
  }
  node->raised_at = event.stamp;
  node->module = module;
  node->event_msg = event.event_msg;
  Place(*node);
  AdoptConsequences(*node);
  RCLCPP_INFO(logger_, "nodes_.size() : %zu, roots_.size() : %zu", nodes_.size(), roots_.size());
}

void DiagTree::remove(std::uint32_t fault_id)
{
  std::unique_lock<std::shared_mutex> lock(mutex_);
  const auto it = nodes_.find(fault_id);
  if (it == nodes_.end()) {
    return;
  }
  const std::unique_ptr<TreeNode> node = std::move(it->second);
  nodes_.erase(it);
  if (!IsOwnRootCause(node->config)) {
    const auto bucket = by_root_cause_.find(RootCauseId(node->config));
    bucket->second.erase(node.get());
    if (bucket->second.empty()) {
      by_root_cause_.erase(bucket);
    }
  }

  if (node->parent != nullptr) {
    node->parent->children.erase(node.get());
  } else {
    roots_.erase(node.get());
  }
  node->parent = nullptr;
  // Only direct children move up; each keeps its own subtree.
  for (TreeNode * child : node->children) {
    child->parent = nullptr;
    roots_.insert(child);
  }
  RCLCPP_INFO(logger_, "nodes_.size() : %zu, roots_.size() : %zu", nodes_.size(), roots_.size());
}

std::vector<std::uint32_t> DiagTree::all_ids() const
{
  std::shared_lock<std::shared_mutex> lock(mutex_);
  std::vector<std::uint32_t> ids;
  ids.reserve(nodes_.size());
  for (const auto & entry : nodes_) {
    ids.push_back(entry.second->config.fault_id);
  }
  return ids;
}

std::vector<std::uint32_t> DiagTree::root_ids() const
{
  std::shared_lock<std::shared_mutex> lock(mutex_);
  std::vector<std::uint32_t> ids;
  ids.reserve(roots_.size());
  for (const TreeNode * root : roots_) {
    ids.push_back(root->config.fault_id);
  }
  return ids;
}

std::optional<std::uint32_t> DiagTree::parent_id(std::uint32_t fault_id) const
{
  std::shared_lock<std::shared_mutex> lock(mutex_);
  const auto it = nodes_.find(fault_id);
  if (it == nodes_.end() || it->second->parent == nullptr) {
    return std::nullopt;
  }
  return it->second->parent->config.fault_id;
}

std::vector<FailureView> DiagTree::Snapshot() const
{
  std::shared_lock<std::shared_mutex> lock(mutex_);
  std::vector<const TreeNode *> roots(roots_.begin(), roots_.end());
  std::sort(roots.begin(), roots.end(), BySignedId);
  std::vector<FailureView> out;
  out.reserve(nodes_.size());
  // The attach rule never closes a cycle, so every failure is below a root.
  for (const TreeNode * root : roots) {
    AppendSubtree(*root, out);
  }
  return out;
}

// Looks up for the failure `node` is a consequence of.
void DiagTree::Place(TreeNode & node)
{
  if (IsOwnRootCause(node.config)) {
    roots_.insert(&node);
    return;
  }
  if (node.parent != nullptr) {
    // Once attached, a failure stays below its parent until one is cleared.
    return;
  }
  const auto root_it = nodes_.find(RootCauseId(node.config));
  if (root_it != nodes_.end()) {
    TreeNode & root = *root_it->second;
    if (CheckTimeStamp(root.time_tp, node.time_tp, node.config.root_cause_time_dis) &&
        !IsSelfOrAncestor(node, root)) {
      Attach(node, root);
      return;
    }
  }
  roots_.insert(&node);
}

// Looks down for current failures that are consequences of `node`. Each
// candidate is judged on its own: attaching one below `node` changes neither
// `node`'s ancestors nor any other candidate.
void DiagTree::AdoptConsequences(TreeNode & node)
{
  const auto bucket = by_root_cause_.find(node.config.fault_id);
  if (bucket == by_root_cause_.end()) {
    return;
  }
  // An unparented candidate can only be an ancestor of `node` by being the
  // root of `node`'s subtree.
  const TreeNode * top = TopOf(node);
  for (TreeNode * candidate : bucket->second) {
    if (candidate != &node && candidate->parent == nullptr &&
        CheckTimeStamp(node.time_tp, candidate->time_tp, candidate->config.root_cause_time_dis) &&
        candidate != top) {
      Attach(*candidate, node);
    }
  }
}

void DiagTree::Attach(TreeNode & sub, TreeNode & root)
{
  roots_.erase(&sub);
  root.children.insert(&sub);
  sub.parent = &root;
}

}  // namespace diag_tree
