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

// The rmw_time_* helpers, behaving as ROS 2 Humble's.
#include "rmw/time.h"

#include <cstdint>

namespace {
constexpr std::int64_t kNanosecondsPerSecond = 1000000000LL;
}

extern "C" {

bool rmw_time_equal(const rmw_time_t left, const rmw_time_t right)
{
  return rmw_time_total_nsec(left) == rmw_time_total_nsec(right);
}

rmw_duration_t rmw_time_total_nsec(const rmw_time_t time)
{
  constexpr std::uint64_t kMaxSeconds = INT64_MAX / kNanosecondsPerSecond;
  if (time.sec > kMaxSeconds) {
    return INT64_MAX;
  }
  const std::int64_t seconds_as_ns = static_cast<std::int64_t>(time.sec) * kNanosecondsPerSecond;
  if (time.nsec > static_cast<std::uint64_t>(INT64_MAX - seconds_as_ns)) {
    return INT64_MAX;
  }
  return seconds_as_ns + static_cast<std::int64_t>(time.nsec);
}

rmw_time_t rmw_time_from_nsec(const rmw_duration_t nanoseconds)
{
  if (nanoseconds < 0) {
    return rmw_time_t RMW_DURATION_INFINITE;
  }
  return rmw_time_t{
      static_cast<std::uint64_t>(nanoseconds / kNanosecondsPerSecond),
      static_cast<std::uint64_t>(nanoseconds % kNanosecondsPerSecond)};
}

rmw_time_t rmw_time_normalize(const rmw_time_t time)
{
  return rmw_time_from_nsec(rmw_time_total_nsec(time));
}

}  // extern "C"
