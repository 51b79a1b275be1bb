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

// Process-level entry points: init, shutdown, ok, signal handling.
#ifndef RCLCPP__UTILITIES_HPP_
#define RCLCPP__UTILITIES_HPP_

#include <chrono>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "rclcpp/context.hpp"
#include "rclcpp/init_options.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

/// Which signals rclcpp handles (by shutting the contexts down).
enum class SignalHandlerOptions
{
  /// SIGINT and SIGTERM.
  All,
  /// Only SIGINT.
  SigInt,
  /// Only SIGTERM.
  SigTerm,
  /// None.
  None,
};

/// Initialize the global default context and install the signal handlers.
/**
 * \throws ContextAlreadyInitialized if called twice without shutdown in between.
 * \throws rclcpp exceptions for malformed or unknown ROS arguments.
 */
void init(
    int argc, char const * const * argv, const InitOptions & init_options = InitOptions(),
    SignalHandlerOptions signal_handler_options = SignalHandlerOptions::All);

/// Install the handlers; returns false if they were installed already.
bool install_signal_handlers(
    SignalHandlerOptions signal_handler_options = SignalHandlerOptions::All);

/// True if rclcpp's signal handlers are installed.
bool signal_handlers_installed();

/// The options of the installed handlers (None when none is installed).
SignalHandlerOptions get_current_signal_handler_options();

/// Restore the previous handlers; returns false if none were installed.
bool uninstall_signal_handlers();

/// Initialize and return argv without the ROS arguments.
std::vector<std::string> init_and_remove_ros_arguments(
    int argc, char const * const * argv, const InitOptions & init_options = InitOptions());

/// Return argv without the ROS arguments (--ros-args ... [--]).
std::vector<std::string> remove_ros_arguments(int argc, char const * const * argv);

/// True while the context (default: the global one) is valid.
bool ok(rclcpp::Context::SharedPtr context = nullptr);

/// Shut the context (default: the global one) down.
/**
 * Shutting the global default context down also uninstalls the signal handlers.
 * \return false if the context was not valid.
 */
bool shutdown(
    rclcpp::Context::SharedPtr context = nullptr,
    const std::string & reason = "user called rclcpp::shutdown()");

/// Register a function called when the context shuts down.
void on_shutdown(std::function<void()> callback, rclcpp::Context::SharedPtr context = nullptr);

/// Sleep for the given time unless the context shuts down first.
/** \return true if the whole time elapsed, false if shutdown interrupted it. */
bool sleep_for(
    const std::chrono::nanoseconds & nanoseconds, rclcpp::Context::SharedPtr context = nullptr);

/// Whether x + y would pass the type's maximum; computed without overflowing.
template <typename T>
bool add_will_overflow(const T x, const T y)
{
  return (y > 0) && (x > (std::numeric_limits<T>::max() - y));
}

/// Whether x + y would pass the type's minimum; computed without overflowing.
template <typename T>
bool add_will_underflow(const T x, const T y)
{
  return (y < 0) && (x < (std::numeric_limits<T>::min() - y));
}

/// Whether x - y would pass the type's maximum; computed without overflowing.
template <typename T>
bool sub_will_overflow(const T x, const T y)
{
  return (y < 0) && (x > (std::numeric_limits<T>::max() + y));
}

/// Whether x - y would pass the type's minimum; computed without overflowing.
template <typename T>
bool sub_will_underflow(const T x, const T y)
{
  return (y > 0) && (x < (std::numeric_limits<T>::min() + y));
}

/// Return the given string.
const char * get_c_string(const char * string_in);

/// Return the C string of the given std::string.
const char * get_c_string(const std::string & string_in);

}  // namespace rclcpp

#endif  // RCLCPP__UTILITIES_HPP_
