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

// The dashboard's view of every robot of a fleet: one DashboardState per
// robot, made when the robot is first heard and kept (a gone robot's last
// tree stays readable), so that the single-robot documents serve each one.
#ifndef DIAGCTL__ROBOT_STATES_HPP_
#define DIAGCTL__ROBOT_STATES_HPP_

#include <map>
#include <memory>
#include <mutex>

#include "diagctl/dashboard_state.hpp"
#include "diagctl/fleet_model.hpp"

namespace diagctl {

class RobotStates
{
public:
  // The robot's state, made on first use; valid as long as this object.
  DashboardState & of(const RobotKey & key);
  // Null for a robot never heard.
  DashboardState * find(const RobotKey & key);
  // DashboardState::check_stale of every robot.
  void check_stale(WallTime now);

private:
  std::mutex mutex_;  // guards the map only; each state locks itself
  std::map<RobotKey, std::unique_ptr<DashboardState>> states_;
};

}  // namespace diagctl

#endif  // DIAGCTL__ROBOT_STATES_HPP_
