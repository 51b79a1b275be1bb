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

// diagctl replay: publish a scripted scenario in real time.
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <thread>

#include <corvanta_protocol/msg/diagnostic_event.hpp>
#include <corvanta_protocol/msg/task_center_fsm_status.hpp>

#include "diagctl/commands.hpp"
#include "diagctl/event_values.hpp"
#include "diagctl/ros_session.hpp"
#include "diagctl/scenario.hpp"
#include "diagnostic_center/contract/names.hpp"

namespace diagctl {

namespace {

using corvanta_protocol::msg::DiagnosticEvent;
using corvanta_protocol::msg::TaskCenterFsmStatus;
using Clock = std::chrono::steady_clock;

constexpr int kEventDepth = 10;
constexpr const char * kFsmTopic = diagnostic_center::contract::kFsmStatusTopic;

std::string offset_text(std::chrono::nanoseconds at)
{
  char buffer[32];
  std::snprintf(buffer, sizeof(buffer), "+%.3fs", std::chrono::duration<double>(at).count());
  return buffer;
}

// Sleeps until `deadline` in short slices, so that Ctrl-C is not kept waiting.
[[nodiscard]] bool sleep_until(Clock::time_point deadline)
{
  while (rclcpp::ok() && Clock::now() < deadline) {
    std::this_thread::sleep_for(
        std::min<Clock::duration>(deadline - Clock::now(), std::chrono::milliseconds(50)));
  }
  return rclcpp::ok();
}

std::size_t events_on(const Scenario & scenario, const std::string & topic)
{
  return static_cast<std::size_t>(
      std::count_if(scenario.steps.begin(), scenario.steps.end(), [&](const ScenarioStep & step) {
        return step.kind == ScenarioStep::Kind::kEvent && step.topic == topic;
      }));
}

class Replayer
{
public:
  Replayer(const RosSession & session, const Scenario & scenario) : session_(session)
  {
    for (const ScenarioStep & step : scenario.steps) {
      if (step.kind == ScenarioStep::Kind::kFsm && !fsm_publisher_) {
        fsm_publisher_ =
            session.node()->create_publisher<TaskCenterFsmStatus>(kFsmTopic, rclcpp::QoS(1));
      } else if (
          step.kind == ScenarioStep::Kind::kEvent && event_publishers_.count(step.topic) == 0) {
        // Deep enough for every event of the topic: however slowly a bad link
        // acknowledges them, none is dropped from the history before it is.
        const auto depth = std::max<std::size_t>(kEventDepth, events_on(scenario, step.topic));
        event_publishers_[step.topic] =
            session.node()->create_publisher<DiagnosticEvent>(step.topic, rclcpp::QoS(depth));
      }
    }
  }

  // Waits for a subscriber on every topic; names the ones without.
  [[nodiscard]] bool wait_for_subscribers(std::chrono::milliseconds timeout) const
  {
    const auto deadline = Clock::now() + timeout;
    const auto remaining = [&] {
      return std::chrono::duration_cast<std::chrono::milliseconds>(
          std::max(deadline - Clock::now(), Clock::duration::zero()));
    };
    bool all = true;
    for (const auto & [topic, publisher] : event_publishers_) {
      if (!wait_for_subscriber(publisher, remaining())) {
        std::cerr << "diagctl replay: nobody subscribes to " << session_.qualified(topic) << '\n';
        all = false;
      }
    }
    if (fsm_publisher_ && !wait_for_subscriber(fsm_publisher_, remaining())) {
      std::cerr << "diagctl replay: nobody subscribes to " << session_.qualified(kFsmTopic) << '\n';
      all = false;
    }
    return all;
  }

  // Waits until every subscriber acknowledged everything published; names
  // the topics where that did not happen within the timeout.
  [[nodiscard]] bool wait_for_acknowledgements(std::chrono::milliseconds timeout) const
  {
    const auto deadline = Clock::now() + timeout;
    bool all = true;
    const auto check = [&](const auto & publisher, const std::string & topic) {
      const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(
          std::max(deadline - Clock::now(), Clock::duration::zero()));
      if (!diagctl::wait_for_acknowledgements(publisher, remaining)) {
        std::cerr << "diagctl replay: "
                  << unacknowledged_message(session_.qualified(topic), timeout) << '\n';
        all = false;
      }
    };
    for (const auto & [topic, publisher] : event_publishers_) {
      check(publisher, topic);
    }
    if (fsm_publisher_) {
      check(fsm_publisher_, kFsmTopic);
    }
    return all;
  }

  void publish(const ScenarioStep & step) const
  {
    const Stamp now = stamp_now();
    if (step.kind == ScenarioStep::Kind::kFsm) {
      TaskCenterFsmStatus status;
      status.stamp.sec = now.sec;
      status.stamp.nanosec = now.nanosec;
      status.fsm_state = step.fsm_state;
      status.fsm_sub_state = step.fsm_sub_state;
      fsm_publisher_->publish(status);
      return;
    }
    DiagnosticEvent event;
    event.stamp.sec = now.sec;
    event.stamp.nanosec = now.nanosec;
    event.fault_id = step.fault_id;
    event.status = step.status;
    event.event_msg = step.message;
    event_publishers_.at(step.topic)->publish(event);
  }

private:
  const RosSession & session_;
  std::map<std::string, rclcpp::Publisher<DiagnosticEvent>::SharedPtr> event_publishers_;
  rclcpp::Publisher<TaskCenterFsmStatus>::SharedPtr fsm_publisher_;
};

}  // namespace

int run_replay(const GlobalOptions & global, const std::vector<std::string> & arguments)
{
  ArgParser parser(
      "diagctl replay [options] SCENARIO.yaml",
      "Replay a scripted failure cascade: each step is published at its time (seconds\n"
      "from the start), events stamped with the wall clock when they are sent.\n"
      "Scenario file:\n"
      "  description: arm overheat cascade\n"
      "  steps:\n"
      "    - {at: 0.0, raise: 1001, module: arm_driver, msg: \"motor 3 at 92 C\"}\n"
      "    - {at: 2.0, clear: 1001, module: arm_driver}\n"
      "    - {at: 2.5, fsm: [2, 2]}        # fsm_state, fsm_sub_state",
      {{"dry-run", '\0', "", "check the file and print the steps without publishing"}});
  if (const auto exit = parse_or_exit(parser, "replay", arguments)) {
    return *exit;
  }
  if (parser.positionals().size() != 1) {
    std::cerr << "diagctl replay: wants one SCENARIO file\n";
    return kExitUsage;
  }
  std::string error;
  const auto scenario = load_scenario(parser.positionals().front(), error);
  if (!scenario) {
    std::cerr << "diagctl replay: " << error << '\n';
    return kExitFailure;
  }
  if (!scenario->description.empty()) {
    std::cout << "scenario: " << scenario->description << '\n';
  }
  if (parser.has("dry-run")) {
    for (const ScenarioStep & step : scenario->steps) {
      std::cout << offset_text(step.at) << ' ' << describe_step(step) << '\n';
    }
    return kExitOk;
  }

  RosSession session(global);
  const Replayer replayer(session, *scenario);
  if (!replayer.wait_for_subscribers(global.timeout)) {
    std::cerr << "diagctl replay: " << kNodeNotFoundHint << '\n';
    return kExitFailure;
  }
  const auto start = Clock::now();
  for (const ScenarioStep & step : scenario->steps) {
    if (!sleep_until(start + step.at)) {
      std::cerr << "diagctl replay: interrupted\n";
      return kExitFailure;
    }
    replayer.publish(step);
    std::cout << offset_text(step.at) << ' ' << describe_step(step) << std::endl;
  }
  return replayer.wait_for_acknowledgements(global.timeout) ? kExitOk : kExitFailure;
}

}  // namespace diagctl
