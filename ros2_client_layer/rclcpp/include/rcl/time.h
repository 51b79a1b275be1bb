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

// Clock types and time units as rcl defines them (the parts rclcpp's time API uses).
#ifndef RCL__TIME_H_
#define RCL__TIME_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define RCL_S_TO_NS(seconds) ((seconds) * (1000LL * 1000LL * 1000LL))
#define RCL_MS_TO_NS(milliseconds) ((milliseconds) * (1000LL * 1000LL))
#define RCL_US_TO_NS(microseconds) ((microseconds)*1000LL)
#define RCL_NS_TO_S(nanoseconds) ((nanoseconds) / (1000LL * 1000LL * 1000LL))
#define RCL_NS_TO_MS(nanoseconds) ((nanoseconds) / (1000LL * 1000LL))
#define RCL_NS_TO_US(nanoseconds) ((nanoseconds) / 1000LL)

typedef int64_t rcl_time_point_value_t;
typedef int64_t rcl_duration_value_t;

typedef enum rcl_clock_type_e
{
  RCL_CLOCK_UNINITIALIZED = 0,
  RCL_ROS_TIME,
  RCL_SYSTEM_TIME,
  RCL_STEADY_TIME
} rcl_clock_type_t;

#ifdef __cplusplus
}
#endif

#endif  // RCL__TIME_H_
