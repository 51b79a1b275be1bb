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

#include "diagctl/fleet_view.hpp"

#include <cstdio>
#include <sstream>

#include "diagctl/output_format.hpp"

namespace diagctl {

namespace {

double epoch_seconds(WallTime time)
{
  return std::chrono::duration<double>(time.time_since_epoch()).count();
}

std::string fixed(double value, int decimals)
{
  char text[64];
  std::snprintf(text, sizeof(text), "%.*f", decimals, value);
  return text;
}

std::string newest_raise_cell(const RobotView & robot, WallTime now)
{
  if (!robot.newest_raise) {
    return "-";
  }
  const NewestRaise & raise = *robot.newest_raise;
  std::string cell = std::to_string(raise.fault_id);
  if (!raise.description.empty()) {
    cell += ' ' + printable_text(raise.description);
  }
  return cell + ' ' + short_age(now - raise.raised_at);
}

std::string newest_raise_json(const RobotView & robot, WallTime now)
{
  if (!robot.newest_raise) {
    return "null";
  }
  const NewestRaise & raise = *robot.newest_raise;
  return "{\"fault_id\":" + std::to_string(raise.fault_id) +
         ",\"description\":" + json_string(raise.description, InvalidUtf8::kReplacement) +
         ",\"age_s\":" + fixed(std::chrono::duration<double>(now - raise.raised_at).count(), 3) +
         "}";
}

std::string robot_json(const RobotView & robot, WallTime now)
{
  std::string failures;
  for (const std::int32_t id : robot.failures) {
    failures += (failures.empty() ? "" : ",") + std::to_string(id);
  }
  return "{\"namespace\":" + json_string(robot.key.ns, InvalidUtf8::kReplacement) +
         ",\"domain\":" + std::to_string(robot.key.domain) + ",\"state\":\"" +
         robot_state_name(robot.state) +
         "\",\"state_since\":" + fixed(epoch_seconds(robot.state_since), 3) +
         ",\"root_causes\":" + std::to_string(robot.root_causes) +
         ",\"consequences\":" + std::to_string(robot.consequences) +
         ",\"newest_raise\":" + newest_raise_json(robot, now) +
         ",\"robot_status\":" + std::to_string(robot.robot_status) +
         ",\"exception_handles_per_minute\":" + fixed(robot.exception_handles_per_minute, 1) +
         ",\"failures\":[" + failures + "]}";
}

}  // namespace

std::string short_age(std::chrono::nanoseconds age)
{
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(age).count();
  if (seconds < 0) {
    return "0s";
  }
  if (seconds < 60) {
    return std::to_string(seconds) + "s";
  }
  if (seconds < 3600) {
    return std::to_string(seconds / 60) + "m";
  }
  if (seconds < 86400) {
    return std::to_string(seconds / 3600) + "h";
  }
  return std::to_string(seconds / 86400) + "d";
}

std::string fleet_table(const FleetSnapshot & snapshot)
{
  if (snapshot.robots.empty()) {
    return "No diagnosis centre found\n";
  }
  TextTable table(
      {"ROBOT", "DOMAIN", "STATE", "SINCE", "ROOTS", "CONSEQ", "NEWEST RAISE", "STATUS", "EH/MIN"});
  for (const RobotView & robot : snapshot.robots) {
    table.add_row(
        {printable_text(robot.key.ns), std::to_string(robot.key.domain),
         robot_state_name(robot.state), short_age(snapshot.time - robot.state_since),
         std::to_string(robot.root_causes), std::to_string(robot.consequences),
         newest_raise_cell(robot, snapshot.time), std::to_string(robot.robot_status),
         fixed(robot.exception_handles_per_minute, 1)});
  }
  std::ostringstream out;
  table.print(out);
  return out.str();
}

std::string fleet_json(const FleetSnapshot & snapshot)
{
  std::string robots;
  for (const RobotView & robot : snapshot.robots) {
    robots += (robots.empty() ? "" : ",") + robot_json(robot, snapshot.time);
  }
  return "{\"robots\":[" + robots + "],\"time\":" + fixed(epoch_seconds(snapshot.time), 3) + "}";
}

}  // namespace diagctl
