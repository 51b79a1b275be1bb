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

// Subscriptions of the node and the queue through which received diagnostic
// events travel: module topic -> module queue -> centre queue -> tree.
#ifndef DIAGNOSTIC_CENTER__TOPIC_SUBSCRIBER_HPP_
#define DIAGNOSTIC_CENTER__TOPIC_SUBSCRIBER_HPP_

#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "corvanta_protocol/msg/diagnostic_event.hpp"
#include "corvanta_protocol/msg/task_center_fsm_status.hpp"
#include "diagnostic_center/callback_guard.hpp"
#include "rclcpp/rclcpp.hpp"

namespace diagnostic_center {

using corvanta_protocol::msg::DiagnosticEvent;
using corvanta_protocol::msg::TaskCenterFsmStatus;

// A received event and the module topic it came on (its resolved name).
struct ModuleEvent
{
  DiagnosticEvent event;
  std::string module;
};

// First-in first-out queue of event copies, shared between callback groups.
class EventQueue
{
public:
  // Appends at the back.
  void Push(ModuleEvent event);
  // Takes every queued event, oldest first, leaving the queue empty.
  std::deque<ModuleEvent> Drain();

private:
  std::mutex mutex_;
  std::deque<ModuleEvent> events_;
};

// One subscription whose callback is a virtual member; `events` are its event
// callbacks, which run in the same group.
template <typename T>
class TopicSubBase
{
public:
  TopicSubBase(
      const std::shared_ptr<rclcpp::Node> & node, const rclcpp::CallbackGroup::SharedPtr & group,
      const std::string & topic, int depth, rclcpp::SubscriptionEventCallbacks events = {})
  {
    rclcpp::SubscriptionOptions options;
    options.callback_group = group;
    options.event_callbacks = std::move(events);
    // `this` outlives sub_, which it owns.
    sub_ = node->create_subscription<T>(
        topic, rclcpp::QoS(depth),
        [this, logger = node->get_logger()](std::shared_ptr<T> msg) {
          RunGuarded(logger, "subCallBack", [this, &msg] { subCallBack(std::move(msg)); });
        },
        options);
  }
  virtual ~TopicSubBase() = default;
  TopicSubBase(const TopicSubBase &) = delete;
  TopicSubBase & operator=(const TopicSubBase &) = delete;

  virtual void subCallBack(std::shared_ptr<T> msg) = 0;

protected:
  typename rclcpp::Subscription<T>::SharedPtr sub_;
};

// Appends every event received on one module topic to that module's queue,
// and warns of events the subscription lost before they could be taken: on
// the way, or pushed out of its history of `depth` events by newer ones.
class DiagEventSub : public TopicSubBase<DiagnosticEvent>
{
public:
  // `queue` must outlive this subscriber.
  DiagEventSub(
      const std::shared_ptr<rclcpp::Node> & node, const rclcpp::CallbackGroup::SharedPtr & group,
      const std::string & topic, int depth, EventQueue * queue);

  void subCallBack(std::shared_ptr<DiagnosticEvent> msg) override;

private:
  rclcpp::SubscriptionEventCallbacks LossWarning();

  EventQueue * queue_;
  rclcpp::Logger logger_;
  std::string module_;  // the subscription's resolved topic name
  int depth_;
};

// Keeps the latest status of the task centre's state machine.
class FsmSub : public TopicSubBase<TaskCenterFsmStatus>
{
public:
  FsmSub(
      const std::shared_ptr<rclcpp::Node> & node, const rclcpp::CallbackGroup::SharedPtr & group,
      const std::string & topic);

  void subCallBack(std::shared_ptr<TaskCenterFsmStatus> msg) override;
  // A copy of the latest status; all fields zero before the first message.
  TaskCenterFsmStatus GetLatest();

private:
  std::mutex mutex_;
  TaskCenterFsmStatus latest_;
};

}  // namespace diagnostic_center

#endif  // DIAGNOSTIC_CENTER__TOPIC_SUBSCRIBER_HPP_
