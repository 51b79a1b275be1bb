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

#include "diagctl/robot_states.hpp"

#include <vector>

namespace diagctl {

DashboardState & RobotStates::of(const RobotKey & key)
{
  const std::lock_guard<std::mutex> lock(mutex_);
  auto & state = states_[key];
  if (!state) {
    state = std::make_unique<DashboardState>();
  }
  return *state;
}

DashboardState * RobotStates::find(const RobotKey & key)
{
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto found = states_.find(key);
  return found == states_.end() ? nullptr : found->second.get();
}

void RobotStates::check_stale(WallTime now)
{
  std::vector<DashboardState *> states;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const auto & [key, state] : states_) {
      states.push_back(state.get());
    }
  }
  // Each state takes its own lock: never with the map's.
  for (DashboardState * state : states) {
    state->check_stale(now);
  }
}

}  // namespace diagctl
