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

// The fleet's model driven without DDS: messages and graph snapshots with
// times of the test's own; the staleness rule; the views; --domains.
#include <gtest/gtest.h>

#include <string>

#include "diagctl/domain_list.hpp"
#include "diagctl/fleet_discovery.hpp"
#include "diagctl/fleet_model.hpp"
#include "diagctl/fleet_view.hpp"
#include "diagctl/liveness.hpp"
#include "diagctl/tree_model.hpp"

namespace diagctl {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

const WallTime kStart = WallTime(seconds(1796611200));  // 2026-12-07T02:40:00Z

WallTime at(double s) { return kStart + milliseconds(static_cast<std::int64_t>(s * 1000)); }

const RobotKey kR1{0, "/r1"};

DiagnosisTree tree_of(std::vector<std::pair<std::int32_t, std::int32_t>> id_parent_pairs)
{
  DiagnosisTree tree;
  std::int32_t index = 0;
  for (const auto & [id, parent] : id_parent_pairs) {
    DiagnosisEntry entry;
    entry.fault_id = id;
    entry.parent_id = parent;
    entry.description = "fault " + std::to_string(id);
    // Raised a second apart in the order given, except 1003: at 1000 s, the newest.
    entry.raised_at.sec = static_cast<std::int32_t>(kStart.time_since_epoch() / seconds(1)) +
                          (id == 1003 ? 1000 : index++);
    tree.entries.push_back(entry);
  }
  return tree;
}

const RobotView & robot(const FleetSnapshot & snapshot, const RobotKey & key)
{
  for (const RobotView & view : snapshot.robots) {
    if (view.key == key) {
      return view;
    }
  }
  throw std::runtime_error("robot not in the snapshot: " + key.ns);
}

TEST(LivenessTest, LearnsThePeriodAndGoesStaleAfterThreeOfThem)
{
  Liveness liveness(at(0));
  EXPECT_EQ(liveness.period(), Liveness::kDefaultPeriod);
  EXPECT_FALSE(liveness.stale(at(2.9)));
  EXPECT_EQ(liveness.stale_since(at(3.5)), at(3));  // never heard: from the start

  // A 2 s centre, with one late message: the median ignores it.
  for (const double t : {0.0, 2.0, 4.0, 6.5, 8.5, 10.5}) {
    liveness.on_message(at(t));
  }
  EXPECT_EQ(liveness.period(), seconds(2));
  EXPECT_FALSE(liveness.stale(at(16.4)));
  EXPECT_EQ(liveness.stale_since(at(17)), at(16.5));

  // An outage is not a period: back after 60 s, the period stays 2 s.
  liveness.on_message(at(70.5));
  EXPECT_EQ(liveness.period(), seconds(2));
  EXPECT_FALSE(liveness.stale(at(71)));
}

TEST(LivenessTest, TwoBunchedMessagesDoNotLockAWrongPeriodIn)
{
  // A timer that fell behind fires twice at once, then keeps its 1 s.
  Liveness liveness(at(0));
  for (const double t : {0.0, 0.005, 1.0, 2.0, 3.0, 4.0}) {
    liveness.on_message(at(t));
  }
  EXPECT_EQ(liveness.period(), seconds(1));
  EXPECT_FALSE(liveness.stale(at(5.5)));
}

TEST(FleetModelTest, StateMachineOkDegradedStaleGoneAndBack)
{
  FleetModel model;
  model.on_graph(0, {"/r1"}, at(0));
  struct Step
  {
    const char * what;
    double t;
    std::vector<std::int32_t> failures;  // a current_failure at t, unless `graph`
    bool graph_without_r1;
    RobotState state;
    double since;
  };
  const std::vector<Step> steps = {
      {"first, empty list", 0.5, {}, false, RobotState::kOk, 0},
      {"a failure", 1.5, {1002, 1001}, false, RobotState::kDegraded, 1.5},
      {"same failures", 2.5, {1001, 1002}, false, RobotState::kDegraded, 1.5},
      {"cleared", 3.5, {}, false, RobotState::kOk, 3.5},
      {"back after silence", 20, {1001}, false, RobotState::kDegraded, 20},
      {"left the graph", 21, {}, true, RobotState::kGone, 21},
      {"returns afresh", 30, {}, false, RobotState::kOk, 30},
  };
  for (const Step & step : steps) {
    if (step.graph_without_r1) {
      model.on_graph(0, {}, at(step.t));
    } else {
      model.on_current_failure(kR1, step.failures, at(step.t));
    }
    const RobotView view = robot(model.snapshot(at(step.t)), kR1);
    EXPECT_EQ(view.state, step.state) << step.what;
    EXPECT_EQ(view.state_since, at(step.since)) << step.what;
  }
  // Between "cleared" and "back": stale three periods (1 s) after 3.5 s.
  FleetModel silent;
  silent.on_current_failure(kR1, {}, at(0));
  silent.on_current_failure(kR1, {1001}, at(1));
  const RobotView stale = robot(silent.snapshot(at(4.5)), kR1);
  EXPECT_EQ(stale.state, RobotState::kStale);
  EXPECT_EQ(stale.state_since, at(4));
  EXPECT_EQ(stale.failures, std::vector<std::int32_t>{1001});  // what it said last
  // Gone stays listed, gone, whatever the time.
  silent.on_graph(0, {}, at(5));
  EXPECT_EQ(robot(silent.snapshot(at(500)), kR1).state, RobotState::kGone);
}

TEST(FleetModelTest, TreeCountsNewestRaiseAndRobotStatus)
{
  FleetModel model;
  // 1001 root of 1002 and 1003; 1101 root; 1203 below a missing 999.
  model.on_tree(
      kR1, tree_of({{1001, 1001}, {1002, 1001}, {1003, 1002}, {1101, 1101}, {1203, 999}}), at(0));
  model.on_fsm_status(kR1, 2, 2, at(0));
  RobotView view = robot(model.snapshot(at(0)), kR1);
  EXPECT_EQ(view.state, RobotState::kDegraded);  // no current_failure yet: the tree tells
  EXPECT_EQ(view.root_causes, 2u);
  EXPECT_EQ(view.consequences, 3u);
  ASSERT_TRUE(view.newest_raise);
  EXPECT_EQ(view.newest_raise->fault_id, 1003);
  EXPECT_EQ(view.newest_raise->description, "fault 1003");
  EXPECT_EQ(view.robot_status, 3);

  model.on_tree(kR1, tree_of({}), at(1));
  model.on_fsm_status(kR1, 1, 0, at(1));
  view = robot(model.snapshot(at(1)), kR1);
  EXPECT_EQ(view.root_causes + view.consequences, 0u);
  EXPECT_FALSE(view.newest_raise);
  EXPECT_EQ(view.robot_status, 1);
}

TEST(FleetModelTest, ExceptionHandlesPerSlidingMinuteAndBounds)
{
  FleetModel model;
  for (int i = 0; i < 30; ++i) {
    model.on_exception_handle(kR1, at(i));  // one a second, 0..29 s
  }
  EXPECT_EQ(robot(model.snapshot(at(30)), kR1).exception_handles_per_minute, 30.0);
  EXPECT_EQ(robot(model.snapshot(at(75)), kR1).exception_handles_per_minute, 14.0);  // 16..29
  EXPECT_EQ(robot(model.snapshot(at(200)), kR1).exception_handles_per_minute, 0.0);

  FleetModel flood;
  const std::size_t extra = 5;
  for (std::size_t i = 0; i < FleetModel::kExceptionHandlesKept + extra; ++i) {
    flood.on_exception_handle(kR1, at(1));
  }
  RobotView view = robot(flood.snapshot(at(1)), kR1);
  EXPECT_EQ(view.exception_handles_per_minute, FleetModel::kExceptionHandlesKept);
  EXPECT_EQ(view.exception_handles_dropped, extra);

  std::vector<std::int32_t> many(FleetModel::kFailuresKept + 7);
  for (std::size_t i = 0; i < many.size(); ++i) {
    many[i] = static_cast<std::int32_t>(many.size() - i);
  }
  flood.on_current_failure(kR1, many, at(2));
  view = robot(flood.snapshot(at(2)), kR1);
  EXPECT_EQ(view.failures.size(), FleetModel::kFailuresKept);
  EXPECT_EQ(view.failures_dropped, 7u);
  EXPECT_TRUE(std::is_sorted(view.failures.begin(), view.failures.end()));
}

TEST(FleetModelTest, SnapshotIsSortedByDomainThenNamespaceAndGraphsArePerDomain)
{
  FleetModel model;
  model.on_graph(3, {"/b", "/a"}, at(0));
  model.on_graph(0, {"/z", "/"}, at(0));
  model.on_graph(0, {"/z"}, at(1));  // only domain 0's "/" leaves
  std::vector<std::string> order;
  for (const RobotView & view : model.snapshot(at(1)).robots) {
    order.push_back(
        std::to_string(view.key.domain) + view.key.ns + ":" + robot_state_name(view.state));
  }
  EXPECT_EQ(order, (std::vector<std::string>{"0/:gone", "0/z:ok", "3/a:ok", "3/b:ok"}));
}

TEST(FleetViewTest, JsonDocumentAndTable)
{
  FleetModel model;
  model.on_graph(4, {"/r\"1"}, at(0));
  model.on_current_failure({4, "/r\"1"}, {1003, 1001}, at(0.25));
  model.on_tree({4, "/r\"1"}, tree_of({{1001, 1001}, {1003, 1001}}), at(0.25));
  model.on_exception_handle({4, "/r\"1"}, at(0.25));
  const FleetSnapshot snapshot = model.snapshot(at(1001.5));
  // Stale: its last message was 1001 s ago.
  EXPECT_EQ(
      fleet_json(snapshot),
      "{\"robots\":[{\"namespace\":\"/r\\\"1\",\"domain\":4,\"state\":\"stale\","
      "\"state_since\":1796611203.250,\"root_causes\":1,\"consequences\":1,"
      "\"newest_raise\":{\"fault_id\":1003,\"description\":\"fault 1003\",\"age_s\":1.500},"
      "\"robot_status\":1,\"exception_handles_per_minute\":0.0,\"failures\":[1001,1003]}],"
      "\"time\":1796612201.500}");
  const std::string table = fleet_table(snapshot);
  EXPECT_NE(table.find("ROBOT"), std::string::npos);
  EXPECT_NE(table.find("1003 fault 1003 1s"), std::string::npos) << table;
  EXPECT_NE(table.find("stale"), std::string::npos);
  EXPECT_EQ(fleet_table(FleetSnapshot{}), "No diagnosis centre found\n");
}

TEST(FleetViewTest, ShortAges)
{
  const std::vector<std::pair<seconds, std::string>> cases = {
      {seconds(-5), "0s"},    {seconds(0), "0s"},    {seconds(59), "59s"},   {seconds(60), "1m"},
      {seconds(3599), "59m"}, {seconds(7200), "2h"}, {seconds(172800), "2d"}};
  for (const auto & [age, text] : cases) {
    EXPECT_EQ(short_age(age), text) << age.count();
  }
}

TEST(FleetDiscoveryTest, CentresAreCurrentFailurePublishersOfTheRightType)
{
  const std::map<std::string, std::vector<std::string>> topics = {
      {"/current_failure", {kCurrentFailureType}},
      {"/robot1/current_failure", {kCurrentFailureType}},
      {"/site/robot2/current_failure", {"std_msgs/msg/String", kCurrentFailureType}},
      {"/robot3/current_failure", {"std_msgs/msg/String"}},  // another type
      {"/robot4/current_failures", {kCurrentFailureType}},
      {"/robot4/diagnosis_tree", {"corvanta_protocol/msg/DiagnosisTree"}},
  };
  EXPECT_EQ(
      centre_namespaces(topics, "/"), (std::set<std::string>{"/", "/robot1", "/site/robot2"}));
  EXPECT_EQ(centre_namespaces(topics, ""), centre_namespaces(topics, "/"));
  EXPECT_EQ(centre_namespaces(topics, "/site"), (std::set<std::string>{"/site/robot2"}));
  EXPECT_EQ(centre_namespaces(topics, "/robot"), (std::set<std::string>{}));
}

TEST(DomainListTest, ParsesIdsAndRangesAndNamesTheOptionOnErrors)
{
  struct Case
  {
    const char * text;
    std::optional<std::vector<int>> domains;
  };
  const std::vector<Case> cases = {
      {"0", std::vector<int>{0}},
      {"0,3-7", std::vector<int>{0, 3, 4, 5, 6, 7}},
      {"7,3-4,4", std::vector<int>{3, 4, 7}},
      {"232", std::vector<int>{232}},
      {"5-5", std::vector<int>{5}},
      {"", std::nullopt},
      {"233", std::nullopt},
      {"-1", std::nullopt},
      {"7-3", std::nullopt},
      {"1,,2", std::nullopt},
      {"1,", std::nullopt},
      {"a", std::nullopt},
      {"+3", std::nullopt},
      {"1-", std::nullopt},
      {"0-99999999999999999999", std::nullopt},
  };
  for (const Case & c : cases) {
    std::string error;
    EXPECT_EQ(parse_domain_list(c.text, "--domains", error), c.domains) << c.text;
    EXPECT_EQ(error.rfind("--domains", 0) == 0, !c.domains) << c.text << ": " << error;
  }
}

}  // namespace
}  // namespace diagctl
