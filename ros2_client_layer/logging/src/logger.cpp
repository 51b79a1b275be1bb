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

#include "rclcpp/logger.hpp"

#include <stdexcept>
#include <string>

#include "client_layer/error_state.hpp"
#include "rclcpp/exceptions/exceptions.hpp"

namespace rclcpp {

Logger get_logger(const std::string & name) { return Logger(name); }

Logger Logger::get_child(const std::string & suffix) const
{
  if (!state_) {
    return Logger();
  }
  return Logger(state_->name + "." + suffix);
}

void Logger::set_level(Level level)
{
  try {
    client_layer::logging::set_logger_level(get_name() ? get_name() : "", static_cast<int>(level));
  } catch (const std::invalid_argument & error) {
    client_layer::throw_from_error(
        client_layer::kRetInvalidArgument, "Invalid parameter",
        CLIENT_LAYER_ERROR_STATE(error.what()));
  }
}

Logger::Level Logger::get_effective_level() const
{
  if (!state_) {
    return static_cast<Level>(client_layer::logging::get_default_level());
  }
  return static_cast<Level>(client_layer::logging::get_effective_level(state_->name));
}

}  // namespace rclcpp
