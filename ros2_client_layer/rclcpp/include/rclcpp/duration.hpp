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

// A signed span of time in nanoseconds.
#ifndef RCLCPP__DURATION_HPP_
#define RCLCPP__DURATION_HPP_

#include <chrono>
#include <cstdint>

#include "builtin_interfaces/msg/duration.hpp"
#include "rcl/time.h"
#include "rclcpp/visibility_control.hpp"
#include "rmw/time.h"

namespace rclcpp {

class Duration
{
public:
  /// Seconds plus nanoseconds; the nanoseconds may exceed one second.
  Duration(int32_t seconds, uint32_t nanoseconds);

  explicit Duration(std::chrono::nanoseconds nanoseconds);

  template <class Rep, class Period>
  Duration(const std::chrono::duration<Rep, Period> & duration)  // NOLINT(runtime/explicit)
      : Duration(std::chrono::duration_cast<std::chrono::nanoseconds>(duration))
  {
  }

  Duration(const builtin_interfaces::msg::Duration & duration_msg);  // NOLINT(runtime/explicit)

  Duration(const Duration & rhs) = default;
  Duration & operator=(const Duration & rhs) = default;
  Duration & operator=(const builtin_interfaces::msg::Duration & duration_msg);

  operator builtin_interfaces::msg::Duration() const;

  /// Sums, differences and scalings throw std::overflow_error or
  /// std::underflow_error when the result leaves the int64_t range; a result of
  /// exactly INT64_MIN counts as out of range.
  bool operator==(const rclcpp::Duration & rhs) const;
  bool operator!=(const rclcpp::Duration & rhs) const;
  bool operator<(const rclcpp::Duration & rhs) const;
  bool operator<=(const rclcpp::Duration & rhs) const;
  bool operator>=(const rclcpp::Duration & rhs) const;
  bool operator>(const rclcpp::Duration & rhs) const;

  Duration operator+(const rclcpp::Duration & rhs) const;
  Duration & operator+=(const rclcpp::Duration & rhs);
  Duration operator-(const rclcpp::Duration & rhs) const;
  Duration & operator-=(const rclcpp::Duration & rhs);
  /// \throws std::runtime_error if `scale` is not finite
  Duration operator*(double scale) const;
  Duration & operator*=(double scale);

  /// The largest representable duration.
  static Duration max();

  rcl_duration_value_t nanoseconds() const;
  double seconds() const;

  /// Truncates towards zero to whole nanoseconds.
  static Duration from_seconds(double seconds);
  static Duration from_nanoseconds(rcl_duration_value_t nanoseconds);

  /// \throws std::runtime_error if the duration is negative
  rmw_time_t to_rmw_time() const;
  /// Saturates at the largest duration when the value does not fit.
  static Duration from_rmw_time(rmw_time_t duration);

  template <class DurationT>
  DurationT to_chrono() const
  {
    return std::chrono::duration_cast<DurationT>(std::chrono::nanoseconds(nanoseconds_));
  }

private:
  Duration() = default;
  rcl_duration_value_t nanoseconds_ = 0;
};

}  // namespace rclcpp

#endif  // RCLCPP__DURATION_HPP_
