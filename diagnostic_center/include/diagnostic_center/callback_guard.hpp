// Error boundary for executor callbacks: an exception leaving a callback would
// end the executor's spin and with it the whole node, so each callback catches
// at its edge, logs what went wrong and lets the node carry on.
#ifndef DIAGNOSTIC_CENTER__CALLBACK_GUARD_HPP_
#define DIAGNOSTIC_CENTER__CALLBACK_GUARD_HPP_

#include <exception>

#include "rclcpp/logger.hpp"
#include "rclcpp/logging.hpp"

namespace diagnostic_center {

// Runs `body`; an exception leaving it is logged at ERROR with `callback_name`
// and the error text. Returns false when that happened.
template <typename Body>
bool RunGuarded(const rclcpp::Logger & logger, const char * callback_name, Body && body)
{
  try {
    body();
    return true;
  } catch (const std::exception & error) {
    RCLCPP_ERROR(logger, "%s failed: %s", callback_name, error.what());
  } catch (...) {
    RCLCPP_ERROR(logger, "%s failed: unknown error", callback_name);
  }
  return false;
}

}  // namespace diagnostic_center

#endif  // DIAGNOSTIC_CENTER__CALLBACK_GUARD_HPP_
