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

#include "diagctl/fleet_model.hpp"

#include <algorithm>

#include "diagctl/tree_model.hpp"
#include "diagnostic_center/contract/robot_status.hpp"

namespace diagctl {

namespace {

WallTime wall_time_of(const builtin_interfaces::msg::Time & stamp)
{
  return WallTime(std::chrono::duration_cast<WallClock::duration>(
      std::chrono::seconds(stamp.sec) + std::chrono::nanoseconds(stamp.nanosec)));
}

bool stamp_before(const DiagnosisEntry & a, const DiagnosisEntry & b)
{
  return a.raised_at.sec != b.raised_at.sec ? a.raised_at.sec < b.raised_at.sec
                                            : a.raised_at.nanosec < b.raised_at.nanosec;
}

}  // namespace

const char * robot_state_name(RobotState state)
{
  switch (state) {
    case RobotState::kOk:
      return "ok";
    case RobotState::kDegraded:
      return "degraded";
    case RobotState::kStale:
      return "stale";
    case RobotState::kGone:
      return "gone";
  }
  return "unknown";
}

FleetModel::Robot::Robot(WallTime now)
    : liveness(now), since(now), robot_status(diagnostic_center::contract::kInitialRobotStatus)
{
}

FleetModel::Robot & FleetModel::live_robot(const RobotKey & key, WallTime now)
{
  auto found = robots_.find(key);
  if (found == robots_.end()) {
    return robots_.emplace(key, Robot(now)).first->second;
  }
  if (found->second.gone_since) {
    found->second = Robot(now);
  }
  return found->second;
}

void FleetModel::on_graph(int domain, const std::set<std::string> & namespaces, WallTime now)
{
  const std::lock_guard<std::mutex> lock(mutex_);
  for (const std::string & ns : namespaces) {
    live_robot({domain, ns}, now);
  }
  for (auto & [key, robot] : robots_) {
    if (key.domain == domain && !robot.gone_since && namespaces.count(key.ns) == 0) {
      robot.gone_since = now;
    }
  }
}

void FleetModel::on_current_failure(
    const RobotKey & key, const std::vector<std::int32_t> & fault_ids, WallTime now)
{
  const std::lock_guard<std::mutex> lock(mutex_);
  Robot & robot = live_robot(key, now);
  const bool was_stale = robot.liveness.stale(now);
  robot.liveness.on_message(now);
  const bool degraded = !fault_ids.empty();
  if (was_stale || degraded != robot.degraded) {
    robot.since = now;
  }
  robot.degraded = degraded;
  robot.failures_dropped = fault_ids.size() > kFailuresKept ? fault_ids.size() - kFailuresKept : 0;
  robot.failures.assign(fault_ids.begin(), fault_ids.end() - robot.failures_dropped);
  std::sort(robot.failures.begin(), robot.failures.end());
}

void FleetModel::on_tree(
    const RobotKey & key, const corvanta_protocol::msg::DiagnosisTree & tree, WallTime now)
{
  // Counted from the message, which is dropped after: nothing of its size stays.
  const TreeModel model = build_tree_model(tree);
  const auto newest = std::max_element(tree.entries.begin(), tree.entries.end(), &stamp_before);
  const std::lock_guard<std::mutex> lock(mutex_);
  Robot & robot = live_robot(key, now);
  robot.root_causes = model.root_causes;
  robot.consequences = model.consequences;
  // Until the first current_failure, the tree is all there is to go by.
  if (!robot.liveness.heard()) {
    robot.degraded = !tree.entries.empty();
  }
  robot.newest_raise.reset();
  if (newest != tree.entries.end()) {
    robot.newest_raise =
        NewestRaise{newest->fault_id, newest->description, wall_time_of(newest->raised_at)};
  }
}

void FleetModel::on_exception_handle(const RobotKey & key, WallTime now)
{
  const std::lock_guard<std::mutex> lock(mutex_);
  Robot & robot = live_robot(key, now);
  auto & handles = robot.exception_handles;
  while (!handles.empty() && now - handles.front() >= kRateWindow) {
    handles.pop_front();
  }
  if (handles.size() >= kExceptionHandlesKept) {
    ++robot.exception_handles_dropped;
    return;
  }
  handles.push_back(now);
}

void FleetModel::on_fsm_status(
    const RobotKey & key, std::int32_t fsm_state, std::int32_t fsm_sub_state, WallTime now)
{
  const std::lock_guard<std::mutex> lock(mutex_);
  live_robot(key, now).robot_status =
      diagnostic_center::contract::DeriveRobotStatus(fsm_state, fsm_sub_state);
}

FleetSnapshot FleetModel::snapshot(WallTime now) const
{
  FleetSnapshot snapshot;
  snapshot.time = now;
  const std::lock_guard<std::mutex> lock(mutex_);
  snapshot.robots.reserve(robots_.size());
  for (const auto & [key, robot] : robots_) {
    snapshot.robots.push_back(view_of(key, robot, now));
  }
  return snapshot;
}

RobotView FleetModel::view_of(const RobotKey & key, const Robot & robot, WallTime now)
{
  RobotView view;
  view.key = key;
  if (robot.gone_since) {
    view.state = RobotState::kGone;
    view.state_since = *robot.gone_since;
  } else if (const auto stale_since = robot.liveness.stale_since(now)) {
    view.state = RobotState::kStale;
    view.state_since = *stale_since;
  } else {
    view.state = robot.degraded ? RobotState::kDegraded : RobotState::kOk;
    view.state_since = robot.since;
  }
  view.root_causes = robot.root_causes;
  view.consequences = robot.consequences;
  view.newest_raise = robot.newest_raise;
  view.robot_status = robot.robot_status;
  view.exception_handles_per_minute = static_cast<double>(std::count_if(
      robot.exception_handles.begin(), robot.exception_handles.end(),
      [&](WallTime at) { return now - at < kRateWindow; }));
  view.failures = robot.failures;
  view.failures_dropped = robot.failures_dropped;
  view.exception_handles_dropped = robot.exception_handles_dropped;
  return view;
}

}  // namespace diagctl
