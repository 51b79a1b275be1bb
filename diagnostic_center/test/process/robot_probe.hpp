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

// Another robot module, as the diagnosis centre sees it: it publishes
// diagnostic events on the module topics and the task centre's state on
// "fsm_status", listens to "exception_handle" and "current_failure", and
// calls "diagnostic_srv". Its node spins on a thread of its own; everything
// it receives is kept, in order of arrival, for the caller to inspect.
// Thread-safe: the spinner's callbacks and the caller share the received
// messages under one mutex, which no wait holds while it sleeps.
#ifndef DIAGNOSTIC_CENTER__TEST__PROCESS__ROBOT_PROBE_HPP_
#define DIAGNOSTIC_CENTER__TEST__PROCESS__ROBOT_PROBE_HPP_

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "background_spinner.hpp"
#include "builtin_interfaces/msg/time.hpp"
#include "corvanta_protocol/msg/current_failure.hpp"
#include "corvanta_protocol/msg/diagnostic_event.hpp"
#include "corvanta_protocol/msg/exception_handle.hpp"
#include "corvanta_protocol/msg/task_center_fsm_status.hpp"
#include "corvanta_protocol/srv/diagnostic_srv.hpp"
#include "rclcpp/rclcpp.hpp"

namespace diagnostic_center_test {

// A message stamp of `sec` seconds and `nanosec` nanoseconds.
builtin_interfaces::msg::Time Stamp(std::int32_t sec, std::uint32_t nanosec = 0);

// An ExceptionHandle together with the moment it arrived.
struct ReceivedHandle
{
  corvanta_protocol::msg::ExceptionHandle message;
  std::chrono::steady_clock::time_point arrival;
};

// A decoded answer of "diagnostic_srv".
struct RootCauseReply
{
  std::int32_t result = -1;
  std::string data;                       // the raw payload
  std::vector<std::int32_t> root_causes;  // decoded from `data`
  bool decoded = false;                   // false: `data` is not a valid DiagSrvResp
};

class RobotProbe
{
public:
  // In `node_namespace` (empty: the root), where its relative topic and
  // service names reach a centre of the same namespace. Needs rclcpp::init;
  // throws what creating the node throws (an invalid name or namespace).
  explicit RobotProbe(
      const std::string & node_name = "robot_probe", const std::string & node_namespace = "");
  ~RobotProbe();
  RobotProbe(const RobotProbe &) = delete;
  RobotProbe & operator=(const RobotProbe &) = delete;

  // Waits until the centre is reachable both ways: the service answers
  // requests, every publisher of the probe is matched, and "current_failure"
  // and "exception_handle" have a publisher. Then waits for one
  // "current_failure" message, which proves delivery from the centre.
  [[nodiscard]] bool WaitForCentre(std::chrono::milliseconds timeout);

  // Publish on the module topic `topic`, one of contract::kModuleTopics;
  // Raise and Clear build the event (status 1 and 0). std::out_of_range for
  // any other topic.
  void Publish(const std::string & topic, const corvanta_protocol::msg::DiagnosticEvent & event);
  void Raise(
      const std::string & topic, std::int32_t fault_id, const builtin_interfaces::msg::Time & stamp,
      const std::string & event_msg = "");
  void Clear(
      const std::string & topic, std::int32_t fault_id, const builtin_interfaces::msg::Time & stamp,
      const std::string & event_msg = "");
  void PublishFsm(std::int32_t fsm_state, std::int32_t fsm_sub_state);

  // Copies of what has arrived so far.
  std::vector<ReceivedHandle> ExceptionHandles() const;
  std::vector<std::int32_t> ExceptionHandleIds() const;
  std::size_t ExceptionHandleCount() const;
  // Waits until at least `count` ExceptionHandle messages have arrived in all.
  [[nodiscard]] bool WaitForExceptionHandles(std::size_t count, std::chrono::milliseconds timeout);

  // Waits for a "current_failure" message that arrives after this call and
  // whose list, sorted, equals `sorted_ids`. Returns the last list seen.
  [[nodiscard]] bool WaitForCurrentFailure(
      const std::vector<std::int32_t> & sorted_ids, std::chrono::milliseconds timeout,
      std::vector<std::int32_t> * last_seen = nullptr);

  // Calls "diagnostic_srv" once; nothing when no answer came in time.
  [[nodiscard]] std::optional<RootCauseReply> QueryRootCauses(std::chrono::milliseconds timeout);
  // Calls the service until its root causes, sorted, equal `sorted_ids`.
  [[nodiscard]] bool WaitForRootCauses(
      const std::vector<std::int32_t> & sorted_ids, std::chrono::milliseconds timeout,
      std::vector<std::int32_t> * last_seen = nullptr);

private:
  using DiagnosticEvent = corvanta_protocol::msg::DiagnosticEvent;
  using DiagnosticSrv = corvanta_protocol::srv::DiagnosticSrv;

  rclcpp::Node::SharedPtr node_;
  std::map<std::string, rclcpp::Publisher<DiagnosticEvent>::SharedPtr> module_publishers_;
  rclcpp::Publisher<corvanta_protocol::msg::TaskCenterFsmStatus>::SharedPtr fsm_publisher_;
  rclcpp::Subscription<corvanta_protocol::msg::ExceptionHandle>::SharedPtr handle_subscription_;
  rclcpp::Subscription<corvanta_protocol::msg::CurrentFailure>::SharedPtr failure_subscription_;
  rclcpp::Client<DiagnosticSrv>::SharedPtr client_;
  std::unique_ptr<diagnostic_center_test::BackgroundSpinner> spinner_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<ReceivedHandle> handles_;
  std::vector<std::vector<std::int32_t>> current_failures_;
};

}  // namespace diagnostic_center_test

#endif  // DIAGNOSTIC_CENTER__TEST__PROCESS__ROBOT_PROBE_HPP_
