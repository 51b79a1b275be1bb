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

// Initializers of the rmw types, behaving as ROS 2 Humble's.
#include "rmw/types.h"

extern "C" {

rmw_message_info_t rmw_get_zero_initialized_message_info(void)
{
  rmw_message_info_t info{};
  return info;
}

}  // extern "C"
