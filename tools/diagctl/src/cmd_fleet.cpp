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

// diagctl fleet: every diagnosis centre on the chosen domains, once or live.
#include <unistd.h>

#include <iostream>
#include <map>
#include <thread>
#include <utility>

#include "diagctl/commands.hpp"
#include "diagctl/domain_list.hpp"
#include "diagctl/fleet_view.hpp"
#include "diagctl/fleet_watcher.hpp"
#include "diagctl/output_format.hpp"
#include "diagctl/watch_view.hpp"

namespace diagctl {

namespace {

constexpr std::chrono::seconds kRedrawPeriod{1};
constexpr std::chrono::milliseconds kTick{100};
constexpr double kDefaultSettleSeconds = 3.0;

struct FleetOptions
{
  std::vector<int> domains;
  bool json = false;
  bool watch = false;
  bool screen = false;  // a terminal: redraw in place
  std::chrono::milliseconds settle{3000};
};

std::optional<FleetOptions> fleet_options(
    const ArgParser & parser, const GlobalOptions & global, std::string & error)
{
  FleetOptions options;
  const auto domains = chosen_domains(parser.value("domains"), global, error);
  if (!domains) {
    return std::nullopt;
  }
  options.domains = *domains;
  options.json = parser.has("json");
  options.watch = parser.has("watch");
  options.screen = options.watch && !options.json && isatty(STDOUT_FILENO) != 0;
  double settle = kDefaultSettleSeconds;
  if (const auto text = parser.value("settle")) {
    const auto seconds = parse_number(*text);
    if (!seconds || *seconds < 0 || *seconds > 3600) {
      error = "--settle wants a number of seconds from 0 to 3600, not \"" + *text + "\"";
      return std::nullopt;
    }
    settle = *seconds;
  }
  options.settle = std::chrono::milliseconds(static_cast<std::int64_t>(settle * 1000));
  return options;
}

// What the model's bounds dropped, said on standard error when it grew, so
// that standard output stays the table or the JSON documents.
class DropReport
{
public:
  void report(const FleetSnapshot & snapshot)
  {
    for (const RobotView & robot : snapshot.robots) {
      const std::string name = robot.key.ns + " (domain " + std::to_string(robot.key.domain) + ")";
      auto & seen = seen_[robot.key];
      if (robot.exception_handles_dropped > seen.first) {
        std::cerr << "diagctl fleet: " << name << ": "
                  << robot.exception_handles_dropped - seen.first << " more exception handles over "
                  << FleetModel::kExceptionHandlesKept << " a minute, not counted\n";
      }
      if (robot.failures_dropped > 0 && robot.failures_dropped != seen.second) {
        std::cerr << "diagctl fleet: " << name << ": " << robot.failures_dropped
                  << " current failures over " << FleetModel::kFailuresKept << " not listed\n";
      }
      seen = {robot.exception_handles_dropped, robot.failures_dropped};
    }
  }

private:
  std::map<RobotKey, std::pair<std::size_t, std::size_t>> seen_;
};

void print(const FleetSnapshot & snapshot, const FleetOptions & options, DropReport & drops)
{
  drops.report(snapshot);
  if (options.json) {
    std::cout << fleet_json(snapshot) << std::endl;
  } else if (options.screen) {
    std::cout << ansi::kClearScreen << "fleet  " << wall_clock_time() << "   (Ctrl-C to stop)\n\n"
              << fleet_table(snapshot) << std::flush;
  } else if (options.watch) {
    std::cout << "---- " << wall_clock_time() << '\n' << fleet_table(snapshot) << std::flush;
  } else {
    std::cout << fleet_table(snapshot) << std::flush;
  }
}

// Sleeps until `until` or until the watcher stopped; false then.
bool sleep_until(const FleetWatcher & watcher, std::chrono::steady_clock::time_point until)
{
  while (std::chrono::steady_clock::now() < until) {
    if (!watcher.ok()) {
      return false;
    }
    std::this_thread::sleep_for(kTick);
  }
  return watcher.ok();
}

}  // namespace

int run_fleet(const GlobalOptions & global, const std::vector<std::string> & arguments)
{
  ArgParser parser(
      "diagctl fleet [--domains LIST] [--json] [--watch] [--settle SEC]",
      "Every diagnosis centre found on the ROS graph of the given domains: each node\n"
      "publishing the centre's current_failure in a namespace is a robot. Per robot:\n"
      "its state (ok: no current failure, degraded: some, stale: current_failure\n"
      "stopped for three of its periods, gone: left the graph) and since when, root\n"
      "causes and consequences of its diagnosis tree, its newest raise, the robot\n"
      "status from the task centre's fsm_status and exception handles per minute.\n"
      "With -n NS, only the robots at or below NS. Once: looks for --settle seconds,\n"
      "prints and exits. --watch redraws every second until Ctrl-C.",
      {
          {"domains", '\0', "LIST",
           "domain ids and ranges, e.g. 0,3-7 (default: --domain, "
           "else ROS_DOMAIN_ID, else 0)"},
          {"json", '\0', "", "one JSON document (with --watch: one a line, every second)"},
          {"watch", 'w', "", "follow the fleet until Ctrl-C"},
          {"settle", '\0', "SEC", "how long to discover before printing (default 3)"},
      });
  if (const auto exit = parse_or_exit(parser, "fleet", arguments)) {
    return *exit;
  }
  if (!parser.positionals().empty()) {
    std::cerr << "diagctl fleet: unexpected argument \"" << parser.positionals().front()
              << "\"\nTry 'diagctl fleet --help'.\n";
    return kExitUsage;
  }
  std::string error;
  const auto options = fleet_options(parser, global, error);
  if (!options) {
    std::cerr << "diagctl fleet: " << error << "\nTry 'diagctl fleet --help'.\n";
    return kExitUsage;
  }

  FleetModel model;
  DropReport drops;
  FleetWatcher watcher(model, options->domains, global.ros_namespace, global.ros_arguments);
  auto next = std::chrono::steady_clock::now() + options->settle;
  if (!options->watch) {
    if (sleep_until(watcher, next)) {
      print(model.snapshot(WallClock::now()), *options, drops);
    }
    return kExitOk;
  }
  next = std::chrono::steady_clock::now();
  while (sleep_until(watcher, next)) {
    print(model.snapshot(WallClock::now()), *options, drops);
    next += kRedrawPeriod;
  }
  if (options->screen) {
    std::cout << '\n';
  }
  return kExitOk;
}

}  // namespace diagctl
