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

#include "diagctl/tree_view.hpp"

#include <cstdio>
#include <ctime>
#include <sstream>
#include <vector>

#include "diagctl/output_format.hpp"

namespace diagctl {

namespace {

using namespace ansi;  // NOLINT(build/namespaces): the colour views' sequences

constexpr std::int64_t kNanosPerSecond = 1000000000;

std::int64_t nanoseconds_of(const builtin_interfaces::msg::Time & time)
{
  return static_cast<std::int64_t>(time.sec) * kNanosPerSecond + time.nanosec;
}

std::string iso8601_from_nanoseconds(std::int64_t total)
{
  // Floor division, so that times before 1970 keep a fraction in [0, 1 s).
  std::int64_t seconds = total / kNanosPerSecond;
  std::int64_t nanos = total % kNanosPerSecond;
  if (nanos < 0) {
    nanos += kNanosPerSecond;
    --seconds;
  }
  const std::time_t as_time_t = static_cast<std::time_t>(seconds);
  std::tm utc{};
  gmtime_r(&as_time_t, &utc);
  char buffer[64];
  std::snprintf(
      buffer, sizeof(buffer), "%04d-%02d-%02dT%02d:%02d:%02d.%09dZ", utc.tm_year + 1900,
      utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(nanos));
  return buffer;
}

std::chrono::nanoseconds age_of(const DiagnosisEntry & entry, WallTime now)
{
  const auto now_ns =
      std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count();
  return std::chrono::nanoseconds(now_ns - nanoseconds_of(entry.raised_at));
}

// Seconds with up to three decimals, trailing zeros dropped: 2.123, 1.5, 3, -0.25.
std::string json_seconds(std::chrono::nanoseconds duration)
{
  const std::int64_t millis = duration.count() / 1000000;  // toward zero
  const std::int64_t whole = millis / 1000;
  const std::int64_t fraction = millis % 1000;
  std::string text = (millis < 0 && whole == 0 ? "-" : "") + std::to_string(whole);
  if (fraction == 0) {
    return text;
  }
  char digits[8];
  std::snprintf(
      digits, sizeof(digits), "%03d", static_cast<int>(fraction < 0 ? -fraction : fraction));
  std::string decimals = digits;
  decimals.erase(decimals.find_last_not_of('0') + 1);
  return text + "." + decimals;
}

std::string quoted(const std::string & text)
{
  return json_string(text, InvalidUtf8::kReplacement);
}

void write_json_failure(std::ostringstream & out, const TreeRow & row, WallTime now)
{
  const DiagnosisEntry & entry = *row.entry;
  out << "{\"fault_id\": " << entry.fault_id << ", \"level\": \""
      << (row.root_cause ? "error" : "warn") << "\", \"description\": " << quoted(entry.description)
      << ", \"module\": " << quoted(entry.module) << ", \"raised_at\": \""
      << iso8601_utc(entry.raised_at) << "\", \"age_s\": " << json_seconds(age_of(entry, now))
      << ", \"event_msg\": " << quoted(entry.event_msg);
  if (row.unplaced_parent) {
    out << ", \"unplaced_parent\": " << *row.unplaced_parent;
  }
  out << ", \"children\": [";
}

std::string plural(std::size_t count, const char * one, const char * many)
{
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The indentation of a row: for each level above it, whether that ancestor
// has siblings still to come, then the row's own connector.
std::string tree_prefix(
    const std::vector<bool> & open_levels, const TreeRow & row, bool box_drawing)
{
  if (row.depth == 0) {
    return "";
  }
  std::string prefix;
  for (std::size_t level = 1; level < row.depth; ++level) {
    prefix += open_levels[level] ? (box_drawing ? "│  " : "|  ") : "   ";
  }
  if (box_drawing) {
    prefix += row.last_sibling ? "└─ " : "├─ ";
  } else {
    prefix += row.last_sibling ? "`- " : "|- ";
  }
  return prefix;
}

std::string row_description(const TreeRow & row, const DiagnosisTree & tree)
{
  std::string text = printable_text(row.entry->description);
  if (text.empty()) {
    text = "(no description)";
  }
  if (row.unplaced_parent) {
    bool parent_present = false;
    for (const DiagnosisEntry & entry : tree.entries) {
      parent_present = parent_present || entry.fault_id == *row.unplaced_parent;
    }
    text += " [below " + std::to_string(*row.unplaced_parent) +
            (parent_present ? ", a loop of parents]" : ", which is not in the tree]");
  }
  return text;
}

}  // namespace

std::string format_age(std::chrono::nanoseconds age)
{
  const bool ahead = age.count() < 0;
  const std::int64_t seconds =
      std::chrono::duration_cast<std::chrono::seconds>(ahead ? -age : age).count();
  std::string text;
  if (seconds < 60) {
    text = std::to_string(seconds) + " s";
  } else if (seconds < 3600) {
    text = std::to_string(seconds / 60) + " min";
  } else if (seconds < 86400) {
    text = std::to_string(seconds / 3600) + " h";
  } else {
    text = std::to_string(seconds / 86400) + " d";
  }
  return (ahead && seconds > 0 ? "-" : "") + text;
}

std::string iso8601_utc(const builtin_interfaces::msg::Time & time)
{
  return iso8601_from_nanoseconds(nanoseconds_of(time));
}

std::string iso8601_utc(WallTime time)
{
  return iso8601_from_nanoseconds(
      std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count());
}

std::string tree_json(const DiagnosisTree & tree, WallTime now)
{
  const TreeModel model = build_tree_model(tree);
  std::ostringstream out;
  out << "{\"stamp\": \"" << iso8601_utc(tree.stamp) << "\", \"root_causes\": " << model.root_causes
      << ", \"consequences\": " << model.consequences << ", \"failures\": [";
  const auto & rows = model.rows;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    write_json_failure(out, rows[i], now);
    // Rows go down at most one level at a time: close this row and every
    // level the next row climbs back above.
    const std::size_t next_depth = i + 1 < rows.size() ? rows[i + 1].depth : 0;
    if (next_depth <= rows[i].depth) {
      for (std::size_t level = next_depth; level <= rows[i].depth; ++level) {
        out << "]}";
      }
      if (i + 1 < rows.size()) {
        out << ", ";
      }
    }
  }
  out << "]}";
  return out.str();
}

std::string tree_text(const DiagnosisTree & tree, WallTime now, const TreeTextOptions & options)
{
  const TreeModel model = build_tree_model(tree);
  if (model.rows.empty()) {
    return "No current failure\n";
  }
  TextTable table({"FAULT", "DESCRIPTION", "MODULE", "AGE", "MESSAGE"});
  std::vector<bool> open_levels;  // per depth: more siblings follow
  for (const TreeRow & row : model.rows) {
    open_levels.resize(row.depth + 1);
    open_levels[row.depth] = !row.last_sibling;
    table.add_row(
        {tree_prefix(open_levels, row, options.box_drawing) + std::to_string(row.entry->fault_id),
         row_description(row, tree), printable_text(row.entry->module),
         format_age(age_of(*row.entry, now)), printable_text(row.entry->event_msg)});
  }
  std::ostringstream table_text;
  table.print(table_text);

  std::ostringstream out;
  out << "Current failures: " << model.rows.size() << " ("
      << plural(model.root_causes, "root cause", "root causes") << ", "
      << plural(model.consequences, "consequence", "consequences") << ")\n\n";
  std::istringstream lines(table_text.str());
  std::string line;
  std::getline(lines, line);
  out << line << '\n';  // the header, uncoloured
  for (const TreeRow & row : model.rows) {
    std::getline(lines, line);
    if (options.colour) {
      line = (row.root_cause ? kRed : kYellow) + line + kReset;
    }
    out << line << '\n';
  }
  return out.str();
}

std::string tree_screen(
    const std::string & text, const std::string & title, const std::string & time, bool colour)
{
  const auto paint = [colour](const char * style, const std::string & part) {
    return colour ? style + part + kReset : part;
  };
  return kClearScreen + paint(kBold, "diagnosis tree " + title) + "  " + time +
         paint(kDim, "   (Ctrl-C to stop)") + "\n\n" + text;
}

}  // namespace diagctl
