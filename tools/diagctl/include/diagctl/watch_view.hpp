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

// What `diagctl watch` shows: a redrawn screen on a terminal, plain
// time-stamped lines when the output is piped.
#ifndef DIAGCTL__WATCH_VIEW_HPP_
#define DIAGCTL__WATCH_VIEW_HPP_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "diagctl/fault_config.hpp"

namespace diagctl {

struct ExceptionHandleSeen
{
  std::string time;  // local wall time of arrival, "HH:MM:SS.mmm"
  std::int32_t fault_id = 0;
};

struct WatchState
{
  static constexpr std::size_t kExceptionHandlesKept = 10;

  std::optional<std::vector<std::int32_t>> current_failures;  // none before the first message
  std::optional<std::vector<std::int32_t>> root_causes;  // none while the service does not answer
  std::deque<ExceptionHandleSeen> exception_handles;     // oldest first
  // Local wall time ("HH:MM:SS.mmm") since which current_failure has stopped
  // (see Liveness); the failures above are then the last ones heard.
  std::optional<std::string> stale_since;

  void add_exception_handle(ExceptionHandleSeen seen);
};

struct ScreenOptions
{
  std::string title;  // e.g. the namespace watched
  std::string time;   // wall time of the redraw
  bool colour = true;
};

// The whole screen, starting with the escape that clears the terminal.
std::string render_watch_screen(
    const WatchState & state, const FaultConfig * config, const ScreenOptions & options);

// "HH:MM:SS.mmm <topic> id id ...": one line for a piped watch.
std::string plain_watch_line(
    const std::string & time, const std::string & what, const std::vector<std::int32_t> & ids);

// Local wall time now as "HH:MM:SS.mmm".
std::string wall_clock_time();
// `time` as local "HH:MM:SS.mmm".
std::string wall_clock_time(std::chrono::system_clock::time_point time);

}  // namespace diagctl

#endif  // DIAGCTL__WATCH_VIEW_HPP_
