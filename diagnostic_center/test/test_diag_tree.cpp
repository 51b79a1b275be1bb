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

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "diagnostic_center/diag_tree.hpp"
#include "rclcpp/logger.hpp"

namespace {

using corvanta_protocol::msg::DiagnosticEvent;
using diag_tree::DiagTree;
using diag_tree::FaultConfig;
using diag_tree::FaultTable;

constexpr std::int64_t kMs = 1000000;

FaultConfig Config(std::uint32_t id, std::int32_t root_cause, std::int64_t dis_ms = 500)
{
  FaultConfig config;
  config.fault_id = id;
  config.root_cause = root_cause;
  config.root_cause_time_dis = dis_ms;
  config.fault_desc = "fault " + std::to_string(id);
  return config;
}

// A raise of `id` at `time_ns` nanoseconds since the epoch.
DiagnosticEvent Raise(std::int32_t id, std::int64_t time_ns)
{
  DiagnosticEvent event;
  event.fault_id = id;
  event.status = 1;
  event.stamp.sec = static_cast<std::int32_t>(time_ns / 1000000000);
  event.stamp.nanosec = static_cast<std::uint32_t>(time_ns % 1000000000);
  return event;
}

std::set<std::uint32_t> AsSet(const std::vector<std::uint32_t> & ids)
{
  return {ids.begin(), ids.end()};
}

class DiagTreeTest : public ::testing::Test
{
protected:
  void Configure(std::initializer_list<FaultConfig> configs)
  {
    for (const FaultConfig & config : configs) {
      table_.Insert(config);
    }
  }

  FaultTable table_;
  DiagTree tree_{rclcpp::get_logger("test_diag_tree"), table_};
};

TEST(FaultTableTest, FirstRowForAnIdStays)
{
  FaultTable table;
  EXPECT_TRUE(table.Insert(Config(7, 7)));
  EXPECT_FALSE(table.Insert(Config(7, 9)));
  ASSERT_NE(table.Find(7), nullptr);
  EXPECT_EQ(table.Find(7)->root_cause, 7);
  EXPECT_EQ(table.Find(8), nullptr);
}

// A stamp is sec seconds (signed) plus nanosec nanoseconds (unsigned, and
// not limited to one second) since the epoch.
TEST_F(DiagTreeTest, TimeDistanceCountsSignedSecondsAndUnsignedNanoseconds)
{
  Configure({Config(10, 10), Config(11, 10, 500), Config(12, 10, 500)});
  const auto raise = [](std::int32_t id, std::int32_t sec, std::uint32_t nanosec) {
    DiagnosticEvent event;
    event.fault_id = id;
    event.status = 1;
    event.stamp.sec = sec;
    event.stamp.nanosec = nanosec;
    return event;
  };
  tree_.push(raise(10, 0, 0));
  tree_.push(raise(11, -1, 1'400'000'000u));  // 0.4 s
  tree_.push(raise(12, -3, 3'600'000'000u));  // 0.6 s
  EXPECT_EQ(tree_.parent_id(11), 10u);
  EXPECT_FALSE(tree_.parent_id(12)) << "600 ms is beyond its 500 ms";
}

TEST_F(DiagTreeTest, CheckTimeStampTruncatesToWholeMilliseconds)
{
  EXPECT_TRUE(tree_.CheckTimeStamp(0, 500 * kMs + 900000, 500));  // 500.9 ms
  EXPECT_FALSE(tree_.CheckTimeStamp(0, 501 * kMs, 500));
  EXPECT_TRUE(tree_.CheckTimeStamp(0, 500 * kMs, 500));
  // A sub failure stamped before its root cause always passes.
  EXPECT_TRUE(tree_.CheckTimeStamp(1000000 * kMs, 0, 0));
  // -0.9 ms truncates toward zero, not down to -1.
  EXPECT_TRUE(tree_.CheckTimeStamp(kMs - 100000, 0, 0));
  EXPECT_FALSE(tree_.CheckTimeStamp(0, kMs, 0));
}

// "id<parent" for every current failure, by id; a root shows its id alone,
// followed by "!" when the list of roots disagrees.
std::string Shape(const DiagTree & tree)
{
  const std::set<std::uint32_t> roots = AsSet(tree.root_ids());
  std::string shape;
  for (const std::uint32_t id : AsSet(tree.all_ids())) {
    shape += (shape.empty() ? "" : ",") + std::to_string(id);
    const auto parent = tree.parent_id(id);
    if (parent) {
      shape += "<" + std::to_string(*parent);
    }
    if (parent.has_value() == (roots.count(id) != 0)) {
      shape += "!";
    }
  }
  return shape;
}

// Runs a script of steps on `tree`: "+ID@MS" raises ID at MS milliseconds
// (fractions allowed), "-ID" clears it, "=SHAPE" expects Shape() to be SHAPE.
void RunScript(DiagTree & tree, const std::string & script)
{
  std::istringstream steps(script);
  std::string done;
  for (std::string step; steps >> step; done += step + " ") {
    if (step[0] == '+') {
      const auto at = step.find('@');
      const double ms = std::stod(step.substr(at + 1));
      tree.push(Raise(std::stoi(step.substr(1, at - 1)), std::llround(ms * kMs)));
    } else if (step[0] == '-') {
      tree.remove(static_cast<std::uint32_t>(std::stoul(step.substr(1))));
    } else {
      EXPECT_EQ(Shape(tree), step.substr(1)) << "after " << done;
    }
  }
}

// The attach and detach rules, one scenario each (distances 500 ms unless
// given).
TEST(DiagTreeScenarioTest, AttachAndDetachRules)
{
  struct Scenario
  {
    const char * name;
    std::vector<FaultConfig> configs;
    const char * script;
  };
  const std::uint32_t minus_five = 4294967291u;
  const std::vector<Scenario> scenarios = {
      {"self_rooted_faults_are_all_roots",
       {Config(1, 1), Config(2, 2), Config(3, 3)},
       "+1@0 +2@10 +3@20 =1,2,3"},
      // The sub's own distance counts, not the root's, truncated to whole ms.
      {"sub_300ms_after", {Config(10, 10, 0), Config(11, 10)}, "+10@1000 +11@1300 =10,11<10"},
      {"sub_500.9ms_after", {Config(10, 10, 0), Config(11, 10)}, "+10@1000 +11@1500.9 =10,11<10"},
      {"sub_501ms_after", {Config(10, 10, 0), Config(11, 10)}, "+10@1000 +11@1501 =10,11"},
      {"sub_600ms_after", {Config(10, 10, 0), Config(11, 10)}, "+10@1000 +11@1600 =10,11"},
      {"root_raised_later_adopts_earlier_subs_whatever_the_gap",
       {Config(10, 10), Config(11, 10), Config(12, 10)},
       "+11@0 +12@5 =11,12 +10@3600000 =10,11<10,12<10"},
      {"attached_sub_stays_attached_when_raised_again_late",
       {Config(10, 10), Config(11, 10)},
       "+10@0 +11@100 +11@100000 =10,11<10"},
      {"sub_too_late_attaches_when_its_root_is_raised_again_in_time",
       {Config(10, 10), Config(11, 10)},
       "+10@0 +11@1000 =10,11 +10@900 =10,11<10"},
      {"removing_a_parent_frees_only_its_direct_children",
       {Config(1, 1), Config(2, 1), Config(3, 2), Config(4, 1)},
       "+1@0 +2@1 +3@2 +4@3 =1,2<1,3<2,4<1 -1 =2,3<2,4"},
      {"removing_a_child_leaves_its_parent_alone",
       {Config(1, 1), Config(2, 1)},
       "+1@0 +2@1 -2 =1 +2@2 =1,2<1"},
      {"unknown_raise_and_absent_clear_change_nothing", {Config(1, 1)}, "+1@0 +99@0 -42 =1"},
      {"ids_above_int32_range_match_their_signed_32_bits",
       {Config(minus_five, -5), Config(6, -5)},
       "+-5@0 +6@1 =6<4294967291,4294967291"},
      // Faults that cause each other: the one raised first stays root when
      // the other comes within its distance, else moves below the late one.
      {"mutual_causes_in_time", {Config(1, 2), Config(2, 1)}, "+2@0 +1@100 =1<2,2 -2 =1"},
      {"mutual_causes_late", {Config(1, 2), Config(2, 1)}, "+2@0 +1@600 =1,2<1"},
      // 1 <- 2 <- 3 <- 1: raising the root again must not hang it below its
      // own grandchild.
      {"longer_cycle_never_loses_its_root",
       {Config(1, 3), Config(2, 1), Config(3, 2)},
       "+1@0 +2@1 +3@2 =1,2<1,3<2 +1@3 =1,2<1,3<2"},
  };
  for (const Scenario & scenario : scenarios) {
    SCOPED_TRACE(scenario.name);
    FaultTable table;
    for (const FaultConfig & config : scenario.configs) {
      table.Insert(config);
    }
    DiagTree tree(rclcpp::get_logger("test_diag_tree"), table);
    RunScript(tree, scenario.script);
  }
}

// Brute-force model of the attach and detach rules: a linear walk over every
// current failure, with the cycle rule checked by walking up the parents.
class TreeModel
{
public:
  explicit TreeModel(const FaultTable & table) : table_(table) {}

  void push(std::uint32_t id, std::int64_t t)
  {
    const FaultConfig * config = table_.Find(id);
    if (config == nullptr) {
      return;
    }
    nodes_[id].time = t;
    Node & node = nodes_[id];
    const auto cause = static_cast<std::uint32_t>(config->root_cause);
    if (cause != id && !node.parent && nodes_.count(cause) != 0 &&
        Within(nodes_[cause].time, t, config->root_cause_time_dis) &&
        !IsSelfOrAncestor(id, cause)) {
      node.parent = cause;
    }
    for (auto & [other_id, other] : nodes_) {
      const FaultConfig * other_config = table_.Find(other_id);
      if (other_id != id && !other.parent &&
          static_cast<std::uint32_t>(other_config->root_cause) == id &&
          Within(t, other.time, other_config->root_cause_time_dis) &&
          !IsSelfOrAncestor(other_id, id)) {
        other.parent = id;
      }
    }
  }

  void remove(std::uint32_t id)
  {
    if (nodes_.erase(id) == 0) {
      return;
    }
    for (auto & entry : nodes_) {
      if (entry.second.parent == id) {
        entry.second.parent.reset();
      }
    }
  }

  std::set<std::uint32_t> All() const
  {
    std::set<std::uint32_t> ids;
    for (const auto & entry : nodes_) {
      ids.insert(entry.first);
    }
    return ids;
  }

  std::set<std::uint32_t> Roots() const
  {
    std::set<std::uint32_t> ids;
    for (const auto & entry : nodes_) {
      if (!entry.second.parent) {
        ids.insert(entry.first);
      }
    }
    return ids;
  }

  std::optional<std::uint32_t> Parent(std::uint32_t id) const { return nodes_.at(id).parent; }

private:
  struct Node
  {
    std::int64_t time = 0;
    std::optional<std::uint32_t> parent;
  };

  static bool Within(std::int64_t root, std::int64_t sub, std::int64_t dis)
  {
    return (sub - root) / kMs <= dis;
  }

  bool IsSelfOrAncestor(std::uint32_t candidate, std::uint32_t of) const
  {
    for (std::optional<std::uint32_t> up = of; up; up = nodes_.at(*up).parent) {
      if (*up == candidate) {
        return true;
      }
    }
    return false;
  }

  const FaultTable & table_;
  std::map<std::uint32_t, Node> nodes_;
};

TEST(DiagTreeRandomTest, MatchesBruteForceModelAndKeepsInvariants)
{
  constexpr std::uint32_t kIds = 12;
  for (unsigned seed = 1; seed <= 30; ++seed) {
    std::mt19937 rng(seed);
    FaultTable table;
    const std::int64_t distances[] = {0, 50, 500, 5000};
    for (std::uint32_t id = 1; id <= kIds; ++id) {
      // Unconfigured ids (kIds + 1) and cycles of every length occur.
      const auto cause = static_cast<std::int32_t>(rng() % (kIds + 1) + 1);
      table.Insert(Config(id, cause, distances[rng() % 4]));
    }
    // Thousands of raises: keep their INFO lines out of the test log.
    rclcpp::Logger quiet = rclcpp::get_logger("test_diag_tree_random");
    quiet.set_level(rclcpp::Logger::Level::Warn);
    DiagTree tree(quiet, table);
    TreeModel model(table);
    std::int64_t now = 1000000 * kMs;

    for (int step = 0; step < 400; ++step) {
      const std::uint32_t id = rng() % (kIds + 1) + 1;
      now += static_cast<std::int64_t>(rng() % 1200) * kMs - 200 * kMs;
      if (rng() % 3 == 0) {
        tree.remove(id);
        model.remove(id);
      } else {
        tree.push(Raise(static_cast<std::int32_t>(id), now));
        model.push(id, now);
      }

      const auto all = tree.all_ids();
      const auto roots = tree.root_ids();
      ASSERT_EQ(AsSet(all), model.All()) << "seed " << seed << " step " << step;
      ASSERT_EQ(AsSet(roots), model.Roots()) << "seed " << seed << " step " << step;
      ASSERT_EQ(all.size(), AsSet(all).size());
      ASSERT_EQ(roots.size(), AsSet(roots).size());
      for (const std::uint32_t current : all) {
        ASSERT_EQ(tree.parent_id(current), model.Parent(current))
            << "seed " << seed << " step " << step << " id " << current;
        // Every failure reaches a root: no cycles.
        std::optional<std::uint32_t> up = current;
        std::size_t hops = 0;
        while (tree.parent_id(*up)) {
          up = tree.parent_id(*up);
          ASSERT_LE(++hops, all.size());
        }
        ASSERT_EQ(AsSet(roots).count(*up), 1u);
      }
    }
  }
}

}  // namespace
