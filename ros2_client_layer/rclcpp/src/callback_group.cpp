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

#include "rclcpp/callback_group.hpp"

#include <algorithm>

#include "rclcpp/timer.hpp"

namespace rclcpp {

namespace {

template <typename T>
void drop_expired(std::vector<std::weak_ptr<T>> & entities)
{
  entities.erase(
      std::remove_if(
          entities.begin(), entities.end(),
          [](const std::weak_ptr<T> & weak) { return weak.expired(); }),
      entities.end());
}

}  // namespace

CallbackGroup::CallbackGroup(
    CallbackGroupType group_type, bool automatically_add_to_executor_with_node)
    : type_(group_type),
      automatically_add_to_executor_with_node_(automatically_add_to_executor_with_node),
      notifier_(std::make_shared<client_layer::Notifier>())
{
}

CallbackGroup::~CallbackGroup() = default;

std::atomic_bool & CallbackGroup::can_be_taken_from() { return can_be_taken_from_; }

const CallbackGroupType & CallbackGroup::type() const { return type_; }

std::atomic_bool & CallbackGroup::get_associated_with_executor_atomic()
{
  return associated_with_executor_;
}

bool CallbackGroup::automatically_add_to_executor_with_node() const
{
  return automatically_add_to_executor_with_node_;
}

size_t CallbackGroup::size() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  size_t count = 0;
  for (const auto & timer : timers_) {
    count += timer.expired() ? 0 : 1;
  }
  for (const auto & entity : readables_) {
    count += entity.expired() ? 0 : 1;
  }
  return count;
}

void CallbackGroup::collect_entities(
    std::vector<std::weak_ptr<TimerBase>> & timers,
    std::vector<std::weak_ptr<client_layer::ReadableEntity>> & readables) const
{
  std::lock_guard<std::mutex> lock(mutex_);
  timers = timers_;
  readables = readables_;
}

void CallbackGroup::add_timer(const std::shared_ptr<TimerBase> & timer)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    drop_expired(timers_);
    timers_.push_back(timer);
  }
  notifier_->notify(true);
}

void CallbackGroup::add_readable(const std::shared_ptr<client_layer::ReadableEntity> & entity)
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    drop_expired(readables_);
    readables_.push_back(entity);
  }
  notifier_->notify(true);
}

}  // namespace rclcpp
