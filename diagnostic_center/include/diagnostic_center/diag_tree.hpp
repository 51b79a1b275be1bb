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

// The diagnosis tree: every failure that is currently raised, arranged so that
// a failure caused by another current failure hangs below it. Also holds the
// known fault table, the configuration that decides which failure may hang
// below which.
#ifndef DIAGNOSTIC_CENTER__DIAG_TREE_HPP_
#define DIAGNOSTIC_CENTER__DIAG_TREE_HPP_

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "builtin_interfaces/msg/time.hpp"
#include "corvanta_protocol/msg/diagnostic_event.hpp"
#include "rclcpp/logger.hpp"

namespace diag_tree {

// One row of the known fault table.
struct FaultConfig
{
  std::uint32_t fault_id = 0;
  // Fault id of the failure that causes this one; equals fault_id for a fault
  // that is its own root cause.
  std::int32_t root_cause = 0;
  // Largest delay in milliseconds from the root cause's time to this failure's
  // time for this failure to count as caused by it.
  std::int64_t root_cause_time_dis = 0;
  std::string fault_desc;
};

// Fault configuration keyed by fault id. Filled once during start-up and only
// read afterwards, which is why it carries no lock.
class FaultTable
{
public:
  // Adds `config` unless a row for its id exists already (the first row stays).
  // Returns whether the row was added.
  bool Insert(FaultConfig config);
  // The row for `fault_id`, or nullptr when the id is not configured.
  const FaultConfig * Find(std::uint32_t fault_id) const;
  std::size_t size() const { return rows_.size(); }

private:
  std::unordered_map<std::uint32_t, FaultConfig> rows_;
};

// The process-wide known fault table.
FaultTable & KnownFaults();

// Looks `fault_id` up in the process-wide table; nullptr when not configured.
const FaultConfig * FindFaultConfig(std::uint32_t fault_id);

// One current failure as copied out of the tree.
struct FailureView
{
  std::uint32_t fault_id = 0;
  // The failure it hangs below; nullopt for a root cause.
  std::optional<std::uint32_t> parent_id;
  std::int32_t root_cause = 0;  // as configured
  builtin_interfaces::msg::Time raised_at;
  std::string module;
  std::string description;
  std::string event_msg;

  bool operator==(const FailureView & other) const;
  bool operator!=(const FailureView & other) const { return !(*this == other); }
};

class DiagTree
{
public:
  // One current failure.
  struct TreeNode
  {
    std::int64_t time_tp = 0;  // nanoseconds, time of the latest raise
    // What the latest raising event said, for the published views of the tree.
    builtin_interfaces::msg::Time raised_at;
    std::string module;  // module topic the event came on
    std::string event_msg;
    FaultConfig config;
    TreeNode * parent = nullptr;
    std::set<TreeNode *> children;  // ordered by node identity
  };

  // `table` must outlive the tree; it is read without a lock.
  explicit DiagTree(rclcpp::Logger logger, const FaultTable & table = KnownFaults());
  DiagTree(const DiagTree &) = delete;
  DiagTree & operator=(const DiagTree &) = delete;

  // Raises the event's failure (fault_id and stamp decide where it hangs);
  // the stamp, event_msg and `module`, the topic the event came on, are kept
  // for Snapshot.
  void push(const corvanta_protocol::msg::DiagnosticEvent & event, const std::string & module = {});
  // Clears a failure; its direct children become roots.
  void remove(std::uint32_t fault_id);

  // Fault ids of all current failures.
  std::vector<std::uint32_t> all_ids() const;
  // Fault ids of the current root causes, in node-identity order.
  std::vector<std::uint32_t> root_ids() const;
  // The failure `fault_id` hangs below; nullopt when it is a root or absent.
  std::optional<std::uint32_t> parent_id(std::uint32_t fault_id) const;

  // Every current failure in depth-first order: each root cause followed by
  // the failures below it, roots and children in the order of their fault
  // ids taken as signed 32-bit numbers (as the published messages carry them).
  std::vector<FailureView> Snapshot() const;

  // True when a sub failure at `sub_tp` counts as caused by a root cause at
  // `root_tp` (both nanoseconds), given the sub failure's distance `dis_ms`.
  bool CheckTimeStamp(std::int64_t root_tp, std::int64_t sub_tp, std::int64_t dis_ms) const;

private:
  using NodeSet = std::unordered_set<TreeNode *>;

  void Place(TreeNode & node);
  void AdoptConsequences(TreeNode & node);
  void Attach(TreeNode & sub, TreeNode & root);

  rclcpp::Logger logger_;
  const FaultTable & table_;

  mutable std::shared_mutex mutex_;
  std::unordered_map<std::uint32_t, std::unique_ptr<TreeNode>> nodes_;
  std::set<TreeNode *> roots_;
  // Current failures whose configured root cause is another fault, keyed by
  // that root cause, so a raise finds its consequences without a full scan.
  std::unordered_map<std::uint32_t, NodeSet> by_root_cause_;
};

}  // namespace diag_tree

#endif  // DIAGNOSTIC_CENTER__DIAG_TREE_HPP_
