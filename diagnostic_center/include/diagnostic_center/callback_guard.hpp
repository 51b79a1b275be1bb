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
