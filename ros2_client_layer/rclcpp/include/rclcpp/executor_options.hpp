// Options for executors.
#ifndef RCLCPP__EXECUTOR_OPTIONS_HPP_
#define RCLCPP__EXECUTOR_OPTIONS_HPP_

#include <cstddef>

#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

struct ExecutorOptions
{
  ExecutorOptions() : context(rclcpp::contexts::get_global_default_context()), max_conditions(0) {}

  /// The context whose shutdown stops the executor.
  rclcpp::Context::SharedPtr context;
  /// Accepted for compatibility; the executor has no fixed capacity.
  size_t max_conditions;
};

}  // namespace rclcpp

#endif  // RCLCPP__EXECUTOR_OPTIONS_HPP_
