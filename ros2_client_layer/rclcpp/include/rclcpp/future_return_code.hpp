// Result of spinning until a future completes.
#ifndef RCLCPP__FUTURE_RETURN_CODE_HPP_
#define RCLCPP__FUTURE_RETURN_CODE_HPP_

#include <iostream>
#include <string>

#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

/// SUCCESS: the future is complete; INTERRUPTED: spinning stopped
/// (shutdown or cancel); TIMEOUT: the time ran out first.
enum class FutureReturnCode
{
  SUCCESS,
  INTERRUPTED,
  TIMEOUT
};

std::ostream & operator<<(std::ostream & os, const FutureReturnCode & future_return_code);

std::string to_string(const FutureReturnCode & future_return_code);

}  // namespace rclcpp

#endif  // RCLCPP__FUTURE_RETURN_CODE_HPP_
