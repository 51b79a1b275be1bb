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

// The diagnosis tree as text for a terminal and as a JSON document. Pure
// functions of a DiagnosisTree message and the time now, without I/O, so that
// `diagctl tree` and a web view of the tree print the same thing.
#ifndef DIAGCTL__TREE_VIEW_HPP_
#define DIAGCTL__TREE_VIEW_HPP_

#include <chrono>
#include <cstdint>
#include <string>

#include <builtin_interfaces/msg/time.hpp>

#include "diagctl/tree_model.hpp"

namespace diagctl {

using WallTime = std::chrono::system_clock::time_point;

// {"stamp": "<ISO 8601>", "root_causes": N, "consequences": M, "failures": [
//   {"fault_id": 7, "level": "error", "description": "...", "module": "...",
//    "raised_at": "<ISO 8601>", "age_s": 2.123, "event_msg": "...",
//    "children": [{... "level": "warn" ...}]}]}
// on one line, without a newline. `failures` holds the top-level rows of the
// model: the root causes ("error"), and failures whose parent is missing or
// in a loop ("warn", with "unplaced_parent": <parent id>). Strings are
// escaped, invalid UTF-8 as \ufffd. `age_s` is now - raised_at, in seconds.
std::string tree_json(const DiagnosisTree & tree, WallTime now);

struct TreeTextOptions
{
  bool colour = false;       // root causes red, consequences yellow
  bool box_drawing = false;  // "├─ " and "│  "; else plain ASCII "|- ", "`- "
};

// A summary line, then a table with one failure a line, each indented below
// its parent: fault id, description, module, age, event message. An empty
// tree is "No current failure". Ends with a newline.
std::string tree_text(const DiagnosisTree & tree, WallTime now, const TreeTextOptions & options);

// `tree_text` on a cleared terminal screen below a title line.
std::string tree_screen(
    const std::string & text, const std::string & title, const std::string & time, bool colour);

// "12 s", "3 min", "5 h", "2 d": whole units, rounded down; "-4 s" when the
// time lies ahead (the clocks disagree).
std::string format_age(std::chrono::nanoseconds age);

// "2026-12-07T02:40:00.123456789Z".
std::string iso8601_utc(const builtin_interfaces::msg::Time & time);
std::string iso8601_utc(WallTime time);

}  // namespace diagctl

#endif  // DIAGCTL__TREE_VIEW_HPP_
