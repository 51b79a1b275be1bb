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

// Callback groups: which callbacks may run at the same time.
#ifndef RCLCPP__CALLBACK_GROUP_HPP_
#define RCLCPP__CALLBACK_GROUP_HPP_

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "client_layer/notifier.hpp"
#include "client_layer/readable_entity.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

class TimerBase;

namespace node_interfaces {
class NodeBaseInterface;
}  // namespace node_interfaces

enum class CallbackGroupType
{
  MutuallyExclusive,
  Reentrant
};

/// A set of callbacks (timers, subscriptions, services, clients) with a
/// concurrency rule: those of a mutually exclusive group never run at the
/// same time, those of a reentrant group may.
class CallbackGroup
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(CallbackGroup)

  explicit CallbackGroup(
      CallbackGroupType group_type, bool automatically_add_to_executor_with_node = true);

  ~CallbackGroup();

  /// False while a callback of this (mutually exclusive) group runs.
  std::atomic_bool & can_be_taken_from();

  const CallbackGroupType & type() const;

  /// True while an executor holds this group.
  std::atomic_bool & get_associated_with_executor_atomic();

  /// True if an executor that takes the node takes this group with it.
  bool automatically_add_to_executor_with_node() const;

  /// Number of live entities in the group.
  size_t size() const;

  /// Layer internal: the link to the executor that runs the group.
  const std::shared_ptr<client_layer::Notifier> & notifier() const { return notifier_; }

  /// Layer internal: the group's live timers and readable entities.
  void collect_entities(
      std::vector<std::weak_ptr<TimerBase>> & timers,
      std::vector<std::weak_ptr<client_layer::ReadableEntity>> & readables) const;

  /// Layer internal: registration of the entities created in this group.
  void add_timer(const std::shared_ptr<TimerBase> & timer);
  void add_readable(const std::shared_ptr<client_layer::ReadableEntity> & entity);

private:
  RCLCPP_DISABLE_COPY(CallbackGroup)

  const CallbackGroupType type_;
  const bool automatically_add_to_executor_with_node_;
  std::atomic_bool can_be_taken_from_{true};
  std::atomic_bool associated_with_executor_{false};
  const std::shared_ptr<client_layer::Notifier> notifier_;

  mutable std::mutex mutex_;  // guards the entity lists
  std::vector<std::weak_ptr<TimerBase>> timers_;
  std::vector<std::weak_ptr<client_layer::ReadableEntity>> readables_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CALLBACK_GROUP_HPP_
