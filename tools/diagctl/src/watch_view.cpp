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

#include "diagctl/watch_view.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <sstream>

#include "diagctl/output_format.hpp"
#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {

namespace contract = diagnostic_center::contract;

namespace {

using namespace ansi;  // NOLINT(build/namespaces): the colour views' sequences

class Painter
{
public:
  explicit Painter(bool colour) : colour_(colour) {}
  std::string operator()(const char * style, const std::string & text) const
  {
    return colour_ ? style + text + kReset : text;
  }

private:
  bool colour_;
};

std::string description(const FaultConfig * config, std::int32_t id)
{
  if (!config) {
    return "";
  }
  const FaultEntry * entry = config->find(id);
  return entry ? contract::EscapeRecordText(entry->description) : "(not in the configuration)";
}

bool contains(const std::vector<std::int32_t> & ids, std::int32_t id)
{
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

void WatchState::add_exception_handle(ExceptionHandleSeen seen)
{
  exception_handles.push_back(std::move(seen));
  while (exception_handles.size() > kExceptionHandlesKept) {
    exception_handles.pop_front();
  }
}

std::string render_watch_screen(
    const WatchState & state, const FaultConfig * config, const ScreenOptions & options)
{
  const Painter paint(options.colour);
  std::ostringstream out;
  out << kClearScreen << paint(kBold, "diagnosis centre " + options.title) << "  " << options.time
      << paint(kDim, "   (Ctrl-C to stop)") << "\n\n";

  if (state.stale_since) {
    out << paint(kRed, "STALE") << " since " << *state.stale_since
        << ": current_failure stopped (three periods without one)\n";
  }
  if (!state.current_failures) {
    out << "Current failures: " << paint(kDim, "waiting for current_failure") << '\n';
  } else {
    out << (state.stale_since ? "Last heard failures: " : "Current failures: ")
        << state.current_failures->size() << '\n';
    for (const std::int32_t id : *state.current_failures) {
      const bool root = state.root_causes && contains(*state.root_causes, id);
      const std::string role = !state.root_causes ? "     " : root ? "ROOT " : "  <- ";
      const std::string line = role + " " + std::to_string(id);
      out << "  " << paint(root ? kRed : kYellow, line) << "  " << description(config, id) << '\n';
    }
  }

  out << "\nRoot causes (diagnostic_srv): ";
  if (!state.root_causes) {
    out << paint(kDim, "service not answering") << '\n';
  } else if (state.root_causes->empty()) {
    out << "none\n";
  } else {
    for (const std::int32_t id : *state.root_causes) {
      out << paint(kRed, std::to_string(id)) << ' ';
    }
    out << '\n';
  }

  out << "\nLast exception-handle requests:\n";
  if (state.exception_handles.empty()) {
    out << "  " << paint(kDim, "none yet") << '\n';
  }
  for (auto it = state.exception_handles.rbegin(); it != state.exception_handles.rend(); ++it) {
    out << "  " << it->time << "  " << std::to_string(it->fault_id) << "  "
        << description(config, it->fault_id) << '\n';
  }
  return out.str();
}

std::string plain_watch_line(
    const std::string & time, const std::string & what, const std::vector<std::int32_t> & ids)
{
  std::string line = time + " " + what;
  for (const std::int32_t id : ids) {
    line += " " + std::to_string(id);
  }
  return line;
}

std::string wall_clock_time() { return wall_clock_time(std::chrono::system_clock::now()); }

std::string wall_clock_time(std::chrono::system_clock::time_point now)
{
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char buffer[32];
  std::snprintf(
      buffer, sizeof(buffer), "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
      static_cast<int>(millis));
  return buffer;
}

}  // namespace diagctl
