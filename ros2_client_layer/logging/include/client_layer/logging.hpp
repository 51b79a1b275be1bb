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

// Console logging backend with the semantics of rcutils' console logging:
// hierarchical dotted logger names with per-logger levels, a default level,
// and one output line per message formatted by RCUTILS_CONSOLE_OUTPUT_FORMAT.
//
// Environment (read once, on first use, as rcutils does):
//   RCUTILS_CONSOLE_OUTPUT_FORMAT  tokens {severity} {name} {message} {function_name}
//                                  {file_name} {line_number} {time} {time_as_nanoseconds};
//                                  default "[{severity}] [{time}] [{name}]: {message}".
//   RCUTILS_LOGGING_USE_STDOUT     0 or empty: stderr, 1: stdout.
//   RCUTILS_LOGGING_BUFFERED_STREAM  empty: stream default, 0: unbuffered, 1: line buffered.
//   RCUTILS_COLORIZED_OUTPUT       empty: colour when the stream is a terminal, 0: never, 1: always.
//
// rclcpp's init calls set_default_level() / set_logger_level() for the
// `--log-level` command-line rules. Everything here is thread-safe; a line is
// written to the stream with a single call, so lines from different threads
// never interleave.
#ifndef CLIENT_LAYER__LOGGING_HPP_
#define CLIENT_LAYER__LOGGING_HPP_

#include <atomic>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace client_layer {
namespace logging {

/// Severity values, numerically equal to RCUTILS_LOG_SEVERITY_*.
enum Severity : int
{
  kUnset = 0,
  kDebug = 10,
  kInfo = 20,
  kWarn = 30,
  kError = 40,
  kFatal = 50,
};

/// Where a log call was written; the macros keep one static instance per call site.
struct LogLocation
{
  const char * function_name;
  const char * file_name;
  size_t line_number;
};

/// "DEBUG", "INFO", ... for a valid severity, "UNSET" for kUnset, nullptr otherwise.
const char * severity_name(int severity);

/// Case-insensitive parse of "unset", "debug", "info", "warn", "error", "fatal".
std::optional<int> severity_from_string(std::string_view text);

/// Sets the level used by loggers without an explicit level on themselves or
/// an ancestor. kUnset restores the built-in default (INFO).
void set_default_level(int severity);
int get_default_level();

/// Sets the level of one logger ("a.b" is a child of "a"); an empty name sets
/// the default level. Throws std::invalid_argument for a value that is not a severity.
void set_logger_level(const std::string & name, int severity);

/// The level set on exactly this logger, or kUnset.
int get_logger_level(const std::string & name);

/// The level in force for a logger: its own, else its nearest ancestor's, else the default.
int get_effective_level(const std::string & name);

/// Turns console output on or off (rcl's --enable-/--disable-stdout-logs); on by default.
void set_console_output_enabled(bool enabled);

/// Whether nodes publish their loggers' messages on /rosout (rcl's
/// --enable-/--disable-rosout-logs); on by default. Read when a node is created.
void set_rosout_enabled(bool enabled);
bool rosout_enabled();

/// A message that passed its logger's level check, as the additional output receives it.
struct LogRecord
{
  const LogLocation * location;  ///< null for the layer's own messages
  int severity;
  const char * name;     ///< null for an unnamed logger
  int64_t timestamp_ns;  ///< system time, the console line's {time}
  std::string_view message;
};

/// Receives each message after the console output. It runs on the logging
/// thread with no lock of this backend held, and must not throw.
using OutputHandler = void (*)(const LogRecord & record);

/// Installs the additional output (rcl's /rosout handler); nullptr removes it.
void set_additional_output(OutputHandler handler);

/// True when a message of `severity` from logger `name` is printed (nullptr: default level).
bool is_enabled_for(const char * name, int severity);

/// Formats and writes one message if the logger is enabled for `severity`.
void log(const LogLocation * location, int severity, const char * name, const char * format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;
void vlog(
    const LogLocation * location, int severity, const char * name, const char * format,
    va_list args);

/// Expands an output format exactly as the console output does (without colour).
/// Exposed so the format rules can be tested without a subprocess.
std::string format_output(
    std::string_view output_format, const LogLocation * location, int severity,
    std::string_view name, int64_t timestamp_ns, std::string_view message);

/// The logger name rcl gives a node: "name" in "/", else the namespace without
/// its leading '/' and with '/' replaced by '.', then '.' and the name ("a.b.name").
std::string node_logger_name(const std::string & node_name, const std::string & node_namespace);

namespace detail {
/// Bumped whenever any level changes; loggers cache their effective level per generation.
extern std::atomic<uint64_t> g_levels_generation;

/// Per-logger shared state: the name and a cache of (generation << 8 | effective level).
struct LoggerState
{
  explicit LoggerState(std::string logger_name) : name(std::move(logger_name)) {}
  const std::string name;
  mutable std::atomic<uint64_t> cached_level{0};
};

/// Formats and writes one message without checking the level (the macros
/// have already checked it).
void write(const LogLocation * location, int severity, const char * name, const char * format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;

/// Recomputes a logger's cached effective level; returns the new cache word.
uint64_t refresh_cached_level(const LoggerState & state);

/// The fast check behind the RCLCPP_* macros: two atomic loads when the cache is fresh.
inline bool state_is_enabled_for(const LoggerState * state, int severity)
{
  if (state == nullptr) {
    return is_enabled_for(nullptr, severity);
  }
  uint64_t cached = state->cached_level.load(std::memory_order_acquire);
  if ((cached >> 8) != g_levels_generation.load(std::memory_order_acquire)) {
    cached = refresh_cached_level(*state);
  }
  return severity >= static_cast<int>(cached & 0xffu);
}
}  // namespace detail

}  // namespace logging
}  // namespace client_layer

#endif  // CLIENT_LAYER__LOGGING_HPP_
