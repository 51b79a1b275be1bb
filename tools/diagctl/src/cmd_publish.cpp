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

// diagctl raise / clear / fsm: publish one message as a robot module would.
#include <cstdio>
#include <iostream>

#include <corvanta_protocol/msg/diagnostic_event.hpp>
#include <corvanta_protocol/msg/task_center_fsm_status.hpp>

#include "diagctl/commands.hpp"
#include "diagctl/event_values.hpp"
#include "diagctl/ros_session.hpp"
#include "diagnostic_center/contract/names.hpp"

namespace diagctl {

namespace {

using corvanta_protocol::msg::DiagnosticEvent;
using corvanta_protocol::msg::TaskCenterFsmStatus;

constexpr int kEventDepth = 10;
constexpr const char * kFsmTopic = diagnostic_center::contract::kFsmStatusTopic;

// Publishes once a subscriber is there (or the timeout has passed), then
// waits as long again for the subscribers' acknowledgement. A missing
// subscriber or acknowledgement is a failure.
template <typename MessageT>
int publish_one(
    const RosSession & session, const std::string & topic, const rclcpp::QoS & qos,
    const MessageT & message, std::chrono::milliseconds timeout, const std::string & what)
{
  auto publisher = session.node()->create_publisher<MessageT>(topic, qos);
  const bool matched = wait_for_subscriber(publisher, timeout);
  publisher->publish(message);
  std::cout << what << " on " << session.qualified(topic) << '\n';
  if (!matched) {
    std::cerr << "diagctl: nobody subscribes to " << session.qualified(topic) << " (waited "
              << timeout.count() / 1000.0 << " s): " << kNodeNotFoundHint << '\n';
    return kExitFailure;
  }
  if (!wait_for_acknowledgements(publisher, timeout)) {
    std::cerr << "diagctl: " << unacknowledged_message(session.qualified(topic), timeout) << '\n';
    return kExitFailure;
  }
  return kExitOk;
}

int run_event(
    const char * name, std::int32_t status, const GlobalOptions & global,
    const std::vector<std::string> & arguments)
{
  ArgParser parser(
      std::string("diagctl ") + name + " [options] MODULE FAULT_ID [MESSAGE]",
      std::string(status == 1 ? "Raise" : "Clear") +
          " a fault: publish a DiagnosticEvent with status " + std::to_string(status) +
          " on a module's\ndiagnostic topic, as that module would. MODULE is a module name or its "
          "topic:\n" +
          module_names() + ".",
      {
          {"stamp", '\0', "TIME",
           "event stamp: \"now\" (default) or seconds since the epoch, e.g. 1780000000.25"},
          {"status", '\0', "N",
           "send this status instead (the node drops values other than 0 and 1)"},
      });
  if (const auto exit = parse_or_exit(parser, name, arguments)) {
    return *exit;
  }
  const auto & positionals = parser.positionals();
  if (positionals.size() < 2 || positionals.size() > 3) {
    std::cerr << "diagctl " << name << ": wants MODULE FAULT_ID [MESSAGE]\n";
    return kExitUsage;
  }
  const auto topic = module_topic(positionals[0]);
  const auto fault_id = parse_int32(positionals[1]);
  const auto stamp = parse_stamp(parser.value("stamp").value_or("now"));
  const auto status_value = parse_int32(parser.value("status").value_or(std::to_string(status)));
  std::string error;
  if (!topic) {
    error = "unknown module \"" + positionals[0] + "\" (one of " + module_names() + ")";
  } else if (!fault_id) {
    error = "not a 32-bit fault id: " + positionals[1];
  } else if (!stamp) {
    error = "--stamp wants \"now\" or seconds since the epoch";
  } else if (!status_value) {
    error = "--status wants a 32-bit integer";
  }
  if (!error.empty()) {
    std::cerr << "diagctl " << name << ": " << error << '\n';
    return kExitUsage;
  }

  DiagnosticEvent event;
  event.stamp.sec = stamp->sec;
  event.stamp.nanosec = stamp->nanosec;
  event.fault_id = *fault_id;
  event.status = *status_value;
  event.event_msg = positionals.size() == 3 ? positionals[2] : "";

  char stamp_text[32];
  std::snprintf(
      stamp_text, sizeof(stamp_text), "%d.%09u", static_cast<int>(event.stamp.sec),
      static_cast<unsigned>(event.stamp.nanosec));
  RosSession session(global);
  return publish_one(
      session, *topic, rclcpp::QoS(kEventDepth), event, global.timeout,
      std::string(name) + " " + std::to_string(event.fault_id) + " (status " +
          std::to_string(event.status) + ", stamp " + stamp_text + ")");
}

}  // namespace

int run_raise(const GlobalOptions & global, const std::vector<std::string> & arguments)
{
  return run_event("raise", 1, global, arguments);
}

int run_clear(const GlobalOptions & global, const std::vector<std::string> & arguments)
{
  return run_event("clear", 0, global, arguments);
}

int run_fsm(const GlobalOptions & global, const std::vector<std::string> & arguments)
{
  ArgParser parser(
      "diagctl fsm [options] FSM_STATE [FSM_SUB_STATE]",
      "Publish the task centre's state-machine status (TaskCenterFsmStatus) on\n"
      "fsm_status. The node derives the robot status from it: state 1, 3, 5 -> 1;\n"
      "2 with sub-state 2 -> 3; anything else -> 2. A change re-announces every\n"
      "current failure on exception_handle. FSM_SUB_STATE defaults to 0.",
      {});
  if (const auto exit = parse_or_exit(parser, "fsm", arguments)) {
    return *exit;
  }
  const auto & positionals = parser.positionals();
  const auto state = positionals.empty() ? std::nullopt : parse_int32(positionals[0]);
  const auto sub_state =
      positionals.size() < 2 ? std::optional<std::int32_t>(0) : parse_int32(positionals[1]);
  if (positionals.empty() || positionals.size() > 2 || !state || !sub_state) {
    std::cerr << "diagctl fsm: wants FSM_STATE [FSM_SUB_STATE], 32-bit integers\n";
    return kExitUsage;
  }
  TaskCenterFsmStatus status;
  const Stamp now = stamp_now();
  status.stamp.sec = now.sec;
  status.stamp.nanosec = now.nanosec;
  status.fsm_state = *state;
  status.fsm_sub_state = *sub_state;

  RosSession session(global);
  return publish_one(
      session, kFsmTopic, rclcpp::QoS(1), status, global.timeout,
      "fsm_state " + std::to_string(*state) + ", fsm_sub_state " + std::to_string(*sub_state));
}

}  // namespace diagctl
