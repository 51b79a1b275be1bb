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

// The coarse robot status the centre derives from the task centre's state
// machine; a change of it announces every current failure again.
#ifndef DIAGNOSTIC_CENTER__CONTRACT__ROBOT_STATUS_HPP_
#define DIAGNOSTIC_CENTER__CONTRACT__ROBOT_STATUS_HPP_

#include <cstdint>

namespace diagnostic_center::contract {

// The status before any task-centre state was seen.
inline constexpr std::int32_t kInitialRobotStatus = 1;

// 1 for states 1, 3 and 5; 3 for state 2 with sub-state 2; 2 for everything
// else, including states never defined (0, negative, 6 and up).
std::int32_t DeriveRobotStatus(std::int32_t fsm_state, std::int32_t fsm_sub_state);

}  // namespace diagnostic_center::contract

#endif  // DIAGNOSTIC_CENTER__CONTRACT__ROBOT_STATUS_HPP_
