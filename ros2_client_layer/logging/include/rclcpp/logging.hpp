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

// RCLCPP_DEBUG/INFO/WARN/ERROR/FATAL and their _ONCE, _EXPRESSION, _FUNCTION,
// _SKIPFIRST, _THROTTLE, _SKIPFIRST_THROTTLE and _STREAM forms.
//
// printf-style forms take (logger, format, ...). When the logger is not
// enabled for the severity, the cost is one cached level check: the format
// arguments, the _EXPRESSION condition, the _FUNCTION predicate, the clock of
// the _THROTTLE forms and the stream expression are not evaluated.
// _THROTTLE forms take (logger, clock, duration_ms, ...) where clock.now()
// returns something with nanoseconds() (an rclcpp::Clock).
#ifndef RCLCPP__LOGGING_HPP_
#define RCLCPP__LOGGING_HPP_

#include <atomic>
#include <cstdint>
#include <sstream>
#include <type_traits>

#include "client_layer/logging.hpp"
#include "rclcpp/logger.hpp"

#define CLIENT_LAYER_LOG_CHECK_LOGGER_TYPE_(logger)                                      \
  static_assert(                                                                         \
      ::std::is_same<                                                                    \
          typename std::remove_cv_t<typename std::remove_reference_t<decltype(logger)>>, \
          typename ::rclcpp::Logger>::value,                                             \
      "First argument to logging macros must be an rclcpp::Logger")

// Core: check the level, then the optional condition, then format and write.
#define CLIENT_LAYER_LOG_COND_(severity, condition, logger, ...)                              \
  do {                                                                                        \
    CLIENT_LAYER_LOG_CHECK_LOGGER_TYPE_(logger);                                              \
    const ::rclcpp::Logger & client_layer_logger_ = (logger);                                 \
    if (::client_layer::logging::logger_is_enabled_for(client_layer_logger_, severity)) {     \
      static const ::client_layer::logging::LogLocation client_layer_location_ = {            \
          __func__, __FILE__, static_cast<size_t>(__LINE__)};                                 \
      if (condition) {                                                                        \
        ::client_layer::logging::detail::write(                                               \
            &client_layer_location_, severity, client_layer_logger_.get_name(), __VA_ARGS__); \
      }                                                                                       \
    }                                                                                         \
  } while (0)

#define CLIENT_LAYER_LOG_STREAM_COND_(severity, condition, logger, stream_arg)            \
  do {                                                                                    \
    CLIENT_LAYER_LOG_CHECK_LOGGER_TYPE_(logger);                                          \
    const ::rclcpp::Logger & client_layer_logger_ = (logger);                             \
    if (::client_layer::logging::logger_is_enabled_for(client_layer_logger_, severity)) { \
      static const ::client_layer::logging::LogLocation client_layer_location_ = {        \
          __func__, __FILE__, static_cast<size_t>(__LINE__)};                             \
      if (condition) {                                                                    \
        std::stringstream rclcpp_stream_ss_;                                              \
        /* A chain of insertions, "a" << b: parentheses would change it. */               \
        rclcpp_stream_ss_ << stream_arg; /* NOLINT(bugprone-macro-parentheses) */         \
        ::client_layer::logging::detail::write(                                           \
            &client_layer_location_, severity, client_layer_logger_.get_name(), "%s",     \
            rclcpp_stream_ss_.str().c_str());                                             \
      }                                                                                   \
    }                                                                                     \
  } while (0)

// Conditions; each is evaluated only once the level check has passed.
#define CLIENT_LAYER_LOG_ALWAYS_ true
#define CLIENT_LAYER_LOG_ONCE_                              \
  ([]() {                                                   \
    static ::std::atomic<bool> client_layer_logged_{false}; \
    return !client_layer_logged_.exchange(true);            \
  }())
#define CLIENT_LAYER_LOG_SKIPFIRST_                       \
  ([]() {                                                 \
    static ::std::atomic<bool> client_layer_first_{true}; \
    return !client_layer_first_.exchange(false);          \
  }())
#define CLIENT_LAYER_LOG_THROTTLE_(clock, duration)                                         \
  ([&client_layer_clock_ = (clock)](int64_t client_layer_duration_ns_) {                    \
    static ::std::atomic<int64_t> client_layer_last_logged_{0};                             \
    const int64_t client_layer_now_ = client_layer_clock_.now().nanoseconds();              \
    if (client_layer_now_ < client_layer_last_logged_.load() + client_layer_duration_ns_) { \
      return false;                                                                         \
    }                                                                                       \
    client_layer_last_logged_.store(client_layer_now_);                                     \
    return true;                                                                            \
  }(static_cast<int64_t>(duration) * 1000000))
#define CLIENT_LAYER_LOG_SKIPFIRST_THROTTLE_(clock, duration)                               \
  ([&client_layer_clock_ = (clock)](int64_t client_layer_duration_ns_) {                    \
    static ::std::atomic<int64_t> client_layer_last_logged_{0};                             \
    static ::std::atomic<bool> client_layer_first_{true};                                   \
    const int64_t client_layer_now_ = client_layer_clock_.now().nanoseconds();              \
    if (client_layer_now_ < client_layer_last_logged_.load() + client_layer_duration_ns_) { \
      return false;                                                                         \
    }                                                                                       \
    client_layer_last_logged_.store(client_layer_now_);                                     \
    return !client_layer_first_.exchange(false);                                            \
  }(static_cast<int64_t>(duration) * 1000000))

// One set of macros per severity.
#define CLIENT_LAYER_SEVERITY_DEBUG_ ::client_layer::logging::kDebug
#define CLIENT_LAYER_SEVERITY_INFO_ ::client_layer::logging::kInfo
#define CLIENT_LAYER_SEVERITY_WARN_ ::client_layer::logging::kWarn
#define CLIENT_LAYER_SEVERITY_ERROR_ ::client_layer::logging::kError
#define CLIENT_LAYER_SEVERITY_FATAL_ ::client_layer::logging::kFatal

#define RCLCPP_DEBUG(logger, ...) \
  CLIENT_LAYER_LOG_COND_(         \
      CLIENT_LAYER_SEVERITY_DEBUG_, CLIENT_LAYER_LOG_ALWAYS_, logger, __VA_ARGS__)
#define RCLCPP_INFO(logger, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_INFO_, CLIENT_LAYER_LOG_ALWAYS_, logger, __VA_ARGS__)
#define RCLCPP_WARN(logger, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_WARN_, CLIENT_LAYER_LOG_ALWAYS_, logger, __VA_ARGS__)
#define RCLCPP_ERROR(logger, ...) \
  CLIENT_LAYER_LOG_COND_(         \
      CLIENT_LAYER_SEVERITY_ERROR_, CLIENT_LAYER_LOG_ALWAYS_, logger, __VA_ARGS__)
#define RCLCPP_FATAL(logger, ...) \
  CLIENT_LAYER_LOG_COND_(         \
      CLIENT_LAYER_SEVERITY_FATAL_, CLIENT_LAYER_LOG_ALWAYS_, logger, __VA_ARGS__)

#define RCLCPP_DEBUG_ONCE(logger, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_DEBUG_, CLIENT_LAYER_LOG_ONCE_, logger, __VA_ARGS__)
#define RCLCPP_INFO_ONCE(logger, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_INFO_, CLIENT_LAYER_LOG_ONCE_, logger, __VA_ARGS__)
#define RCLCPP_WARN_ONCE(logger, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_WARN_, CLIENT_LAYER_LOG_ONCE_, logger, __VA_ARGS__)
#define RCLCPP_ERROR_ONCE(logger, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_ERROR_, CLIENT_LAYER_LOG_ONCE_, logger, __VA_ARGS__)
#define RCLCPP_FATAL_ONCE(logger, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_FATAL_, CLIENT_LAYER_LOG_ONCE_, logger, __VA_ARGS__)

#define RCLCPP_DEBUG_EXPRESSION(logger, expression, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_DEBUG_, (expression), logger, __VA_ARGS__)
#define RCLCPP_INFO_EXPRESSION(logger, expression, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_INFO_, (expression), logger, __VA_ARGS__)
#define RCLCPP_WARN_EXPRESSION(logger, expression, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_WARN_, (expression), logger, __VA_ARGS__)
#define RCLCPP_ERROR_EXPRESSION(logger, expression, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_ERROR_, (expression), logger, __VA_ARGS__)
#define RCLCPP_FATAL_EXPRESSION(logger, expression, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_FATAL_, (expression), logger, __VA_ARGS__)

#define RCLCPP_DEBUG_FUNCTION(logger, function, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_DEBUG_, (*(function))(), logger, __VA_ARGS__)
#define RCLCPP_INFO_FUNCTION(logger, function, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_INFO_, (*(function))(), logger, __VA_ARGS__)
#define RCLCPP_WARN_FUNCTION(logger, function, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_WARN_, (*(function))(), logger, __VA_ARGS__)
#define RCLCPP_ERROR_FUNCTION(logger, function, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_ERROR_, (*(function))(), logger, __VA_ARGS__)
#define RCLCPP_FATAL_FUNCTION(logger, function, ...) \
  CLIENT_LAYER_LOG_COND_(CLIENT_LAYER_SEVERITY_FATAL_, (*(function))(), logger, __VA_ARGS__)

#define RCLCPP_DEBUG_SKIPFIRST(logger, ...) \
  CLIENT_LAYER_LOG_COND_(                   \
      CLIENT_LAYER_SEVERITY_DEBUG_, CLIENT_LAYER_LOG_SKIPFIRST_, logger, __VA_ARGS__)
#define RCLCPP_INFO_SKIPFIRST(logger, ...) \
  CLIENT_LAYER_LOG_COND_(                  \
      CLIENT_LAYER_SEVERITY_INFO_, CLIENT_LAYER_LOG_SKIPFIRST_, logger, __VA_ARGS__)
#define RCLCPP_WARN_SKIPFIRST(logger, ...) \
  CLIENT_LAYER_LOG_COND_(                  \
      CLIENT_LAYER_SEVERITY_WARN_, CLIENT_LAYER_LOG_SKIPFIRST_, logger, __VA_ARGS__)
#define RCLCPP_ERROR_SKIPFIRST(logger, ...) \
  CLIENT_LAYER_LOG_COND_(                   \
      CLIENT_LAYER_SEVERITY_ERROR_, CLIENT_LAYER_LOG_SKIPFIRST_, logger, __VA_ARGS__)
#define RCLCPP_FATAL_SKIPFIRST(logger, ...) \
  CLIENT_LAYER_LOG_COND_(                   \
      CLIENT_LAYER_SEVERITY_FATAL_, CLIENT_LAYER_LOG_SKIPFIRST_, logger, __VA_ARGS__)

#define RCLCPP_DEBUG_THROTTLE(logger, clock, duration, ...)                              \
  CLIENT_LAYER_LOG_COND_(                                                                \
      CLIENT_LAYER_SEVERITY_DEBUG_, CLIENT_LAYER_LOG_THROTTLE_(clock, duration), logger, \
      __VA_ARGS__)
#define RCLCPP_INFO_THROTTLE(logger, clock, duration, ...)                              \
  CLIENT_LAYER_LOG_COND_(                                                               \
      CLIENT_LAYER_SEVERITY_INFO_, CLIENT_LAYER_LOG_THROTTLE_(clock, duration), logger, \
      __VA_ARGS__)
#define RCLCPP_WARN_THROTTLE(logger, clock, duration, ...)                              \
  CLIENT_LAYER_LOG_COND_(                                                               \
      CLIENT_LAYER_SEVERITY_WARN_, CLIENT_LAYER_LOG_THROTTLE_(clock, duration), logger, \
      __VA_ARGS__)
#define RCLCPP_ERROR_THROTTLE(logger, clock, duration, ...)                              \
  CLIENT_LAYER_LOG_COND_(                                                                \
      CLIENT_LAYER_SEVERITY_ERROR_, CLIENT_LAYER_LOG_THROTTLE_(clock, duration), logger, \
      __VA_ARGS__)
#define RCLCPP_FATAL_THROTTLE(logger, clock, duration, ...)                              \
  CLIENT_LAYER_LOG_COND_(                                                                \
      CLIENT_LAYER_SEVERITY_FATAL_, CLIENT_LAYER_LOG_THROTTLE_(clock, duration), logger, \
      __VA_ARGS__)

#define RCLCPP_DEBUG_SKIPFIRST_THROTTLE(logger, clock, duration, ...)                              \
  CLIENT_LAYER_LOG_COND_(                                                                          \
      CLIENT_LAYER_SEVERITY_DEBUG_, CLIENT_LAYER_LOG_SKIPFIRST_THROTTLE_(clock, duration), logger, \
      __VA_ARGS__)
#define RCLCPP_INFO_SKIPFIRST_THROTTLE(logger, clock, duration, ...)                              \
  CLIENT_LAYER_LOG_COND_(                                                                         \
      CLIENT_LAYER_SEVERITY_INFO_, CLIENT_LAYER_LOG_SKIPFIRST_THROTTLE_(clock, duration), logger, \
      __VA_ARGS__)
#define RCLCPP_WARN_SKIPFIRST_THROTTLE(logger, clock, duration, ...)                              \
  CLIENT_LAYER_LOG_COND_(                                                                         \
      CLIENT_LAYER_SEVERITY_WARN_, CLIENT_LAYER_LOG_SKIPFIRST_THROTTLE_(clock, duration), logger, \
      __VA_ARGS__)
#define RCLCPP_ERROR_SKIPFIRST_THROTTLE(logger, clock, duration, ...)                              \
  CLIENT_LAYER_LOG_COND_(                                                                          \
      CLIENT_LAYER_SEVERITY_ERROR_, CLIENT_LAYER_LOG_SKIPFIRST_THROTTLE_(clock, duration), logger, \
      __VA_ARGS__)
#define RCLCPP_FATAL_SKIPFIRST_THROTTLE(logger, clock, duration, ...)                              \
  CLIENT_LAYER_LOG_COND_(                                                                          \
      CLIENT_LAYER_SEVERITY_FATAL_, CLIENT_LAYER_LOG_SKIPFIRST_THROTTLE_(clock, duration), logger, \
      __VA_ARGS__)

// Stream forms: (logger, a << b << c).
#define RCLCPP_DEBUG_STREAM(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                \
      CLIENT_LAYER_SEVERITY_DEBUG_, CLIENT_LAYER_LOG_ALWAYS_, logger, stream_arg)
#define RCLCPP_INFO_STREAM(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(               \
      CLIENT_LAYER_SEVERITY_INFO_, CLIENT_LAYER_LOG_ALWAYS_, logger, stream_arg)
#define RCLCPP_WARN_STREAM(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(               \
      CLIENT_LAYER_SEVERITY_WARN_, CLIENT_LAYER_LOG_ALWAYS_, logger, stream_arg)
#define RCLCPP_ERROR_STREAM(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                \
      CLIENT_LAYER_SEVERITY_ERROR_, CLIENT_LAYER_LOG_ALWAYS_, logger, stream_arg)
#define RCLCPP_FATAL_STREAM(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                \
      CLIENT_LAYER_SEVERITY_FATAL_, CLIENT_LAYER_LOG_ALWAYS_, logger, stream_arg)

#define RCLCPP_DEBUG_STREAM_ONCE(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                     \
      CLIENT_LAYER_SEVERITY_DEBUG_, CLIENT_LAYER_LOG_ONCE_, logger, stream_arg)
#define RCLCPP_INFO_STREAM_ONCE(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                    \
      CLIENT_LAYER_SEVERITY_INFO_, CLIENT_LAYER_LOG_ONCE_, logger, stream_arg)
#define RCLCPP_WARN_STREAM_ONCE(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                    \
      CLIENT_LAYER_SEVERITY_WARN_, CLIENT_LAYER_LOG_ONCE_, logger, stream_arg)
#define RCLCPP_ERROR_STREAM_ONCE(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                     \
      CLIENT_LAYER_SEVERITY_ERROR_, CLIENT_LAYER_LOG_ONCE_, logger, stream_arg)
#define RCLCPP_FATAL_STREAM_ONCE(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                     \
      CLIENT_LAYER_SEVERITY_FATAL_, CLIENT_LAYER_LOG_ONCE_, logger, stream_arg)

#define RCLCPP_DEBUG_STREAM_EXPRESSION(logger, expression, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(CLIENT_LAYER_SEVERITY_DEBUG_, (expression), logger, stream_arg)
#define RCLCPP_INFO_STREAM_EXPRESSION(logger, expression, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(CLIENT_LAYER_SEVERITY_INFO_, (expression), logger, stream_arg)
#define RCLCPP_WARN_STREAM_EXPRESSION(logger, expression, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(CLIENT_LAYER_SEVERITY_WARN_, (expression), logger, stream_arg)
#define RCLCPP_ERROR_STREAM_EXPRESSION(logger, expression, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(CLIENT_LAYER_SEVERITY_ERROR_, (expression), logger, stream_arg)
#define RCLCPP_FATAL_STREAM_EXPRESSION(logger, expression, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(CLIENT_LAYER_SEVERITY_FATAL_, (expression), logger, stream_arg)

#define RCLCPP_DEBUG_STREAM_SKIPFIRST(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                          \
      CLIENT_LAYER_SEVERITY_DEBUG_, CLIENT_LAYER_LOG_SKIPFIRST_, logger, stream_arg)
#define RCLCPP_INFO_STREAM_SKIPFIRST(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                         \
      CLIENT_LAYER_SEVERITY_INFO_, CLIENT_LAYER_LOG_SKIPFIRST_, logger, stream_arg)
#define RCLCPP_WARN_STREAM_SKIPFIRST(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                         \
      CLIENT_LAYER_SEVERITY_WARN_, CLIENT_LAYER_LOG_SKIPFIRST_, logger, stream_arg)
#define RCLCPP_ERROR_STREAM_SKIPFIRST(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                          \
      CLIENT_LAYER_SEVERITY_ERROR_, CLIENT_LAYER_LOG_SKIPFIRST_, logger, stream_arg)
#define RCLCPP_FATAL_STREAM_SKIPFIRST(logger, stream_arg) \
  CLIENT_LAYER_LOG_STREAM_COND_(                          \
      CLIENT_LAYER_SEVERITY_FATAL_, CLIENT_LAYER_LOG_SKIPFIRST_, logger, stream_arg)

#define RCLCPP_DEBUG_STREAM_THROTTLE(logger, clock, duration, stream_arg)                \
  CLIENT_LAYER_LOG_STREAM_COND_(                                                         \
      CLIENT_LAYER_SEVERITY_DEBUG_, CLIENT_LAYER_LOG_THROTTLE_(clock, duration), logger, \
      stream_arg)
#define RCLCPP_INFO_STREAM_THROTTLE(logger, clock, duration, stream_arg)                \
  CLIENT_LAYER_LOG_STREAM_COND_(                                                        \
      CLIENT_LAYER_SEVERITY_INFO_, CLIENT_LAYER_LOG_THROTTLE_(clock, duration), logger, \
      stream_arg)
#define RCLCPP_WARN_STREAM_THROTTLE(logger, clock, duration, stream_arg)                \
  CLIENT_LAYER_LOG_STREAM_COND_(                                                        \
      CLIENT_LAYER_SEVERITY_WARN_, CLIENT_LAYER_LOG_THROTTLE_(clock, duration), logger, \
      stream_arg)
#define RCLCPP_ERROR_STREAM_THROTTLE(logger, clock, duration, stream_arg)                \
  CLIENT_LAYER_LOG_STREAM_COND_(                                                         \
      CLIENT_LAYER_SEVERITY_ERROR_, CLIENT_LAYER_LOG_THROTTLE_(clock, duration), logger, \
      stream_arg)
#define RCLCPP_FATAL_STREAM_THROTTLE(logger, clock, duration, stream_arg)                \
  CLIENT_LAYER_LOG_STREAM_COND_(                                                         \
      CLIENT_LAYER_SEVERITY_FATAL_, CLIENT_LAYER_LOG_THROTTLE_(clock, duration), logger, \
      stream_arg)

#endif  // RCLCPP__LOGGING_HPP_
