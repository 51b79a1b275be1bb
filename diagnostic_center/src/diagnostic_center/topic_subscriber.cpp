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

#include "diagnostic_center/topic_subscriber.hpp"

#include <utility>

namespace diagnostic_center {

void EventQueue::Push(ModuleEvent event)
{
  std::lock_guard<std::mutex> lock(mutex_);
  events_.push_back(std::move(event));
}

std::deque<ModuleEvent> EventQueue::Drain()
{
  std::deque<ModuleEvent> drained;
  std::lock_guard<std::mutex> lock(mutex_);
  drained.swap(events_);
  return drained;
}

DiagEventSub::DiagEventSub(
    const std::shared_ptr<rclcpp::Node> & node, const rclcpp::CallbackGroup::SharedPtr & group,
    const std::string & topic, int depth, EventQueue * queue)
    : TopicSubBase<DiagnosticEvent>(node, group, topic, depth, LossWarning()),
      queue_(queue),
      logger_(node->get_logger()),
      module_(sub_->get_topic_name()),
      depth_(depth)
{
}

rclcpp::SubscriptionEventCallbacks DiagEventSub::LossWarning()
{
  rclcpp::SubscriptionEventCallbacks events;
  // Runs only once the executor spins, when the members are set.
  events.message_lost_callback = [this](rclcpp::QOSMessageLostInfo & info) {
    RCLCPP_WARN(
        logger_,
        "module topic %s lost %zu events (%zu since start): its backlog outgrew "
        "diag_keep_his (%d), or the link lost them",
        module_.c_str(), info.total_count_change, info.total_count, depth_);
  };
  return events;
}

void DiagEventSub::subCallBack(std::shared_ptr<DiagnosticEvent> msg)
{
  // Filtering waits for the module's control timer; here the event is only
  // queued, so the middleware's delivery is never held up.
  queue_->Push(ModuleEvent{*msg, module_});
  RCLCPP_DEBUG(logger_, "receive event %d", msg->fault_id);
}

FsmSub::FsmSub(
    const std::shared_ptr<rclcpp::Node> & node, const rclcpp::CallbackGroup::SharedPtr & group,
    const std::string & topic)
    : TopicSubBase<TaskCenterFsmStatus>(node, group, topic, 1)
{
}

void FsmSub::subCallBack(std::shared_ptr<TaskCenterFsmStatus> msg)
{
  std::lock_guard<std::mutex> lock(mutex_);
  latest_ = *msg;
}

TaskCenterFsmStatus FsmSub::GetLatest()
{
  std::lock_guard<std::mutex> lock(mutex_);
  return latest_;
}

}  // namespace diagnostic_center
