// Clocks: system, steady, and ROS time (system time; simulated time is not supported).
#ifndef RCLCPP__CLOCK_HPP_
#define RCLCPP__CLOCK_HPP_

#include <mutex>

#include "rcl/time.h"
#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/time.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

class Clock
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Clock)

  explicit Clock(rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);
  ~Clock();

  /// The current time of this clock.
  Time now() const;

  /// Sleep until the time is reached or the context shuts down.
  /** \return true when the time was reached. */
  bool sleep_until(Time until, Context::SharedPtr context = contexts::get_global_default_context());

  bool sleep_for(
      Duration rel_time, Context::SharedPtr context = contexts::get_global_default_context());

  /// Always false: simulated time is not supported.
  bool ros_time_is_active();

  rcl_clock_type_t get_clock_type() const noexcept;

  std::mutex & get_clock_mutex() noexcept;

private:
  const rcl_clock_type_t clock_type_;
  std::mutex clock_mutex_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CLOCK_HPP_
