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

// rclcpp::Logger: a named handle on the console logging backend.
#ifndef RCLCPP__LOGGER_HPP_
#define RCLCPP__LOGGER_HPP_

#include <memory>
#include <string>

#include "client_layer/logging.hpp"

namespace rclcpp {

class Logger;

/// Return a named logger. The name may be hierarchical ("parent.child").
Logger get_logger(const std::string & name);

class Logger
{
public:
  /// Severity levels, numerically equal to the rcutils severities.
  enum class Level
  {
    Unset = client_layer::logging::kUnset,
    Debug = client_layer::logging::kDebug,
    Info = client_layer::logging::kInfo,
    Warn = client_layer::logging::kWarn,
    Error = client_layer::logging::kError,
    Fatal = client_layer::logging::kFatal,
  };

  Logger(const Logger &) = default;
  Logger & operator=(const Logger &) = default;

  /// The logger's name, or nullptr for a dummy logger.
  const char * get_name() const { return state_ ? state_->name.c_str() : nullptr; }

  /// The logger "<name>.<suffix>"; a dummy logger's children are dummy loggers.
  Logger get_child(const std::string & suffix) const;

  /// Set this logger's own level. Throws rclcpp::exceptions::RCLInvalidArgument
  /// ("Invalid parameter: ...") for a value that is not a severity.
  void set_level(Level level);

  /// The level in force: this logger's, its nearest ancestor's, or the default.
  Level get_effective_level() const;

  /// Backend state shared by copies of this logger (used by the RCLCPP_* macros).
  const client_layer::logging::detail::LoggerState * backend_state() const { return state_.get(); }

private:
  friend Logger rclcpp::get_logger(const std::string & name);

  /// A dummy logger: no name; it logs under the default level.
  Logger() = default;
  explicit Logger(const std::string & name)
      : state_(std::make_shared<client_layer::logging::detail::LoggerState>(name))
  {
  }

  std::shared_ptr<const client_layer::logging::detail::LoggerState> state_;
};

}  // namespace rclcpp

namespace client_layer {
namespace logging {
/// Fast level check for a logger (what the RCLCPP_* macros call).
inline bool logger_is_enabled_for(const rclcpp::Logger & logger, int severity)
{
  return detail::state_is_enabled_for(logger.backend_state(), severity);
}
}  // namespace logging
}  // namespace client_layer

#endif  // RCLCPP__LOGGER_HPP_
