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

// A point in time of a given clock type, in nanoseconds since its epoch.
#ifndef RCLCPP__TIME_HPP_
#define RCLCPP__TIME_HPP_

#include <cstdint>

#include "builtin_interfaces/msg/time.hpp"
#include "rcl/time.h"
#include "rclcpp/duration.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

class Clock;

class Time
{
public:
  /// \throws std::runtime_error if seconds are negative
  Time(int32_t seconds, uint32_t nanoseconds, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);

  explicit Time(int64_t nanoseconds = 0, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);

  Time(const Time & rhs) = default;

  /// \throws std::runtime_error if the message holds a negative time
  Time(  // NOLINT(runtime/explicit)
      const builtin_interfaces::msg::Time & time_msg, rcl_clock_type_t clock_type = RCL_ROS_TIME);

  operator builtin_interfaces::msg::Time() const;

  Time & operator=(const Time & rhs) = default;
  Time & operator=(const builtin_interfaces::msg::Time & time_msg);

  /// Comparisons \throw std::runtime_error if the clock types differ.
  bool operator==(const rclcpp::Time & rhs) const;
  bool operator!=(const rclcpp::Time & rhs) const;
  bool operator<(const rclcpp::Time & rhs) const;
  bool operator<=(const rclcpp::Time & rhs) const;
  bool operator>=(const rclcpp::Time & rhs) const;
  bool operator>(const rclcpp::Time & rhs) const;

  Time operator+(const rclcpp::Duration & rhs) const;
  Duration operator-(const rclcpp::Time & rhs) const;
  Time operator-(const rclcpp::Duration & rhs) const;
  Time & operator+=(const rclcpp::Duration & rhs);
  Time & operator-=(const rclcpp::Duration & rhs);

  rcl_time_point_value_t nanoseconds() const;
  static Time max();
  double seconds() const;
  rcl_clock_type_t get_clock_type() const;

private:
  rcl_time_point_value_t nanoseconds_ = 0;
  rcl_clock_type_t clock_type_ = RCL_SYSTEM_TIME;
};

Time operator+(const rclcpp::Duration & lhs, const rclcpp::Time & rhs);

}  // namespace rclcpp

#endif  // RCLCPP__TIME_HPP_
