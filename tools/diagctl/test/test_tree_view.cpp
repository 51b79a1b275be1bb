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

// The diagnosis tree as rows, text and JSON, from synthesised messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "diagctl/tree_model.hpp"
#include "diagctl/tree_view.hpp"

namespace diagctl {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// 2026-12-07T02:40:00Z
constexpr std::int32_t kBase = 1796611200;
const WallTime kNow = WallTime(seconds(kBase) + milliseconds(2123));

DiagnosisEntry entry(
    std::int32_t id, std::int32_t parent, std::string description = "", std::uint32_t raised_ms = 0)
{
  DiagnosisEntry e;
  e.fault_id = id;
  e.parent_id = parent;
  e.description = std::move(description);
  e.module = "/m" + std::to_string(id);
  e.raised_at.sec = kBase + static_cast<std::int32_t>(raised_ms / 1000);
  e.raised_at.nanosec = (raised_ms % 1000) * 1000000;
  return e;
}

DiagnosisTree tree_of(std::vector<DiagnosisEntry> entries)
{
  DiagnosisTree tree;
  tree.stamp.sec = kBase + 2;
  tree.stamp.nanosec = 123456789;
  tree.entries = std::move(entries);
  return tree;
}

// "id@depth" per row, plus "*" for a root cause and "?P" for an unplaced parent.
std::string shape(const TreeModel & model)
{
  std::string out;
  for (const TreeRow & row : model.rows) {
    out += std::to_string(row.entry->fault_id) + "@" + std::to_string(row.depth) +
           (row.root_cause ? "*" : "") +
           (row.unplaced_parent ? "?" + std::to_string(*row.unplaced_parent) : "") + " ";
  }
  return out;
}

TEST(TreeModel, FollowsParentsWhateverTheMessageOrder)
{
  // In the node's order: root, its children (one with a child), next root.
  const auto ordered =
      tree_of({entry(7, 7), entry(8, 7), entry(10, 8), entry(9, 7), entry(20, 20), entry(21, 20)});
  const TreeModel model = build_tree_model(ordered);
  EXPECT_EQ(shape(model), "7@0* 8@1 10@2 9@1 20@0* 21@1 ");
  EXPECT_EQ(model.root_causes, 2u);
  EXPECT_EQ(model.consequences, 4u);
  std::string last;
  for (const TreeRow & row : model.rows) {
    last += row.last_sibling ? "1" : "0";
  }
  EXPECT_EQ(last, "001111");

  // Children before their parents and interleaved with another tree: the
  // same rows, children in message order.
  const auto shuffled =
      tree_of({entry(21, 20), entry(10, 8), entry(8, 7), entry(20, 20), entry(9, 7), entry(7, 7)});
  EXPECT_EQ(shape(build_tree_model(shuffled)), "20@0* 21@1 7@0* 8@1 10@2 9@1 ");
}

TEST(TreeModel, UnplacedEntriesComeUpAtTheTopAndNothingIsLost)
{
  // 5's parent is not in the message; 30 and 31 are each other's parent.
  const auto tree = tree_of({entry(1, 1), entry(5, 99), entry(6, 5), entry(30, 31), entry(31, 30)});
  const TreeModel model = build_tree_model(tree);
  EXPECT_EQ(shape(model), "1@0* 5@0?99 6@1 30@0?31 31@1 ");
  EXPECT_EQ(model.root_causes, 1u);
  EXPECT_EQ(model.consequences, 4u);

  // A chain far deeper than any stack would take recursively.
  std::vector<DiagnosisEntry> chain{entry(0, 0)};
  for (std::int32_t id = 1; id < 200000; ++id) {
    chain.push_back(entry(id, id - 1));
  }
  const TreeModel deep = build_tree_model(tree_of(chain));
  ASSERT_EQ(deep.rows.size(), chain.size());
  EXPECT_EQ(deep.rows.back().depth, chain.size() - 1);
}

TEST(TreeJson, NestsChildrenAndClosesEveryLevel)
{
  auto root = entry(7, 7, "lidar lost");
  root.event_msg = "timeout";
  const auto tree = tree_of({root, entry(8, 7, "", 500), entry(10, 8, "", 2623), entry(9, 7)});
  EXPECT_EQ(
      tree_json(tree, kNow),
      R"({"stamp": "2026-12-07T02:40:02.123456789Z", "root_causes": 1, "consequences": 3, )"
      R"("failures": [{"fault_id": 7, "level": "error", "description": "lidar lost", "module": "/m7", )"
      R"("raised_at": "2026-12-07T02:40:00.000000000Z", "age_s": 2.123, "event_msg": "timeout", "children": [)"
      R"({"fault_id": 8, "level": "warn", "description": "", "module": "/m8", )"
      R"("raised_at": "2026-12-07T02:40:00.500000000Z", "age_s": 1.623, "event_msg": "", "children": [)"
      R"({"fault_id": 10, "level": "warn", "description": "", "module": "/m10", )"
      R"("raised_at": "2026-12-07T02:40:02.623000000Z", "age_s": -0.5, "event_msg": "", "children": []}]}, )"
      R"({"fault_id": 9, "level": "warn", "description": "", "module": "/m9", )"
      R"("raised_at": "2026-12-07T02:40:00.000000000Z", "age_s": 2.123, "event_msg": "", "children": []}]}]})");

  // Two levels closed at once, before the next root; an unplaced entry says
  // where it should hang.
  const std::string two =
      tree_json(tree_of({entry(1, 1), entry(2, 1), entry(3, 2), entry(4, 77)}), kNow);
  EXPECT_NE(two.find(R"("children": []}]}]}, {"fault_id": 4, "level": "warn")"), std::string::npos)
      << two;
  EXPECT_NE(two.find(R"("unplaced_parent": 77, "children": []}]})"), std::string::npos) << two;

  EXPECT_EQ(
      tree_json(tree_of({}), kNow),
      R"({"stamp": "2026-12-07T02:40:02.123456789Z", "root_causes": 0, "consequences": 0, "failures": []})");
}

TEST(TreeJson, EscapesEveryOddByte)
{
  auto odd = entry(1, 1, "say \"hi\"\\ \xff é");
  odd.module = std::string("a\0b", 3);
  odd.event_msg = "two\nlines \x1b[31m\t\xc3";
  const std::string json = tree_json(tree_of({odd}), kNow);
  EXPECT_NE(json.find(R"("description": "say \"hi\"\\ \ufffd é")"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("module": "a\u0000b")"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("event_msg": "two\nlines \u001b[31m\t\ufffd")"), std::string::npos)
      << json;
}

TEST(TreeText, IndentsBelowEachRootAndColoursByRole)
{
  auto root = entry(1001, 1001, "motor bus lost", 0);
  root.event_msg = "no heartbeat";
  const auto tree = tree_of(
      {root, entry(1002, 1001, "odometry stalled"), entry(1003, 1002, "", 0),
       entry(1004, 1001, "short")});
  const WallTime later = WallTime(seconds(kBase) + seconds(185));
  EXPECT_EQ(
      tree_text(tree, later, {}),
      "Current failures: 4 (1 root cause, 3 consequences)\n\n"
      "FAULT       DESCRIPTION       MODULE  AGE    MESSAGE\n"
      "1001        motor bus lost    /m1001  3 min  no heartbeat\n"
      "|- 1002     odometry stalled  /m1002  3 min\n"
      "|  `- 1003  (no description)  /m1003  3 min\n"
      "`- 1004     short             /m1004  3 min\n");

  TreeTextOptions terminal;
  terminal.colour = true;
  terminal.box_drawing = true;
  const std::string coloured = tree_text(tree, later, terminal);
  EXPECT_NE(coloured.find("\n\x1b[1;31m1001 "), std::string::npos) << coloured;
  EXPECT_NE(coloured.find("\n\x1b[33m├─ 1002 "), std::string::npos) << coloured;
  EXPECT_NE(coloured.find("\n\x1b[33m│  └─ 1003 "), std::string::npos) << coloured;
  EXPECT_NE(coloured.find("\n\x1b[33m└─ 1004 "), std::string::npos) << coloured;
}

TEST(TreeText, KeepsOneLinePerFailureWhateverItsText)
{
  auto odd = entry(1, 1, "two\nlines\r\x1b[2J \xff \xc2\x9b é");
  odd.event_msg = "tab\there";
  const auto tree = tree_of({odd, entry(2, 40), entry(3, 4), entry(4, 3)});
  const std::string text = tree_text(tree, kNow, {});
  EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
  EXPECT_NE(text.find("two\\nlines\\r\\x1B[2J \\xFF \\xC2\\x9B é"), std::string::npos) << text;
  EXPECT_NE(text.find("tab\\there"), std::string::npos) << text;
  EXPECT_NE(
      text.find("\n2      (no description) [below 40, which is not in the tree]"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("\n3      (no description) [below 4, a loop of parents]"), std::string::npos)
      << text;
  // Summary, blank line, header and one line per failure.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3 + 4) << text;

  EXPECT_EQ(tree_text(tree_of({}), kNow, {}), "No current failure\n");
}

TEST(TreeTime, AgesAndStamps)
{
  EXPECT_EQ(format_age(milliseconds(999)), "0 s");
  EXPECT_EQ(format_age(seconds(59)), "59 s");
  EXPECT_EQ(format_age(seconds(60)), "1 min");
  EXPECT_EQ(format_age(seconds(3599)), "59 min");
  EXPECT_EQ(format_age(seconds(3600)), "1 h");
  EXPECT_EQ(format_age(seconds(2 * 86400 + 5)), "2 d");
  EXPECT_EQ(format_age(seconds(-4)), "-4 s");
  EXPECT_EQ(format_age(milliseconds(-300)), "0 s");

  builtin_interfaces::msg::Time time;
  time.sec = -1;
  time.nanosec = 500000000;
  EXPECT_EQ(iso8601_utc(time), "1969-12-31T23:59:59.500000000Z");
  time.sec = kBase;
  time.nanosec = 1;
  EXPECT_EQ(iso8601_utc(time), "2026-12-07T02:40:00.000000001Z");
}

}  // namespace
}  // namespace diagctl
