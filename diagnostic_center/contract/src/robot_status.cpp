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

#include "diagnostic_center/contract/robot_status.hpp"

namespace diagnostic_center::contract {

std::int32_t DeriveRobotStatus(std::int32_t fsm_state, std::int32_t fsm_sub_state)
{
  switch (fsm_state) {
    case 1:
    case 3:
    case 5:
      return 1;
    case 2:
      return fsm_sub_state == 2 ? 3 : 2;
    default:
      return 2;
  }
}

}  // namespace diagnostic_center::contract
