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

// Console logging backend: logger levels, environment configuration and output.
#include "client_layer/logging.hpp"

#include <unistd.h>

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <shared_mutex>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace client_layer {
namespace logging {
namespace detail {
std::atomic<uint64_t> g_levels_generation{1};
}  // namespace detail

namespace {

constexpr const char * kDefaultOutputFormat = "[{severity}] [{time}] [{name}]: {message}";
constexpr size_t kMaxOutputFormatLength = 2047;  // rcutils keeps at most 2047 characters

constexpr const char * kColorNormal = "\033[0m";
constexpr const char * kColorRed = "\033[31m";
constexpr const char * kColorGreen = "\033[32m";
constexpr const char * kColorYellow = "\033[33m";

enum class Colorized
{
  kAuto,
  kForceDisable,
  kForceEnable
};

/// Settings read from the environment once.
struct OutputConfig
{
  FILE * stream = stderr;
  Colorized colorized = Colorized::kAuto;
  bool use_color = false;  ///< decided once: a stream does not stop being a terminal
  std::string format = kDefaultOutputFormat;
};

/// Logger levels; guarded by a reader/writer lock because checks vastly outnumber changes.
class LevelRegistry
{
public:
  void set_default(int severity)
  {
    std::unique_lock<std::shared_mutex> lock(mutex_);
    default_level_ = severity;
    detail::g_levels_generation.fetch_add(1, std::memory_order_acq_rel);
  }

  int get_default() const
  {
    std::shared_lock<std::shared_mutex> lock(mutex_);
    return default_level_;
  }

  void set(const std::string & name, int severity)
  {
    std::unique_lock<std::shared_mutex> lock(mutex_);
    if (name.empty()) {
      default_level_ = severity;
    } else {
      levels_[name] = severity;
    }
    detail::g_levels_generation.fetch_add(1, std::memory_order_acq_rel);
  }

  int get(const std::string & name) const
  {
    std::shared_lock<std::shared_mutex> lock(mutex_);
    if (name.empty()) {
      return default_level_;
    }
    auto it = levels_.find(name);
    return it == levels_.end() ? kUnset : it->second;
  }

  /// Effective level and the generation it belongs to, read consistently.
  std::pair<int, uint64_t> effective(std::string_view name) const
  {
    std::shared_lock<std::shared_mutex> lock(mutex_);
    const uint64_t generation = detail::g_levels_generation.load(std::memory_order_acquire);
    return {effective_locked(name), generation};
  }

private:
  int effective_locked(std::string_view name) const
  {
    // Walk "a.b.c", "a.b", "a" until a level is found, as rcutils does.
    while (!name.empty()) {
      auto it = levels_.find(std::string(name));
      if (it != levels_.end() && it->second != kUnset) {
        return it->second;
      }
      const size_t separator = name.rfind('.');
      if (separator == std::string_view::npos) {
        break;
      }
      name = name.substr(0, separator);
    }
    return default_level_;
  }

  mutable std::shared_mutex mutex_;
  int default_level_ = kInfo;
  std::unordered_map<std::string, int> levels_;
};

std::atomic<bool> g_console_output_enabled{true};
std::atomic<bool> g_rosout_enabled{true};
std::atomic<OutputHandler> g_additional_output{nullptr};

LevelRegistry & registry()
{
  static LevelRegistry instance;
  return instance;
}

/// Reads a 0/1 switch the way rcutils does; on a bad value reports it and returns nullopt.
enum class Switch
{
  kEmpty,
  kZero,
  kOne,
  kInvalid
};

Switch read_switch(const char * variable)
{
  const char * value = std::getenv(variable);
  if (value == nullptr || value[0] == '\0') {
    return Switch::kEmpty;
  }
  if (std::strcmp(value, "0") == 0) {
    return Switch::kZero;
  }
  if (std::strcmp(value, "1") == 0) {
    return Switch::kOne;
  }
  return Switch::kInvalid;
}

/// rcutils reports a rejected setting as "[rcutils|file:line] error initializing logging: ..."
/// followed by the rcutils error string ("<message>, at <file>:<line>").
void report_invalid_switch(
    const char * variable, const char * zero_semantic, const char * one_semantic, int line)
{
  std::fprintf(
      stderr,
      "[rcutils|%s:%d] error initializing logging: Warning: unexpected value [%s] specified for "
      "%s. "
      "Valid values are 0 (%s) or 1 (%s)., at %s:%d\n",
      __FILE__, line, std::getenv(variable), variable, zero_semantic, one_semantic, __FILE__, line);
}

OutputConfig read_environment()
{
  OutputConfig config;
  // rcutils stops configuring at the first rejected switch and every later
  // message is then lost; here the rejection is reported once, the rejected
  // switch keeps its default and the other settings still apply.
  switch (read_switch("RCUTILS_LOGGING_USE_STDOUT")) {
    case Switch::kOne:
      config.stream = stdout;
      break;
    case Switch::kInvalid:
      report_invalid_switch("RCUTILS_LOGGING_USE_STDOUT", "use stderr", "use stdout", __LINE__);
      break;
    default:
      break;
  }
  switch (read_switch("RCUTILS_LOGGING_BUFFERED_STREAM")) {
    case Switch::kZero:
      std::setvbuf(config.stream, nullptr, _IONBF, 0);
      break;
    case Switch::kOne:
      std::setvbuf(config.stream, nullptr, _IOLBF, BUFSIZ);
      break;
    case Switch::kInvalid:
      report_invalid_switch(
          "RCUTILS_LOGGING_BUFFERED_STREAM", "not buffered", "buffered", __LINE__);
      break;
    default:
      break;
  }
  switch (read_switch("RCUTILS_COLORIZED_OUTPUT")) {
    case Switch::kZero:
      config.colorized = Colorized::kForceDisable;
      break;
    case Switch::kOne:
      config.colorized = Colorized::kForceEnable;
      break;
    case Switch::kInvalid:
      // The semantics are worded this way round by rcutils itself.
      report_invalid_switch("RCUTILS_COLORIZED_OUTPUT", "force color", "force no color", __LINE__);
      break;
    default:
      break;
  }
  const char * format = std::getenv("RCUTILS_CONSOLE_OUTPUT_FORMAT");
  if (format != nullptr && format[0] != '\0') {
    config.format.assign(format, std::min(std::strlen(format), kMaxOutputFormatLength));
  }
  return config;
}

bool is_colorized(const OutputConfig & config);

const OutputConfig & output_config()
{
  static const OutputConfig config = [] {
    OutputConfig read = read_environment();
    read.use_color = is_colorized(read);
    return read;
  }();
  return config;
}

const char * color_for(int severity)
{
  switch (severity) {
    case kDebug:
      return kColorGreen;
    case kInfo:
      return kColorNormal;
    case kWarn:
      return kColorYellow;
    default:
      return kColorRed;
  }
}

bool is_colorized(const OutputConfig & config)
{
  switch (config.colorized) {
    case Colorized::kForceEnable:
      return true;
    case Colorized::kForceDisable:
      return false;
    default:
      return isatty(fileno(config.stream)) != 0;
  }
}

int64_t system_time_now_ns()
{
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

/// "%.10" PRId64 ".%.9" PRId64 as rcutils_time_point_value_as_seconds_string prints it.
void append_seconds(std::string & out, int64_t time_ns)
{
  const uint64_t magnitude =
      time_ns < 0 ? static_cast<uint64_t>(-(time_ns + 1)) + 1u : static_cast<uint64_t>(time_ns);
  char buffer[48];
  std::snprintf(
      buffer, sizeof(buffer), "%s%.10" PRIu64 ".%.9" PRIu64, time_ns < 0 ? "-" : "",
      magnitude / 1000000000u, magnitude % 1000000000u);
  out += buffer;
}

std::string format_message(const char * format, va_list args)
{
  char stack_buffer[1024];
  va_list args_copy;
  va_copy(args_copy, args);
  const int length = std::vsnprintf(stack_buffer, sizeof(stack_buffer), format, args_copy);
  va_end(args_copy);
  if (length < 0) {
    return std::string();
  }
  if (static_cast<size_t>(length) < sizeof(stack_buffer)) {
    return std::string(stack_buffer, static_cast<size_t>(length));
  }
  std::vector<char> heap_buffer(static_cast<size_t>(length) + 1);
  std::vsnprintf(heap_buffer.data(), heap_buffer.size(), format, args);
  return std::string(heap_buffer.data(), static_cast<size_t>(length));
}

}  // namespace

const char * severity_name(int severity)
{
  switch (severity) {
    case kUnset:
      return "UNSET";
    case kDebug:
      return "DEBUG";
    case kInfo:
      return "INFO";
    case kWarn:
      return "WARN";
    case kError:
      return "ERROR";
    case kFatal:
      return "FATAL";
    default:
      return nullptr;
  }
}

std::optional<int> severity_from_string(std::string_view text)
{
  std::string upper(text);
  for (char & c : upper) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  for (int severity : {kUnset, kDebug, kInfo, kWarn, kError, kFatal}) {
    if (upper == severity_name(severity)) {
      return severity;
    }
  }
  return std::nullopt;
}

void set_default_level(int severity)
{
  registry().set_default(severity == kUnset ? kInfo : severity);
}

int get_default_level() { return registry().get_default(); }

void set_logger_level(const std::string & name, int severity)
{
  if (severity_name(severity) == nullptr) {
    throw std::invalid_argument("Invalid severity level specified for logger");
  }
  registry().set(name, severity);
}

int get_logger_level(const std::string & name) { return registry().get(name); }

int get_effective_level(const std::string & name) { return registry().effective(name).first; }

void set_console_output_enabled(bool enabled) { g_console_output_enabled.store(enabled); }

void set_rosout_enabled(bool enabled) { g_rosout_enabled.store(enabled); }

bool rosout_enabled() { return g_rosout_enabled.load(); }

void set_additional_output(OutputHandler handler) { g_additional_output.store(handler); }

bool is_enabled_for(const char * name, int severity)
{
  if (name == nullptr) {
    return severity >= registry().get_default();
  }
  return severity >= registry().effective(name).first;
}

namespace detail {
uint64_t refresh_cached_level(const LoggerState & state)
{
  const auto [level, generation] = registry().effective(state.name);
  const uint64_t cached = (generation << 8) | static_cast<uint64_t>(level & 0xff);
  state.cached_level.store(cached, std::memory_order_release);
  return cached;
}
}  // namespace detail

std::string format_output(
    std::string_view output_format, const LogLocation * location, int severity,
    std::string_view name, int64_t timestamp_ns, std::string_view message)
{
  std::string out;
  out.reserve(output_format.size() + name.size() + message.size() + 32);
  size_t i = 0;
  while (i < output_format.size()) {
    const size_t open = output_format.find('{', i);
    if (open == std::string_view::npos) {
      out.append(output_format.substr(i));
      break;
    }
    out.append(output_format.substr(i, open - i));
    const size_t close = output_format.find('}', open);
    if (close == std::string_view::npos) {
      out.append(output_format.substr(open));
      break;
    }
    const std::string_view token = output_format.substr(open + 1, close - open - 1);
    if (token == "severity") {
      const char * text = severity_name(severity);
      out += text ? text : "";
    } else if (token == "name") {
      out.append(name);
    } else if (token == "message") {
      out.append(message);
    } else if (token == "function_name") {
      out += location ? location->function_name : "";
    } else if (token == "file_name") {
      out += location ? location->file_name : "";
    } else if (token == "line_number") {
      out += std::to_string(location ? location->line_number : 0);
    } else if (token == "time") {
      append_seconds(out, timestamp_ns);
    } else if (token == "time_as_nanoseconds") {
      out += std::to_string(timestamp_ns);
    } else {
      // Not a token: keep the '{' and keep scanning after it, as rcutils does.
      out += '{';
      i = open + 1;
      continue;
    }
    i = close + 1;
  }
  return out;
}

namespace {

void write_console_line(
    const LogLocation * location, int severity, const char * name, int64_t timestamp_ns,
    const std::string & message)
{
  const OutputConfig & config = output_config();
  const bool colorized = config.use_color;
  std::string line;
  if (colorized) {
    line += color_for(severity);
  }
  line += format_output(config.format, location, severity, name ? name : "", timestamp_ns, message);
  if (colorized) {
    line += kColorNormal;
  }
  line += '\n';
  // One call per line: stdio locks the stream for its duration, so concurrent
  // lines never interleave.
  std::fwrite(line.data(), 1, line.size(), config.stream);
}

// The message is formatted once, for the console and the additional output.
void write_line(
    const LogLocation * location, int severity, const char * name, const char * format,
    va_list args)
{
  const bool console = g_console_output_enabled.load(std::memory_order_relaxed);
  const OutputHandler additional = g_additional_output.load(std::memory_order_acquire);
  if (!console && additional == nullptr) {
    return;
  }
  const int64_t now = system_time_now_ns();
  const std::string message = format_message(format, args);
  if (console) {
    write_console_line(location, severity, name, now, message);
  }
  if (additional != nullptr) {
    additional(LogRecord{location, severity, name, now, message});
  }
}

}  // namespace

void vlog(
    const LogLocation * location, int severity, const char * name, const char * format,
    va_list args)
{
  if (severity_name(severity) == nullptr || severity == kUnset) {
    std::fprintf(stderr, "unknown severity level: %d\n", severity);
    return;
  }
  if (is_enabled_for(name, severity)) {
    write_line(location, severity, name, format, args);
  }
}

namespace detail {
void write(const LogLocation * location, int severity, const char * name, const char * format, ...)
{
  va_list args;
  va_start(args, format);
  write_line(location, severity, name, format, args);
  va_end(args);
}
}  // namespace detail

void log(const LogLocation * location, int severity, const char * name, const char * format, ...)
{
  va_list args;
  va_start(args, format);
  vlog(location, severity, name, format, args);
  va_end(args);
}

std::string node_logger_name(const std::string & node_name, const std::string & node_namespace)
{
  if (node_namespace.empty() || node_namespace == "/") {
    return node_name;
  }
  std::string name = node_namespace.front() == '/' ? node_namespace.substr(1) : node_namespace;
  for (char & c : name) {
    if (c == '/') {
      c = '.';
    }
  }
  return name + "." + node_name;
}

}  // namespace logging
}  // namespace client_layer
