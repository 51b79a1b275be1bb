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

#include "executor_core.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "node_base.hpp"

namespace client_layer {

namespace {

std::shared_ptr<Notifier> node_notifier(const ExecutorCore::NodeBasePtr & node)
{
  auto base = std::dynamic_pointer_cast<NodeBase>(node);
  return base ? base->notifier() : nullptr;
}

// A timer further away than this is treated as never due (no overflow in
// deadline arithmetic, and the executor still wakes on any notification).
constexpr std::chrono::hours kFarFuture{24 * 365};

// One reading of each clock type per scan, shared by the timers on it.
class ClockReadings
{
public:
  int64_t now_ns(const rclcpp::TimerBase & timer)
  {
    const auto type = static_cast<size_t>(timer.clock_type());
    if (type >= readings_.size()) {
      return timer.clock_now_ns();
    }
    if (!readings_[type]) {
      readings_[type] = timer.clock_now_ns();
    }
    return *readings_[type];
  }

private:
  std::array<std::optional<int64_t>, RCL_STEADY_TIME + 1> readings_;
};

}  // namespace

ExecutorCore::~ExecutorCore() { detach_all(); }

void ExecutorCore::detach_all()
{
  std::vector<GroupRecord> groups;
  std::vector<NodeRecord> nodes;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    groups.swap(groups_);
    nodes.swap(nodes_);
  }
  for (const auto & record : groups) {
    if (auto group = record.group.lock()) {
      detach_group(group);
    }
  }
  for (const auto & record : nodes) {
    if (record.notifier) {
      record.notifier->detach();
    }
    if (auto node = record.node.lock()) {
      node->get_associated_with_executor_atomic().store(false);
    }
  }
}

void ExecutorCore::wake(bool collection_changed)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++wake_count_;
    collection_dirty_ = collection_dirty_ || collection_changed;
    if (waiting_threads_ == 0) {
      timekeeper_.wake_standby();
      return;
    }
  }
  condition_.notify_one();
}

void ExecutorCore::interrupt()
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++wake_count_;
    ++interrupt_count_;
    timekeeper_.wake_standby();
  }
  condition_.notify_all();
}

std::vector<ExecutorCore::GroupRecord> ExecutorCore::adopt_groups(const NodeBasePtr & node)
{
  std::vector<GroupRecord> adopted;
  auto self = shared_from_this();
  node->for_each_callback_group([&](const rclcpp::CallbackGroup::SharedPtr & group) {
    if (group->automatically_add_to_executor_with_node() &&
        !group->get_associated_with_executor_atomic().exchange(true)) {
      group->notifier()->attach(self);
      adopted.push_back(GroupRecord{group, node, true});
    }
  });
  return adopted;
}

void ExecutorCore::detach_group(const rclcpp::CallbackGroup::SharedPtr & group)
{
  group->notifier()->detach();
  group->get_associated_with_executor_atomic().store(false);
}

void ExecutorCore::add_node(const NodeBasePtr & node, bool notify)
{
  if (node->get_associated_with_executor_atomic().exchange(true)) {
    throw std::runtime_error(
        std::string("Node '") + node->get_fully_qualified_name() +
        "' has already been added to an executor.");
  }
  auto notifier = node_notifier(node);
  if (notifier) {
    notifier->attach(shared_from_this());
  }
  auto adopted = adopt_groups(node);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    nodes_.push_back(NodeRecord{node, notifier});
    groups_.insert(groups_.end(), adopted.begin(), adopted.end());
    collection_dirty_ = true;
  }
  if (notify) {
    interrupt();
  }
}

void ExecutorCore::remove_node(const NodeBasePtr & node, bool notify)
{
  if (!node->get_associated_with_executor_atomic().load()) {
    throw std::runtime_error("Node needs to be associated with an executor.");
  }
  std::shared_ptr<Notifier> notifier;
  std::vector<rclcpp::CallbackGroup::SharedPtr> released;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::find_if(nodes_.begin(), nodes_.end(), [&node](const NodeRecord & record) {
      return record.node.lock() == node;
    });
    if (it == nodes_.end()) {
      throw std::runtime_error("Node needs to be associated with this executor.");
    }
    notifier = it->notifier;
    nodes_.erase(it);
    auto from_node = [&node](const GroupRecord & record) {
      return record.automatic && record.node.lock() == node;
    };
    for (const auto & record : groups_) {
      if (from_node(record)) {
        if (auto group = record.group.lock()) {
          released.push_back(group);
        }
      }
    }
    groups_.erase(std::remove_if(groups_.begin(), groups_.end(), from_node), groups_.end());
    collection_dirty_ = true;
  }
  for (const auto & group : released) {
    detach_group(group);
  }
  if (notifier) {
    notifier->detach();
  }
  node->get_associated_with_executor_atomic().store(false);
  if (notify) {
    interrupt();
  }
}

void ExecutorCore::add_group(
    const rclcpp::CallbackGroup::SharedPtr & group, const NodeBasePtr & node, bool notify)
{
  if (group->get_associated_with_executor_atomic().exchange(true)) {
    throw std::runtime_error("Callback group was already added to an executor.");
  }
  group->notifier()->attach(shared_from_this());
  {
    std::lock_guard<std::mutex> lock(mutex_);
    groups_.push_back(GroupRecord{group, node, false});
    collection_dirty_ = true;
  }
  if (notify) {
    interrupt();
  }
}

void ExecutorCore::remove_group(const rclcpp::CallbackGroup::SharedPtr & group, bool notify)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = std::find_if(groups_.begin(), groups_.end(), [&group](const GroupRecord & record) {
      return record.group.lock() == group;
    });
    if (it == groups_.end()) {
      throw std::runtime_error("Callback group needs to be associated with this executor.");
    }
    groups_.erase(it);
    collection_dirty_ = true;
  }
  detach_group(group);
  if (notify) {
    interrupt();
  }
}

std::vector<rclcpp::CallbackGroup::WeakPtr> ExecutorCore::groups(bool manual, bool automatic)
{
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<rclcpp::CallbackGroup::WeakPtr> result;
  for (const auto & record : groups_) {
    if ((record.automatic && automatic) || (!record.automatic && manual)) {
      result.push_back(record.group);
    }
  }
  return result;
}

void ExecutorCore::rebuild(std::unique_lock<std::mutex> & lock)
{
  rebuilding_ = true;
  collection_dirty_ = false;
  const auto nodes = nodes_;
  lock.unlock();

  // Groups created in the nodes since the last look.
  std::vector<GroupRecord> adopted;
  for (const auto & record : nodes) {
    if (auto node = record.node.lock()) {
      auto more = adopt_groups(node);
      adopted.insert(adopted.end(), more.begin(), more.end());
    }
  }

  lock.lock();
  groups_.insert(groups_.end(), adopted.begin(), adopted.end());
  groups_.erase(
      std::remove_if(
          groups_.begin(), groups_.end(),
          [](const GroupRecord & record) { return record.group.expired(); }),
      groups_.end());
  const auto groups = groups_;
  lock.unlock();

  std::vector<Entry> entries;
  entries.reserve(groups.size());
  for (const auto & record : groups) {
    if (auto group = record.group.lock()) {
      Entry entry;
      entry.group = group;
      std::vector<std::weak_ptr<ReadableEntity>> readables;
      group->collect_entities(entry.timers, readables);
      for (auto & weak_entity : readables) {
        if (auto entity = weak_entity.lock()) {
          entry.readables.push_back(Readable{std::move(weak_entity), entity->pending_flag()});
        }
      }
      entries.push_back(std::move(entry));
    }
  }

  lock.lock();
  entries_ = std::move(entries);
  due_batch_.drop();
  rebuilding_ = false;
}

bool ExecutorCore::scan(Clock::time_point now, rclcpp::AnyExecutable & claimed, ScanNotes & notes)
{
  // Timers come before data, as in rclcpp; of the timers that are due, the
  // one due first runs first, so that timers sharing a period run in the
  // order of their phases within each period.
  return claim_from_due_batch(claimed, notes) || claim_due_timer(now, claimed, notes) ||
         claim_ready_entity(claimed);
}

std::shared_ptr<rclcpp::CallbackGroup> ExecutorCore::group_if_free_noting_gone(Entry & entry)
{
  auto group = entry.group.lock();
  if (!group) {
    collection_dirty_ = true;
    return nullptr;
  }
  if (group->type() == rclcpp::CallbackGroupType::MutuallyExclusive &&
      !group->can_be_taken_from().load()) {
    return nullptr;  // its callbacks are looked at again when the running one ends
  }
  return group;
}

void ExecutorCore::take_group(
    const std::shared_ptr<rclcpp::CallbackGroup> & group, rclcpp::AnyExecutable & claimed)
{
  if (group->type() == rclcpp::CallbackGroupType::MutuallyExclusive) {
    group->can_be_taken_from().store(false);
  }
  claimed.callback_group = group;
}

bool ExecutorCore::collect_due_timers(Clock::time_point now, ScanNotes & notes)
{
  ClockReadings clocks;
  due_timers_.clear();
  bool saw_busy_group = false;
  for (size_t e = 0; e < entries_.size(); ++e) {
    Entry & entry = entries_[e];
    if (entry.timers.empty()) {
      continue;
    }
    if (!group_if_free_noting_gone(entry)) {
      saw_busy_group = true;
      continue;
    }
    for (const auto & weak_timer : entry.timers) {
      auto timer = weak_timer.lock();
      if (!timer) {
        collection_dirty_ = true;
        continue;
      }
      const auto left = timer->time_until_trigger_at(clocks.now_ns(*timer));
      if (left > kFarFuture) {
        continue;  // canceled or practically never
      }
      if (left <= std::chrono::nanoseconds::zero()) {
        due_timers_.push_back(DueTimer{left, e, std::move(timer)});
        continue;
      }
      const auto due = now + left;
      if (!notes.earliest || due < *notes.earliest) {
        notes.earliest = due;
      }
    }
  }
  // Most overdue first; equally due timers keep the order they were added in.
  std::stable_sort(due_timers_.begin(), due_timers_.end(), [](const auto & a, const auto & b) {
    return a.left < b.left;
  });
  return !saw_busy_group;
}

bool ExecutorCore::claim_due_timer(
    Clock::time_point now, rclcpp::AnyExecutable & claimed, ScanNotes & notes)
{
  due_batch_.drop();
  const bool every_group_free = collect_due_timers(now, notes);
  size_t claimed_index = due_timers_.size();
  for (size_t i = 0; i < due_timers_.size(); ++i) {
    auto & due = due_timers_[i];
    auto group = group_if_free_noting_gone(entries_[due.entry]);
    if (!group || due.timer->exchange_in_use_by_wait_set_state(true)) {
      continue;  // gone, or running on another thread
    }
    due.timer->call();
    claimed.timer = std::move(due.timer);
    take_group(group, claimed);
    claimed_index = i;
    break;
  }
  const bool claimed_one = claimed_index < due_timers_.size();
  if (claimed_one) {
    for (size_t i = claimed_index + 1; i < due_timers_.size(); ++i) {
      if (group_if_free_noting_gone(entries_[due_timers_[i].entry])) {
        notes.more_due = true;
      }
      if (every_group_free) {
        due_batch_.append(due_timers_[i].entry, due_timers_[i].timer);
      }
    }
  }
  due_timers_.clear();
  return claimed_one;
}

bool ExecutorCore::claim_from_due_batch(rclcpp::AnyExecutable & claimed, ScanNotes & notes)
{
  ClockReadings clocks;
  while (const DueTimerBatch::Member * next = due_batch_.next()) {
    auto group = group_if_free_noting_gone(entries_[next->entry]);
    auto timer = next->timer.lock();
    if (!group || !timer) {
      break;  // a busy group or a timer gone: only a full scan knows the order now
    }
    if (timer->time_until_trigger_at(clocks.now_ns(*timer)) > std::chrono::nanoseconds::zero()) {
      continue;  // reset or canceled since the scan
    }
    if (timer->exchange_in_use_by_wait_set_state(true)) {
      continue;  // running on another thread
    }
    timer->call();
    claimed.timer = std::move(timer);
    take_group(group, claimed);
    notes.more_due = due_batch_.more_due(
        [this](size_t entry) { return group_if_free_noting_gone(entries_[entry]) != nullptr; });
    return true;
  }
  due_batch_.drop();
  return false;
}

bool ExecutorCore::claim_ready_entity(rclcpp::AnyExecutable & claimed)
{
  const size_t count = entries_.size();
  for (size_t i = 0; i < count; ++i) {
    const size_t index = (rotation_ + i) % count;
    Entry & entry = entries_[index];
    for (size_t r = 0; r < entry.readables.size(); ++r) {
      if (!entry.readables[r].pending->load(std::memory_order_acquire)) {
        continue;
      }
      // The group is looked at only for readers with data: most have none.
      auto group = group_if_free_noting_gone(entry);
      if (!group) {
        break;
      }
      auto entity = entry.readables[r].entity.lock();
      if (!entity) {
        collection_dirty_ = true;
        continue;
      }
      if (!entity->in_use().exchange(true)) {
        claimed.entity = std::move(entity);
        // What was claimed moves to the back of its list, and the next scan
        // starts at the next group, so that a reader that is always ready
        // cannot starve the others.
        std::rotate(
            entry.readables.begin() + r, entry.readables.begin() + r + 1, entry.readables.end());
        rotation_ = (index + 1) % count;
        take_group(group, claimed);
        return true;
      }
    }
  }
  return false;
}

bool ExecutorCore::claim(
    rclcpp::AnyExecutable & claimed, std::optional<Clock::time_point> deadline,
    const std::atomic_bool & keep_going)
{
  std::unique_lock<std::mutex> lock(mutex_);
  // An interrupt sends the thread back to its spin loop, which decides
  // whether to go on (cancel and shutdown end it).
  const uint64_t interrupt_count = interrupt_count_;
  const Timekeeper::Claimant self = timekeeper_.new_claimant();
  while (keep_going.load() && interrupt_count_ == interrupt_count) {
    if (collection_dirty_ && !rebuilding_) {
      rebuild(lock);
      continue;
    }
    const uint64_t wake_count = wake_count_;
    const auto now = Clock::now();
    ScanNotes notes;
    if (scan(now, claimed, notes)) {
      if (needs_helper(now, timekeeper_.resign(self), notes.more_due)) {
        wake_one_locked();
      }
      return true;
    }
    if (deadline && *deadline <= now) {
      break;
    }
    sleep(lock, timekeeper_.plan_sleep(self, notes.earliest), deadline, wake_count);
  }
  // Whatever this thread watched needs another watcher now.
  if (timekeeper_.resign(self)) {
    wake_one_locked();
  }
  return false;
}

void ExecutorCore::sleep(
    std::unique_lock<std::mutex> & lock, const Timekeeper::Role & role,
    std::optional<Clock::time_point> deadline, uint64_t wake_count)
{
  if (role.kind == Timekeeper::Role::Kind::standby) {
    // Not counted as waiting: wakes reach it through the timekeeper.
    timekeeper_.sleep_as_standby(lock, deadline);
    return;
  }
  std::optional<Clock::time_point> until = deadline;
  if (role.kind == Timekeeper::Role::Kind::watcher && (!until || role.wake_at < *until)) {
    until = role.wake_at;
  }
  auto woken = [this, wake_count] { return wake_count_ != wake_count; };
  ++waiting_threads_;
  if (until) {
    condition_.wait_until(lock, *until, woken);
  } else {
    condition_.wait(lock, woken);
  }
  --waiting_threads_;
}

void ExecutorCore::wake_one_locked()
{
  ++wake_count_;
  if (waiting_threads_ > 0) {
    condition_.notify_one();
  } else {
    timekeeper_.wake_standby();
  }
}

bool ExecutorCore::needs_helper(Clock::time_point now, bool held_watch, bool more_due)
{
  if (waiting_threads_ == 0 && !timekeeper_.standby_asleep()) {
    return false;
  }
  // Data is served at once: its callbacks may be long, and fairness between
  // readers must not depend on one thread's queue.
  if (has_ready_readable()) {
    return true;
  }
  // Due timers, or timers nobody watches now that this thread stopped: a
  // timekeeper that wakes within the bound takes them if this thread is
  // still busy then.
  const bool timers_left = more_due || (held_watch && has_timers_to_watch());
  return timers_left && !timekeeper_.wakes_by(now + Timekeeper::kHandoverBound);
}

void ExecutorCore::release(const rclcpp::AnyExecutable & claimed)
{
  std::lock_guard<std::mutex> lock(mutex_);
  if (claimed.timer) {
    claimed.timer->exchange_in_use_by_wait_set_state(false);
  }
  if (claimed.entity) {
    claimed.entity->in_use().store(false);
  }
  if (claimed.callback_group &&
      claimed.callback_group->type() == rclcpp::CallbackGroupType::MutuallyExclusive) {
    claimed.callback_group->can_be_taken_from().store(true);
  }
}

bool ExecutorCore::has_ready_readable()
{
  // Pending flags first: most readers have nothing, and a flag is cheaper to
  // read than a group to lock.
  for (auto & entry : entries_) {
    for (const auto & readable : entry.readables) {
      if (!readable.pending->load(std::memory_order_acquire)) {
        continue;
      }
      auto entity = readable.entity.lock();
      if (entity && !entity->in_use().load() && group_if_free_noting_gone(entry)) {
        return true;
      }
    }
  }
  return false;
}

bool ExecutorCore::has_timers_to_watch()
{
  for (auto & entry : entries_) {
    if (!entry.timers.empty() && group_if_free_noting_gone(entry)) {
      return true;
    }
  }
  return false;
}

size_t ExecutorCore::entity_count()
{
  std::lock_guard<std::mutex> lock(mutex_);
  size_t count = 0;
  for (const auto & entry : entries_) {
    count += entry.timers.size() + entry.readables.size();
  }
  return count;
}

}  // namespace client_layer
