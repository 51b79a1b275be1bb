#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <thread>

#include "rclcpp/clock.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/time.hpp"
#include "rclcpp/utilities.hpp"

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
  return from_nanoseconds(checked_add(nanoseconds_, rhs.nanoseconds_));
}

Duration & Duration::operator+=(const Duration & rhs)
{
  *this = *this + rhs;
  return *this;
}

Duration Duration::operator-(const Duration & rhs) const
{
  return from_nanoseconds(checked_sub(nanoseconds_, rhs.nanoseconds_));
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
  const long double scaled = static_cast<long double>(nanoseconds_) * scale;
  if (scaled > static_cast<long double>(std::numeric_limits<int64_t>::max())) {
    throw std::overflow_error("addition leads to int64_t overflow");
  }
  if (scaled < static_cast<long double>(std::numeric_limits<int64_t>::min())) {
    throw std::underflow_error("addition leads to int64_t underflow");
  }
  return from_nanoseconds(static_cast<int64_t>(scaled));
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

Duration Duration::from_seconds(double seconds)
{
  return from_nanoseconds(static_cast<int64_t>(std::llround(seconds * 1e9)));
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
    throw std::runtime_error("can't subtract times with different time sources");
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

Clock::Clock(rcl_clock_type_t clock_type) : clock_type_(clock_type)
{
  if (clock_type == RCL_CLOCK_UNINITIALIZED) {
    throw std::runtime_error("could not get current time stamp: clock is not initialized");
  }
}

Clock::~Clock() = default;

Time Clock::now() const
{
  std::chrono::nanoseconds since_epoch;
  if (clock_type_ == RCL_STEADY_TIME) {
    since_epoch = std::chrono::steady_clock::now().time_since_epoch();
  } else {
    since_epoch = std::chrono::system_clock::now().time_since_epoch();
  }
  return Time(static_cast<int64_t>(since_epoch.count()), clock_type_);
}

bool Clock::sleep_until(Time until, Context::SharedPtr context)
{
  if (!context || !context->is_valid()) {
    throw std::runtime_error("context cannot be slept with because it's invalid");
  }
  if (until.get_clock_type() != clock_type_) {
    throw std::runtime_error("until's clock type does not match this clock's type");
  }
  while (context->is_valid()) {
    const Duration left = until - now();
    if (left.nanoseconds() <= 0) {
      return true;
    }
    context->sleep_for(std::chrono::nanoseconds(left.nanoseconds()));
  }
  return false;
}

bool Clock::sleep_for(Duration rel_time, Context::SharedPtr context)
{
  return sleep_until(now() + rel_time, std::move(context));
}

bool Clock::ros_time_is_active() { return false; }

rcl_clock_type_t Clock::get_clock_type() const noexcept { return clock_type_; }

std::mutex & Clock::get_clock_mutex() noexcept { return clock_mutex_; }

}  // namespace rclcpp
