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

// The scheduling state shared by an executor's threads.
//
// One mutex guards the node and group lists, a snapshot of the groups'
// entities and the wake-up counter. Threads hold it only to pick work: they
// scan the snapshot for a due timer or an entity with data whose group may
// run, claim it and leave the lock before running it. With nothing to do
// they sleep on the condition variable until the earliest timer is due or a
// wake() arrives (data, new entities, cancel, shutdown).
//
// Timekeeper decides which sleeping threads wake for the timers. A thread
// that claims a due timer wakes nobody while the standby covers it: it runs
// the timers that fall due together (the DueTimerBatch) one after another,
// and only if it is still busy at the hand-over bound does the standby take
// the rest. Ready data still wakes a thread at once.
#ifndef CLIENT_LAYER__EXECUTOR_CORE_HPP_
#define CLIENT_LAYER__EXECUTOR_CORE_HPP_

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "client_layer/notifier.hpp"
#include "client_layer/readable_entity.hpp"
#include "due_timer_batch.hpp"
#include "rclcpp/any_executable.hpp"
#include "rclcpp/callback_group.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/timer.hpp"
#include "timekeeper.hpp"

namespace client_layer {

class ExecutorCore : public Waker, public std::enable_shared_from_this<ExecutorCore>
{
public:
  using NodeBasePtr = rclcpp::node_interfaces::NodeBaseInterface::SharedPtr;
  using Clock = std::chrono::steady_clock;

  ~ExecutorCore() override;

  // Lets go of every node and group, so that another executor may take them
  // at once. The executor calls it when it is destroyed: a DDS listener may
  // still hold the core for a moment then.
  void detach_all();

  void wake(bool collection_changed) override;
  // Wakes every thread (cancel, shutdown).
  void interrupt();

  void add_node(const NodeBasePtr & node, bool notify);
  void remove_node(const NodeBasePtr & node, bool notify);
  void add_group(
      const rclcpp::CallbackGroup::SharedPtr & group, const NodeBasePtr & node, bool notify);
  void remove_group(const rclcpp::CallbackGroup::SharedPtr & group, bool notify);
  std::vector<rclcpp::CallbackGroup::WeakPtr> groups(bool manual, bool automatic);

  // Waits for work until `deadline` (none: no limit) while `keep_going`
  // holds, and claims it. False when nothing was claimed.
  bool claim(
      rclcpp::AnyExecutable & claimed, std::optional<Clock::time_point> deadline,
      const std::atomic_bool & keep_going);

  // Returns a claimed executable's group and entity to the pool.
  void release(const rclcpp::AnyExecutable & claimed);

  // Number of entities in the snapshot (bounds spin_some).
  size_t entity_count();

  uint64_t executed_count() const { return executed_count_.load(); }
  void count_execution() { executed_count_.fetch_add(1, std::memory_order_relaxed); }

private:
  struct NodeRecord
  {
    std::weak_ptr<rclcpp::node_interfaces::NodeBaseInterface> node;
    std::shared_ptr<Notifier> notifier;
  };
  struct GroupRecord
  {
    std::weak_ptr<rclcpp::CallbackGroup> group;
    std::weak_ptr<rclcpp::node_interfaces::NodeBaseInterface> node;
    bool automatic;
  };
  struct Readable
  {
    std::weak_ptr<ReadableEntity> entity;
    // The entity's pending flag: a scan reads it without locking the entity.
    std::shared_ptr<const std::atomic<bool>> pending;
  };
  struct Entry
  {
    std::weak_ptr<rclcpp::CallbackGroup> group;
    std::vector<std::weak_ptr<rclcpp::TimerBase>> timers;
    std::vector<Readable> readables;
  };

  // Takes the node's groups that are added with it and not yet in an executor.
  std::vector<GroupRecord> adopt_groups(const NodeBasePtr & node);
  void detach_group(const rclcpp::CallbackGroup::SharedPtr & group);
  // Rebuilds the snapshot; drops and retakes the lock.
  void rebuild(std::unique_lock<std::mutex> & lock);
  // What a scan saw besides what it claimed.
  struct ScanNotes
  {
    // When the next timer of a free group falls due, if it is not due yet.
    std::optional<Clock::time_point> earliest;
    // Whether due timers of free groups are left after the claim.
    bool more_due = false;
  };
  // Looks for a runnable executable.
  bool scan(Clock::time_point now, rclcpp::AnyExecutable & claimed, ScanNotes & notes);
  // Fills due_timers_ with the due timers of free groups, most overdue
  // first, and notes when the next one falls due. False if a group with
  // timers was busy: its timers may be more overdue than those found.
  bool collect_due_timers(Clock::time_point now, ScanNotes & notes);
  // Claims the most overdue timer whose group may run, and keeps the other
  // due timers as the batch the next claims are served from.
  bool claim_due_timer(Clock::time_point now, rclcpp::AnyExecutable & claimed, ScanNotes & notes);
  // Claims the next timer of the batch that is still due. False, with the
  // batch dropped, when none is or when a group of the batch is busy.
  bool claim_from_due_batch(rclcpp::AnyExecutable & claimed, ScanNotes & notes);
  // Claims a subscription, service or client with data, round robin over groups.
  bool claim_ready_entity(rclcpp::AnyExecutable & claimed);
  // The entry's group if it may run now (alive, and free if exclusive). A
  // group found gone marks the snapshot for a rebuild.
  std::shared_ptr<rclcpp::CallbackGroup> group_if_free_noting_gone(Entry & entry);
  void take_group(
      const std::shared_ptr<rclcpp::CallbackGroup> & group, rclcpp::AnyExecutable & claimed);

  // True if a group that can be taken from has timers: someone must watch them.
  bool has_timers_to_watch();
  // True if a subscription, service or client of a free group has data.
  bool has_ready_readable();
  // Sleeps in `role` until it ends, `deadline`, or a wake-up after
  // `wake_count`.
  void sleep(
      std::unique_lock<std::mutex> & lock, const Timekeeper::Role & role,
      std::optional<Clock::time_point> deadline, uint64_t wake_count);
  // After a claim: whether another thread must be woken now.
  bool needs_helper(Clock::time_point now, bool held_watch, bool more_due);
  // Wakes one sleeping thread: one waiting on the condition variable, or else
  // the standby.
  void wake_one_locked();

  std::mutex mutex_;
  std::condition_variable condition_;
  uint64_t wake_count_ = 0;
  uint64_t interrupt_count_ = 0;
  bool collection_dirty_ = true;
  bool rebuilding_ = false;
  // Threads waiting on the condition variable (the standby is not one).
  size_t waiting_threads_ = 0;
  // Guarded by mutex_.
  Timekeeper timekeeper_;
  size_t rotation_ = 0;
  std::vector<NodeRecord> nodes_;
  std::vector<GroupRecord> groups_;
  std::vector<Entry> entries_;
  struct DueTimer
  {
    std::chrono::nanoseconds left;  // zero or less: how long overdue
    size_t entry;
    std::shared_ptr<rclcpp::TimerBase> timer;
  };
  std::vector<DueTimer> due_timers_;  // scratch space of a due-timer claim
  // Guarded by mutex_.
  DueTimerBatch due_batch_;
  std::atomic<uint64_t> executed_count_{0};
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__EXECUTOR_CORE_HPP_
