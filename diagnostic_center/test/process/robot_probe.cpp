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

#include "robot_probe.hpp"

#include <algorithm>
#include <future>

#include "diagnostic_center/contract/names.hpp"
#include "diagnostic_center_test/child_process.hpp"
#include "robot/diag_srv.pb.h"

namespace diagnostic_center_test {
namespace {

using namespace std::chrono_literals;
namespace contract = diagnostic_center::contract;
using corvanta_protocol::msg::CurrentFailure;
using corvanta_protocol::msg::ExceptionHandle;
using corvanta_protocol::msg::TaskCenterFsmStatus;

// Deep enough for any burst a test or a benchmark sends.
constexpr std::size_t kEventDepth = 1000;
constexpr std::size_t kHandleDepth = 100000;

corvanta_protocol::msg::DiagnosticEvent Event(
    std::int32_t fault_id, std::int32_t status, const builtin_interfaces::msg::Time & stamp,
    const std::string & event_msg)
{
  corvanta_protocol::msg::DiagnosticEvent event;
  event.stamp = stamp;
  event.fault_id = fault_id;
  event.status = status;
  event.event_msg = event_msg;
  return event;
}

std::vector<std::int32_t> Sorted(std::vector<std::int32_t> ids)
{
  std::sort(ids.begin(), ids.end());
  return ids;
}

}  // namespace

builtin_interfaces::msg::Time Stamp(std::int32_t sec, std::uint32_t nanosec)
{
  builtin_interfaces::msg::Time stamp;
  stamp.sec = sec;
  stamp.nanosec = nanosec;
  return stamp;
}

RobotProbe::RobotProbe(const std::string & node_name, const std::string & node_namespace)
    : node_(std::make_shared<rclcpp::Node>(node_name, node_namespace))
{
  const auto event_qos = rclcpp::QoS(kEventDepth).reliable();
  for (const char * topic : contract::kModuleTopics) {
    module_publishers_[topic] = node_->create_publisher<DiagnosticEvent>(topic, event_qos);
  }
  fsm_publisher_ =
      node_->create_publisher<TaskCenterFsmStatus>(contract::kFsmStatusTopic, rclcpp::QoS(1));

  handle_subscription_ = node_->create_subscription<ExceptionHandle>(
      contract::kExceptionHandleTopic, rclcpp::QoS(kHandleDepth).reliable(),
      [this](ExceptionHandle::SharedPtr message) {
        const auto arrival = std::chrono::steady_clock::now();
        {
          std::lock_guard<std::mutex> lock(mutex_);
          handles_.push_back({*message, arrival});
        }
        changed_.notify_all();
      });
  failure_subscription_ = node_->create_subscription<CurrentFailure>(
      contract::kCurrentFailureTopic, rclcpp::QoS(10).reliable(),
      [this](CurrentFailure::SharedPtr message) {
        {
          std::lock_guard<std::mutex> lock(mutex_);
          current_failures_.push_back(message->fault_id_list);
        }
        changed_.notify_all();
      });
  client_ = node_->create_client<DiagnosticSrv>(contract::kQueryService);

  spinner_ = std::make_unique<diagnostic_center_test::BackgroundSpinner>(node_);
}

RobotProbe::~RobotProbe()
{
  // Stop the callbacks before the members they use go.
  spinner_.reset();
}

bool RobotProbe::WaitForCentre(std::chrono::milliseconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  const auto left = [deadline] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::max(
        deadline - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration{}));
  };
  if (!client_->wait_for_service(left())) {
    return false;
  }
  const bool matched = WaitUntil(
      [this] {
        for (const auto & [topic, publisher] : module_publishers_) {
          if (publisher->get_subscription_count() == 0) {
            return false;
          }
        }
        return fsm_publisher_->get_subscription_count() > 0 &&
               handle_subscription_->get_publisher_count() > 0 &&
               failure_subscription_->get_publisher_count() > 0;
      },
      left());
  if (!matched) {
    return false;
  }
  std::size_t seen = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    seen = current_failures_.size();
  }
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, left(), [this, seen] { return current_failures_.size() > seen; });
}

void RobotProbe::Publish(const std::string & topic, const DiagnosticEvent & event)
{
  module_publishers_.at(topic)->publish(event);
}

void RobotProbe::Raise(
    const std::string & topic, std::int32_t fault_id, const builtin_interfaces::msg::Time & stamp,
    const std::string & event_msg)
{
  Publish(topic, Event(fault_id, 1, stamp, event_msg));
}

void RobotProbe::Clear(
    const std::string & topic, std::int32_t fault_id, const builtin_interfaces::msg::Time & stamp,
    const std::string & event_msg)
{
  Publish(topic, Event(fault_id, 0, stamp, event_msg));
}

void RobotProbe::PublishFsm(std::int32_t fsm_state, std::int32_t fsm_sub_state)
{
  TaskCenterFsmStatus status;
  status.fsm_state = fsm_state;
  status.fsm_sub_state = fsm_sub_state;
  fsm_publisher_->publish(status);
}

std::vector<ReceivedHandle> RobotProbe::ExceptionHandles() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return handles_;
}

std::vector<std::int32_t> RobotProbe::ExceptionHandleIds() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::int32_t> ids;
  for (const auto & handle : handles_) {
    ids.push_back(handle.message.fault_id);
  }
  return ids;
}

std::size_t RobotProbe::ExceptionHandleCount() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return handles_.size();
}

bool RobotProbe::WaitForExceptionHandles(std::size_t count, std::chrono::milliseconds timeout)
{
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [this, count] { return handles_.size() >= count; });
}

bool RobotProbe::WaitForCurrentFailure(
    const std::vector<std::int32_t> & sorted_ids, std::chrono::milliseconds timeout,
    std::vector<std::int32_t> * last_seen)
{
  std::unique_lock<std::mutex> lock(mutex_);
  std::size_t checked = current_failures_.size();
  bool found = false;
  changed_.wait_for(lock, timeout, [&] {
    for (; checked < current_failures_.size() && !found; ++checked) {
      found = Sorted(current_failures_[checked]) == sorted_ids;
    }
    return found;
  });
  if (last_seen != nullptr && !current_failures_.empty()) {
    *last_seen = Sorted(current_failures_.back());
  }
  return found;
}

std::optional<RootCauseReply> RobotProbe::QueryRootCauses(std::chrono::milliseconds timeout)
{
  auto request = std::make_shared<DiagnosticSrv::Request>();
  auto pending = client_->async_send_request(request);
  if (pending.wait_for(timeout) != std::future_status::ready) {
    return std::nullopt;
  }
  const auto response = pending.get();
  RootCauseReply reply;
  reply.result = response->result;
  reply.data = response->data;
  diag_srv::DiagSrvResp parsed;
  if (parsed.ParseFromString(reply.data)) {
    reply.root_causes.assign(parsed.root_cause_list().begin(), parsed.root_cause_list().end());
    reply.decoded = true;
  }
  return reply;
}

bool RobotProbe::WaitForRootCauses(
    const std::vector<std::int32_t> & sorted_ids, std::chrono::milliseconds timeout,
    std::vector<std::int32_t> * last_seen)
{
  return WaitUntil(
      [&] {
        const auto reply = QueryRootCauses(1s);
        if (!reply || !reply->decoded) {
          return false;
        }
        const auto roots = Sorted(reply->root_causes);
        if (last_seen != nullptr) {
          *last_seen = roots;
        }
        return roots == sorted_ids;
      },
      timeout, 50ms);
}

}  // namespace diagnostic_center_test
