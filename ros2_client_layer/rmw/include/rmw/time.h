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

// Durations of the ROS 2 middleware interface, as Humble declares them.
#ifndef RMW__TIME_H_
#define RMW__TIME_H_

#ifdef __cplusplus
extern "C" {
#endif

#include <stdbool.h>
#include <stdint.h>

// Infinite is INT64_MAX nanoseconds; unspecified means "use the default".
#define RMW_DURATION_INFINITE \
  {                           \
    9223372036LL, 854775807LL \
  }
#define RMW_DURATION_UNSPECIFIED \
  {                              \
    0LL, 0LL                     \
  }

typedef int64_t rmw_time_point_value_t;  // nanoseconds
typedef int64_t rmw_duration_t;          // nanoseconds

typedef struct rmw_time_s
{
  uint64_t sec;
  uint64_t nsec;
} rmw_time_t;

// True when both denote the same duration (non-normalized values allowed).
bool rmw_time_equal(const rmw_time_t left, const rmw_time_t right);

// Total nanoseconds, saturating at INT64_MAX.
rmw_duration_t rmw_time_total_nsec(const rmw_time_t time);

// Negative values map to RMW_DURATION_INFINITE, as in Humble.
rmw_time_t rmw_time_from_nsec(const rmw_duration_t nanoseconds);

// Carries whole seconds out of nsec, saturating at RMW_DURATION_INFINITE.
rmw_time_t rmw_time_normalize(const rmw_time_t time);

#ifdef __cplusplus
}
#endif

#endif  // RMW__TIME_H_
