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

// The published views of the tree: the order and parents of its snapshot,
// the two messages built from it, and when a handling cycle publishes them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "diagnostic_center/diag_tree.hpp"
#include "diagnostic_center/diagnosis_views.hpp"
#include "rclcpp/logger.hpp"

namespace {

using corvanta_protocol::msg::DiagnosticEvent;
using diag_tree::DiagTree;
using diag_tree::FailureView;
using diag_tree::FaultConfig;
using diagnostic_center::BuildDiagnosisTree;
using diagnostic_center::BuildDiagnosticArray;
using diagnostic_center::IsoUtc;
using diagnostic_center::Snapshot;
using diagnostic_center::ViewChanges;
using diagnostic_msgs::msg::DiagnosticStatus;

builtin_interfaces::msg::Time Time(std::int32_t sec, std::uint32_t nanosec = 0)
{
  builtin_interfaces::msg::Time stamp;
  stamp.sec = sec;
  stamp.nanosec = nanosec;
  return stamp;
}

FaultConfig Config(std::uint32_t id, std::int32_t root_cause, std::string desc = "")
{
  FaultConfig config;
  config.fault_id = id;
  config.root_cause = root_cause;
  config.root_cause_time_dis = 500;
  config.fault_desc = std::move(desc);
  return config;
}

DiagnosticEvent Raise(std::int32_t id, std::int32_t sec, std::string msg = "")
{
  DiagnosticEvent event;
  event.fault_id = id;
  event.status = 1;
  event.stamp = Time(sec);
  event.event_msg = std::move(msg);
  return event;
}

FailureView View(std::uint32_t id, std::optional<std::uint32_t> parent)
{
  FailureView view;
  view.fault_id = id;
  view.parent_id = parent;
  view.root_cause = static_cast<std::int32_t>(parent.value_or(id));
  return view;
}

std::vector<std::pair<std::int64_t, std::int64_t>> IdsAndParents(const Snapshot & snapshot)
{
  std::vector<std::pair<std::int64_t, std::int64_t>> out;
  for (const FailureView & view : snapshot) {
    out.emplace_back(
        static_cast<std::int32_t>(view.fault_id),
        view.parent_id ? static_cast<std::int32_t>(*view.parent_id) : -1);
  }
  return out;
}

// Roots and children come by signed id whatever the raise order, each root
// followed by its whole subtree; the raising event's details are kept, the
// latest raise's winning.
TEST(TreeSnapshotTest, DepthFirstBySignedIdWithTheLatestRaisesDetails)
{
  diag_tree::FaultTable table;
  const std::uint32_t minus_three = 4294967293u;
  for (const FaultConfig & config :
       {Config(1, 1, "bus lost"), Config(2, 1), Config(3, 1), Config(5, 2), Config(4, 4),
        Config(minus_three, -3)}) {
    table.Insert(config);
  }
  DiagTree tree(rclcpp::get_logger("test_diagnosis_views"), table);
  EXPECT_TRUE(tree.Snapshot().empty());

  tree.push(Raise(4, 100), "/m4");
  tree.push(Raise(5, 100), "/m5");  // waits as a root until 2 adopts it
  tree.push(Raise(3, 100), "/m3");
  tree.push(Raise(1, 100), "/m1");
  tree.push(Raise(2, 100), "/m2");
  tree.push(Raise(-3, 100), "/m-3");
  tree.push(Raise(3, 101, "second"), "/other");

  const Snapshot snapshot = tree.Snapshot();
  EXPECT_EQ(
      IdsAndParents(snapshot), (std::vector<std::pair<std::int64_t, std::int64_t>>{
                                   {-3, -1}, {1, -1}, {2, 1}, {5, 2}, {3, 1}, {4, -1}}));
  const FailureView & three = snapshot[4];
  EXPECT_EQ(three.module, "/other");
  EXPECT_EQ(three.event_msg, "second");
  EXPECT_EQ(three.raised_at.sec, 101);
  EXPECT_EQ(three.root_cause, 1);
  EXPECT_EQ(snapshot[1].description, "bus lost");

  tree.remove(1);  // 2 (with 5) and 3 become roots
  EXPECT_EQ(
      IdsAndParents(tree.Snapshot()), (std::vector<std::pair<std::int64_t, std::int64_t>>{
                                          {-3, -1}, {2, -1}, {5, 2}, {3, -1}, {4, -1}}));
}

TEST(IsoUtcTest, NanosecondsAndTimesBeforeTheEpoch)
{
  EXPECT_EQ(IsoUtc(Time(0)), "1970-01-01T00:00:00.000000000Z");
  EXPECT_EQ(IsoUtc(Time(1944293103, 7)), "2031-08-12T09:25:03.000000007Z");
  EXPECT_EQ(IsoUtc(Time(-1, 500000000)), "1969-12-31T23:59:59.500000000Z");
  EXPECT_EQ(IsoUtc(Time(0, 4294967295u)), "1970-01-01T00:00:04.294967295Z");
  EXPECT_EQ(IsoUtc(Time(-2147483648)), "1901-12-13T20:45:52.000000000Z");
}

Snapshot Cascade()
{
  FailureView root = View(7, std::nullopt);
  root.description = "lidar lost";
  root.module = "/sensor_proxy_diag_topic";
  root.event_msg = "line 1\nline 2\x01";
  root.raised_at = Time(1, 5);
  FailureView sub = View(8, 7);
  sub.module = "/arm_pnc_diag_topic";
  FailureView negative = View(4294967291u, 7);
  return {root, sub, negative};
}

TEST(DiagnosisTreeMessageTest, RootIsItsOwnParentAndTextsGoAsTheyCame)
{
  const auto tree = BuildDiagnosisTree(Cascade(), Time(9, 9));
  ASSERT_EQ(tree.entries.size(), 3u);
  EXPECT_EQ(tree.entries[0].parent_id, 7);
  EXPECT_EQ(tree.entries[0].event_msg, "line 1\nline 2\x01");  // raw: readers escape
  EXPECT_EQ(tree.entries[1].parent_id, 7);
  EXPECT_EQ(tree.entries[2].fault_id, -5);
}

// Level (1 WARN, 2 ERROR), name, message and hardware id, then "key=value"
// for every value.
std::vector<std::string> Fields(const DiagnosticStatus & status)
{
  std::vector<std::string> out = {
      std::to_string(status.level), status.name, status.message, status.hardware_id};
  for (const auto & pair : status.values) {
    out.push_back(pair.key + "=" + pair.value);
  }
  return out;
}

using Strings = std::vector<std::string>;

TEST(DiagnosticArrayTest, OneStatusPerFailureThenTheSummary)
{
  const auto array = BuildDiagnosticArray(Cascade(), Time(9, 9), "diagnostic_center");
  EXPECT_EQ(array.header.stamp, Time(9, 9));
  ASSERT_EQ(array.status.size(), 4u);

  EXPECT_EQ(
      Fields(array.status[0]),
      (Strings{
          "2", "diagnostic_center/7", "lidar lost", "/sensor_proxy_diag_topic", "fault_id=7",
          "root_cause=7", "caused_by=", "raised_at=1970-01-01T00:00:01.000000005Z",
          "event_msg=line 1\\nline 2\\x01"}));
  // No description configured: the message names the id.
  EXPECT_EQ(
      Fields(array.status[2]),
      (Strings{
          "1", "diagnostic_center/-5", "fault -5", "", "fault_id=-5", "root_cause=7", "caused_by=7",
          "raised_at=1970-01-01T00:00:00.000000000Z", "event_msg="}));
  EXPECT_EQ(
      Fields(array.status[3]),
      (Strings{"2", "diagnostic_center", "1 root cause, 2 consequences", ""}));
}

TEST(DiagnosticArrayTest, EveryStatusCarriesTheGivenName)
{
  const auto array = BuildDiagnosticArray(Cascade(), Time(0), "site/robot3/diagnostic_center");
  Strings names;
  for (const auto & status : array.status) {
    names.push_back(status.name);
  }
  EXPECT_EQ(
      names, (Strings{
                 "site/robot3/diagnostic_center/7", "site/robot3/diagnostic_center/8",
                 "site/robot3/diagnostic_center/-5", "site/robot3/diagnostic_center"}));
}

TEST(DiagnosticArrayTest, SummaryCountsAndLevels)
{
  const auto none = BuildDiagnosticArray({}, Time(0), "diagnostic_center");
  ASSERT_EQ(none.status.size(), 1u);
  EXPECT_EQ(none.status[0].level, DiagnosticStatus::OK);
  EXPECT_EQ(none.status[0].message, "no failure");

  const auto two_roots = BuildDiagnosticArray(
      {View(1, std::nullopt), View(2, 1), View(3, std::nullopt)}, Time(0), "diagnostic_center");
  EXPECT_EQ(two_roots.status.back().message, "2 root causes, 1 consequence");
  EXPECT_EQ(two_roots.status.back().level, DiagnosticStatus::ERROR);
}

// Published once for a cycle that changed what the view shows, not again
// for a cycle that left it as it was.
// Which views a cycle with `snapshot` publishes: "tree", "diagnostics", both
// or "".
std::string Due(ViewChanges & changes, const Snapshot & snapshot)
{
  const auto due = changes.Update(snapshot);
  return std::string(due.tree ? "tree" : "") + (due.tree && due.diagnostics ? " " : "") +
         (due.diagnostics ? "diagnostics" : "");
}

TEST(ViewChangesTest, EachViewGoesOutOnlyWhenWhatItShowsChanged)
{
  ViewChanges changes;
  EXPECT_EQ(Due(changes, {}), "");  // the empty tree went out at start-up

  Snapshot one = {View(1, std::nullopt)};
  EXPECT_EQ(Due(changes, one), "tree diagnostics");
  EXPECT_EQ(Due(changes, one), "");

  // Raised again with a new message: the tree shows it, the set is the same.
  one[0].event_msg = "again";
  EXPECT_EQ(Due(changes, one), "tree");

  // The same ids, but 2 moves below 1: its level changes.
  EXPECT_EQ(Due(changes, {View(1, std::nullopt), View(2, std::nullopt)}), "tree diagnostics");
  EXPECT_EQ(Due(changes, {View(1, std::nullopt), View(2, 1)}), "tree diagnostics");

  EXPECT_EQ(Due(changes, {}), "tree diagnostics");
}

}  // namespace
