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

// What the fleet command knows of every diagnosis centre it discovered, each
// keyed by its domain and namespace. The ROS side feeds it messages and
// graph snapshots with their arrival times; the views read snapshots. It is
// free of DDS and clocks, so that tests drive it with times of their own.
//
// A robot is ok (no current failure) or degraded (some), stale once its
// current_failure stopped for three of its periods (see Liveness), gone once
// its centre left the graph. A robot that comes back starts afresh; a gone
// one stays listed. What is kept per robot is bounded: the failure ids and
// the exception handles of the last minute are capped, and what the caps
// drop is counted.
#ifndef DIAGCTL__FLEET_MODEL_HPP_
#define DIAGCTL__FLEET_MODEL_HPP_

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <corvanta_protocol/msg/diagnosis_tree.hpp>

#include "diagctl/liveness.hpp"

namespace diagctl {

struct RobotKey
{
  int domain = 0;
  std::string ns;  // "/robot1", "/" for the root namespace

  bool operator<(const RobotKey & other) const
  {
    return domain != other.domain ? domain < other.domain : ns < other.ns;
  }
  bool operator==(const RobotKey & other) const { return domain == other.domain && ns == other.ns; }
};

enum class RobotState
{
  kOk,
  kDegraded,
  kStale,
  kGone
};

const char * robot_state_name(RobotState state);

struct NewestRaise
{
  std::int32_t fault_id = 0;
  std::string description;
  WallTime raised_at;  // the centre's stamp of the raising event
};

// One robot as the views show it.
struct RobotView
{
  RobotKey key;
  RobotState state = RobotState::kOk;
  WallTime state_since;
  std::size_t root_causes = 0;
  std::size_t consequences = 0;
  std::optional<NewestRaise> newest_raise;
  std::int32_t robot_status = 0;
  double exception_handles_per_minute = 0.0;
  std::vector<std::int32_t> failures;         // the last current_failure, sorted, capped
  std::size_t failures_dropped = 0;           // ids beyond the cap, last message
  std::size_t exception_handles_dropped = 0;  // over the rate cap, in all
};

struct FleetSnapshot
{
  WallTime time;
  std::vector<RobotView> robots;  // by (domain, namespace)
};

class FleetModel
{
public:
  static constexpr std::size_t kFailuresKept = 1000;
  // Exception handles remembered for the rate: a centre raising more than
  // this in a minute shows this many.
  static constexpr std::size_t kExceptionHandlesKept = 6000;
  static constexpr std::chrono::seconds kRateWindow{60};

  // The centres of `domain` found on the graph at `now`, by namespace: new
  // ones are added, missing ones are gone, returning ones start afresh.
  void on_graph(int domain, const std::set<std::string> & namespaces, WallTime now);

  void on_current_failure(
      const RobotKey & key, const std::vector<std::int32_t> & fault_ids, WallTime now);
  void on_tree(
      const RobotKey & key, const corvanta_protocol::msg::DiagnosisTree & tree, WallTime now);
  void on_exception_handle(const RobotKey & key, WallTime now);
  void on_fsm_status(
      const RobotKey & key, std::int32_t fsm_state, std::int32_t fsm_sub_state, WallTime now);

  FleetSnapshot snapshot(WallTime now) const;

private:
  struct Robot
  {
    explicit Robot(WallTime now);

    Liveness liveness;
    bool degraded = false;
    WallTime since;  // of ok or degraded, whichever it is
    std::optional<WallTime> gone_since;
    std::size_t root_causes = 0;
    std::size_t consequences = 0;
    std::optional<NewestRaise> newest_raise;
    std::int32_t robot_status;               // derived from the task centre's last state
    std::deque<WallTime> exception_handles;  // oldest first
    std::size_t exception_handles_dropped = 0;
    std::vector<std::int32_t> failures;
    std::size_t failures_dropped = 0;
  };

  // A message proves its centre is there: one the graph has not shown yet is
  // added, a gone one is back and starts afresh (its transient-local tree
  // may come before the graph shows it again).
  Robot & live_robot(const RobotKey & key, WallTime now);
  static RobotView view_of(const RobotKey & key, const Robot & robot, WallTime now);

  mutable std::mutex mutex_;
  std::map<RobotKey, Robot> robots_;
};

}  // namespace diagctl

#endif  // DIAGCTL__FLEET_MODEL_HPP_
