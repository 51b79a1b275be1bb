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

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>

#include "client_layer/error_state.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/time.hpp"
#include "rclcpp/utilities.hpp"
#include "rmw/types.h"

namespace rclcpp {

namespace {

constexpr int64_t kNanosecondsPerSecond = RCL_S_TO_NS(1);

int64_t checked_add(int64_t a, int64_t b)
{
  if (add_will_overflow(a, b)) {
    throw std::overflow_error("addition leads to int64_t overflow");
  }
  if (add_will_underflow(a, b)) {
    throw std::underflow_error("addition leads to int64_t underflow");
  }
  return a + b;
}

int64_t checked_sub(int64_t a, int64_t b)
{
  if (sub_will_overflow(a, b)) {
    throw std::overflow_error("time subtraction leads to int64_t overflow");
  }
  if (sub_will_underflow(a, b)) {
    throw std::underflow_error("time subtraction leads to int64_t underflow");
  }
  return a - b;
}

int64_t from_seconds_and_nanoseconds(int32_t seconds, uint32_t nanoseconds)
{
  return RCL_S_TO_NS(static_cast<int64_t>(seconds)) + static_cast<int64_t>(nanoseconds);
}

// Duration arithmetic bounds work on magnitudes, so a result of exactly
// INT64_MIN counts as an underflow, as in rclcpp.
constexpr uint64_t kMaxDuration = std::numeric_limits<rcl_duration_value_t>::max();

uint64_t magnitude(int64_t value)
{
  return value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

void check_duration_sum(int64_t lhs, int64_t rhs)
{
  if (magnitude(lhs) + magnitude(rhs) <= kMaxDuration) {
    return;
  }
  if (lhs > 0 && rhs > 0) {
    throw std::overflow_error("addition leads to int64_t overflow");
  }
  if (lhs < 0 && rhs < 0) {
    throw std::underflow_error("addition leads to int64_t underflow");
  }
}

void check_duration_difference(int64_t lhs, int64_t rhs)
{
  if (magnitude(lhs) + magnitude(rhs) <= kMaxDuration) {
    return;
  }
  if (lhs > 0 && rhs < 0) {
    throw std::overflow_error("duration subtraction leads to int64_t overflow");
  }
  if (lhs < 0 && rhs > 0) {
    throw std::underflow_error("duration subtraction leads to int64_t underflow");
  }
}

void check_duration_scale(int64_t nanoseconds, double scale)
{
  const double abs_scale = std::abs(scale);
  if (abs_scale <= 1.0 ||
      magnitude(nanoseconds) <=
          static_cast<uint64_t>(static_cast<long double>(kMaxDuration) / abs_scale)) {
    return;
  }
  if ((nanoseconds > 0) == (scale > 0)) {
    throw std::overflow_error("duration scaling leads to int64_t overflow");
  }
  throw std::underflow_error("duration scaling leads to int64_t underflow");
}

}  // namespace

// ---- Duration ----

Duration::Duration(int32_t seconds, uint32_t nanoseconds)
    : nanoseconds_(from_seconds_and_nanoseconds(seconds, nanoseconds))
{
}

Duration::Duration(std::chrono::nanoseconds nanoseconds) : nanoseconds_(nanoseconds.count()) {}

Duration::Duration(const builtin_interfaces::msg::Duration & duration_msg)
    : nanoseconds_(from_seconds_and_nanoseconds(duration_msg.sec, duration_msg.nanosec))
{
}

Duration & Duration::operator=(const builtin_interfaces::msg::Duration & duration_msg)
{
  *this = Duration(duration_msg);
  return *this;
}

Duration::operator builtin_interfaces::msg::Duration() const
{
  builtin_interfaces::msg::Duration msg;
  const auto result = std::lldiv(nanoseconds_, kNanosecondsPerSecond);
  constexpr int32_t max_s = std::numeric_limits<int32_t>::max();
  constexpr int32_t min_s = std::numeric_limits<int32_t>::min();
  if (result.rem >= 0) {
    if (result.quot > max_s) {  // saturate
      msg.sec = max_s;
      msg.nanosec = std::numeric_limits<uint32_t>::max();
    } else {
      msg.sec = static_cast<int32_t>(result.quot);
      msg.nanosec = static_cast<uint32_t>(result.rem);
    }
  } else {
    if (result.quot <= min_s) {
      msg.sec = min_s;
      msg.nanosec = 0u;
    } else {
      msg.sec = static_cast<int32_t>(result.quot - 1);
      msg.nanosec = static_cast<uint32_t>(kNanosecondsPerSecond + result.rem);
    }
  }
  return msg;
}

bool Duration::operator==(const Duration & rhs) const { return nanoseconds_ == rhs.nanoseconds_; }
bool Duration::operator!=(const Duration & rhs) const { return nanoseconds_ != rhs.nanoseconds_; }
bool Duration::operator<(const Duration & rhs) const { return nanoseconds_ < rhs.nanoseconds_; }
bool Duration::operator<=(const Duration & rhs) const { return nanoseconds_ <= rhs.nanoseconds_; }
bool Duration::operator>=(const Duration & rhs) const { return nanoseconds_ >= rhs.nanoseconds_; }
bool Duration::operator>(const Duration & rhs) const { return nanoseconds_ > rhs.nanoseconds_; }

Duration Duration::operator+(const Duration & rhs) const
{
  check_duration_sum(nanoseconds_, rhs.nanoseconds_);
  return from_nanoseconds(nanoseconds_ + rhs.nanoseconds_);
}

Duration & Duration::operator+=(const Duration & rhs)
{
  *this = *this + rhs;
  return *this;
}

Duration Duration::operator-(const Duration & rhs) const
{
  check_duration_difference(nanoseconds_, rhs.nanoseconds_);
  return from_nanoseconds(nanoseconds_ - rhs.nanoseconds_);
}

Duration & Duration::operator-=(const Duration & rhs)
{
  *this = *this - rhs;
  return *this;
}

Duration Duration::operator*(double scale) const
{
  if (!std::isfinite(scale)) {
    throw std::runtime_error("abnormal scale in rclcpp::Duration");
  }
  check_duration_scale(nanoseconds_, scale);
  return from_nanoseconds(static_cast<rcl_duration_value_t>(
      static_cast<long double>(nanoseconds_) * static_cast<long double>(scale)));
}

Duration & Duration::operator*=(double scale)
{
  *this = *this * scale;
  return *this;
}

Duration Duration::max() { return Duration(std::numeric_limits<int32_t>::max(), 999999999); }

rcl_duration_value_t Duration::nanoseconds() const { return nanoseconds_; }

double Duration::seconds() const
{
  return std::chrono::duration<double>(std::chrono::nanoseconds(nanoseconds_)).count();
}

// Truncates towards zero, as rclcpp does.
Duration Duration::from_seconds(double seconds)
{
  return from_nanoseconds(static_cast<int64_t>(RCL_S_TO_NS(seconds)));
}

rmw_time_t Duration::to_rmw_time() const
{
  if (nanoseconds_ < 0) {
    throw std::runtime_error("rmw_time_t cannot be negative");
  }
  return rmw_time_from_nsec(nanoseconds_);
}

Duration Duration::from_rmw_time(rmw_time_t duration)
{
  return from_nanoseconds(rmw_time_total_nsec(duration));  // saturates at the maximum
}

Duration Duration::from_nanoseconds(rcl_duration_value_t nanoseconds)
{
  Duration duration;
  duration.nanoseconds_ = nanoseconds;
  return duration;
}

// ---- Time ----

Time::Time(int32_t seconds, uint32_t nanoseconds, rcl_clock_type_t clock_type)
    : clock_type_(clock_type)
{
  if (seconds < 0) {
    throw std::runtime_error("cannot store a negative time point in rclcpp::Time");
  }
  nanoseconds_ = from_seconds_and_nanoseconds(seconds, nanoseconds);
}

Time::Time(int64_t nanoseconds, rcl_clock_type_t clock_type)
    : nanoseconds_(nanoseconds), clock_type_(clock_type)
{
}

Time::Time(const builtin_interfaces::msg::Time & time_msg, rcl_clock_type_t clock_type)
    : clock_type_(clock_type)
{
  if (time_msg.sec < 0) {
    throw std::runtime_error("cannot store a negative time point in rclcpp::Time");
  }
  nanoseconds_ = from_seconds_and_nanoseconds(time_msg.sec, time_msg.nanosec);
}

Time::operator builtin_interfaces::msg::Time() const
{
  builtin_interfaces::msg::Time msg;
  const auto result = std::lldiv(nanoseconds_, kNanosecondsPerSecond);
  if (result.rem >= 0) {
    msg.sec = static_cast<int32_t>(result.quot);
    msg.nanosec = static_cast<uint32_t>(result.rem);
  } else {
    msg.sec = static_cast<int32_t>(result.quot - 1);
    msg.nanosec = static_cast<uint32_t>(kNanosecondsPerSecond + result.rem);
  }
  return msg;
}

Time & Time::operator=(const builtin_interfaces::msg::Time & time_msg)
{
  *this = Time(time_msg);
  return *this;
}

namespace {

void require_same_clock(rcl_clock_type_t a, rcl_clock_type_t b)
{
  if (a != b) {
    throw std::runtime_error("can't compare times with different time sources");
  }
}

}  // namespace

bool Time::operator==(const Time & rhs) const
{
  require_same_clock(clock_type_, rhs.clock_type_);
  return nanoseconds_ == rhs.nanoseconds_;
}

bool Time::operator!=(const Time & rhs) const { return !(*this == rhs); }

bool Time::operator<(const Time & rhs) const
{
  require_same_clock(clock_type_, rhs.clock_type_);
  return nanoseconds_ < rhs.nanoseconds_;
}

bool Time::operator<=(const Time & rhs) const
{
  require_same_clock(clock_type_, rhs.clock_type_);
  return nanoseconds_ <= rhs.nanoseconds_;
}

bool Time::operator>=(const Time & rhs) const
{
  require_same_clock(clock_type_, rhs.clock_type_);
  return nanoseconds_ >= rhs.nanoseconds_;
}

bool Time::operator>(const Time & rhs) const
{
  require_same_clock(clock_type_, rhs.clock_type_);
  return nanoseconds_ > rhs.nanoseconds_;
}

Time Time::operator+(const Duration & rhs) const
{
  return Time(checked_add(nanoseconds_, rhs.nanoseconds()), clock_type_);
}

Duration Time::operator-(const Time & rhs) const
{
  if (clock_type_ != rhs.clock_type_) {
    throw std::runtime_error(
        "can't subtract times with different time sources [" + std::to_string(clock_type_) +
        " != " + std::to_string(rhs.clock_type_) + "]");
  }
  return Duration::from_nanoseconds(checked_sub(nanoseconds_, rhs.nanoseconds_));
}

Time Time::operator-(const Duration & rhs) const
{
  return Time(checked_sub(nanoseconds_, rhs.nanoseconds()), clock_type_);
}

Time & Time::operator+=(const Duration & rhs)
{
  *this = *this + rhs;
  return *this;
}

Time & Time::operator-=(const Duration & rhs)
{
  *this = *this - rhs;
  return *this;
}

rcl_time_point_value_t Time::nanoseconds() const { return nanoseconds_; }

Time Time::max() { return Time(std::numeric_limits<int32_t>::max(), 999999999); }

double Time::seconds() const
{
  return std::chrono::duration<double>(std::chrono::nanoseconds(nanoseconds_)).count();
}

rcl_clock_type_t Time::get_clock_type() const { return clock_type_; }

Time operator+(const Duration & lhs, const Time & rhs) { return rhs + lhs; }

// ---- Clock ----

Clock::Clock(rcl_clock_type_t clock_type) : clock_type_(clock_type) {}

Clock::~Clock() = default;

Time Clock::now() const
{
  if (clock_type_ == RCL_CLOCK_UNINITIALIZED) {
    client_layer::throw_from_error(
        client_layer::kRetError, "could not get current time stamp",
        CLIENT_LAYER_ERROR_STATE("Clock is not initialized or does not have get_now registered."));
  }
  std::chrono::nanoseconds since_epoch;
  if (clock_type_ == RCL_STEADY_TIME) {
    since_epoch = std::chrono::steady_clock::now().time_since_epoch();
  } else {
    since_epoch = std::chrono::system_clock::now().time_since_epoch();
  }
  return Time(static_cast<int64_t>(since_epoch.count()), clock_type_);
}

rcl_clock_type_t Clock::get_clock_type() const noexcept { return clock_type_; }

}  // namespace rclcpp
