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

// From updater statuses to the centre's events: edges only, each level as
// its mapping says, patterns that select several statuses, and the centre's
// own statuses left alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diagnostics_bridge/status_edges.hpp"

namespace diagnostics_bridge {
namespace {

using diagnostic_msgs::msg::DiagnosticStatus;

constexpr std::uint8_t OK = DiagnosticStatus::OK;
constexpr std::uint8_t WARN = DiagnosticStatus::WARN;
constexpr std::uint8_t ERROR = DiagnosticStatus::ERROR;
constexpr std::uint8_t STALE = DiagnosticStatus::STALE;

DiagnosticStatus Status(
    const std::string & name, std::uint8_t level, const std::string & message = "m")
{
  DiagnosticStatus status;
  status.name = name;
  status.level = level;
  status.message = message;
  status.hardware_id = "hw";
  return status;
}

const char * kMappings =
    "mappings:\n"
    "  - {fault_id: 1, topic: chassis_driver_diag_topic, name: 'motor: Temperature'}\n"
    "  - {fault_id: 2, topic: chassis_driver_diag_topic, name: 'motor: Current', warn: raise}\n"
    "  - {fault_id: 3, topic: sensor_proxy_diag_topic, name_pattern: 'lidar_.*: Frequency',\n"
    "     stale: raise}\n";

// Feeds the arrays one by one and sends what is unsent after each; the
// events as "<id>+" (raised) or "<id>-" (cleared).
class Bridge
{
public:
  Bridge() : edges_(ParseMappings(kMappings, "test")) {}

  std::vector<std::string> Feed(const std::vector<DiagnosticStatus> & array)
  {
    edges_.Observe(array);
    std::vector<std::string> sent;
    for (const FaultChange & change : edges_.Unsent()) {
      sent.push_back(std::to_string(change.fault_id) + (change.present ? "+" : "-"));
      last_ = change;
      edges_.MarkSent(change);
    }
    return sent;
  }

  StatusEdges & edges() { return edges_; }
  const FaultChange & last() const { return last_; }

private:
  StatusEdges edges_;
  FaultChange last_;
};

using Events = std::vector<std::string>;

TEST(StatusEdges, SendsOnlyWhenAFaultChanges)
{
  Bridge bridge;
  EXPECT_EQ(bridge.Feed({Status("motor: Temperature", OK)}), Events{"1-"})
      << "the first state is sent, so that a restarted bridge clears what it raised";
  EXPECT_EQ(bridge.Feed({Status("motor: Temperature", OK)}), Events{});
  EXPECT_EQ(bridge.Feed({Status("motor: Temperature", ERROR, "82 C")}), Events{"1+"});
  EXPECT_EQ(bridge.last().event_msg, "motor: Temperature [ERROR]: 82 C");
  EXPECT_EQ(bridge.last().topic, "chassis_driver_diag_topic");
  EXPECT_EQ(bridge.last().source, "motor: Temperature");
  EXPECT_EQ(bridge.Feed({Status("motor: Temperature", ERROR, "85 C")}), Events{})
      << "a repeat with another message is no edge";
  EXPECT_EQ(bridge.Feed({Status("motor: Temperature", OK, "60 C")}), Events{"1-"});
  EXPECT_EQ(bridge.last().event_msg, "motor: Temperature [OK]: 60 C");
  EXPECT_EQ(bridge.Feed({}), Events{}) << "a status that is not published keeps its level";
}

TEST(StatusEdges, WarnAndStaleRaiseOrAreIgnoredPerMapping)
{
  Bridge bridge;
  // Fault 1 ignores WARN and STALE: they neither raise nor clear it.
  EXPECT_EQ(bridge.Feed({Status("motor: Temperature", WARN)}), Events{})
      << "an ignored level is no state";
  EXPECT_EQ(bridge.Feed({Status("motor: Temperature", ERROR)}), Events{"1+"});
  EXPECT_EQ(bridge.Feed({Status("motor: Temperature", WARN)}), Events{});
  EXPECT_EQ(bridge.Feed({Status("motor: Temperature", STALE)}), Events{});
  EXPECT_EQ(bridge.Feed({Status("motor: Temperature", OK)}), Events{"1-"});
  // Fault 2 raises on WARN, and not on STALE.
  EXPECT_EQ(bridge.Feed({Status("motor: Current", WARN)}), Events{"2+"});
  EXPECT_EQ(bridge.Feed({Status("motor: Current", ERROR)}), Events{});
  EXPECT_EQ(bridge.Feed({Status("motor: Current", STALE)}), Events{});
  EXPECT_EQ(bridge.Feed({Status("motor: Current", OK)}), Events{"2-"});
  // Fault 3 raises on STALE, not on WARN; a level beyond STALE means nothing.
  EXPECT_EQ(bridge.Feed({Status("lidar_front: Frequency", STALE)}), Events{"3+"});
  EXPECT_EQ(bridge.Feed({Status("lidar_front: Frequency", OK)}), Events{"3-"});
  EXPECT_EQ(bridge.Feed({Status("lidar_front: Frequency", WARN)}), Events{});
  EXPECT_EQ(bridge.Feed({Status("lidar_front: Frequency", 7)}), Events{});
}

TEST(StatusEdges, APatternFaultStaysRaisedWhileAnySelectedStatusRaisesIt)
{
  Bridge bridge;
  EXPECT_EQ(
      bridge.Feed(
          {Status("lidar_front: Frequency", ERROR, "no scan"),
           Status("lidar_rear: Frequency", OK)}),
      Events{"3+"});
  EXPECT_EQ(bridge.last().source, "lidar_front: Frequency");
  EXPECT_EQ(bridge.Feed({Status("lidar_rear: Frequency", ERROR, "rear")}), Events{});
  EXPECT_EQ(bridge.Feed({Status("lidar_front: Frequency", OK)}), Events{})
      << "the rear lidar still raises it";
  EXPECT_EQ(bridge.Feed({Status("lidar_rear: Frequency", OK, "back")}), Events{"3-"});
  EXPECT_EQ(bridge.last().event_msg, "lidar_rear: Frequency [OK]: back");
  // Two arrays' worth in one: the fault follows the last word of each status.
  EXPECT_EQ(
      bridge.Feed({Status("lidar_rear: Frequency", ERROR), Status("lidar_rear: Frequency", OK)}),
      Events{});
}

TEST(StatusEdges, ARaiseIsExplainedByAStatusThatRaisesIt)
{
  Bridge bridge;
  bridge.Feed({Status("lidar_a: Frequency", ERROR, "a down"), Status("lidar_b: Frequency", OK)});
  bridge.Feed({Status("lidar_b: Frequency", OK)});
  bridge.edges().ForgetSent("sensor_proxy_diag_topic");
  EXPECT_EQ(bridge.Feed({}), Events{"3+"});
  EXPECT_EQ(bridge.last().event_msg, "lidar_a: Frequency [ERROR]: a down");
}

TEST(StatusEdges, OffersTheCurrentStateAgainToACentreThatCameBack)
{
  Bridge bridge;
  bridge.Feed({Status("motor: Temperature", ERROR), Status("lidar_x: Frequency", ERROR)});
  bridge.edges().ForgetSent("chassis_driver_diag_topic");
  EXPECT_EQ(bridge.Feed({}), Events{"1+"}) << "only the faults of the topic that came back";
  // Unsent changes stay offered until they are marked sent.
  bridge.edges().Observe({Status("motor: Temperature", OK)});
  EXPECT_EQ(bridge.edges().Unsent().size(), 1u);
  EXPECT_EQ(bridge.edges().Unsent().size(), 1u);
}

TEST(StatusEdges, LeavesTheCentresOwnStatusesAlone)
{
  for (const char * name :
       {"diagnostic_center", "diagnostic_center/1001", "diagnostic_center/-5",
        "robot3/diagnostic_center", "/robot3/diagnostic_center/1001",
        "site/a/robot3/diagnostic_center", "site/a/robot3/diagnostic_center/-5"}) {
    EXPECT_TRUE(IsCentreStatus(name)) << name;
  }
  for (const char * name :
       {"diagnostic_center/x", "diagnostic_centers", "my_diagnostic_center", "diagnostic_center/-",
        "motor: Temperature", ""}) {
    EXPECT_FALSE(IsCentreStatus(name)) << name;
  }
  StatusEdges edges(ParseMappings(
      "mappings:\n  - {fault_id: 9, topic: monitor_diag_topic, name_pattern: '.*'}\n", "test"));
  edges.Observe({Status("diagnostic_center/1001", ERROR), Status("diagnostic_center", ERROR)});
  edges.Observe(
      {Status("robot3/diagnostic_center/1001", ERROR), Status("robot3/diagnostic_center", ERROR)});
  EXPECT_TRUE(edges.Unsent().empty());
}

TEST(StatusEdges, KeepsBoundedStateWhateverTheNetworkSends)
{
  Bridge bridge;
  bridge.Feed({Status("motor: Temperature", ERROR, std::string(100000, 'x'))});
  EXPECT_EQ(
      bridge.last().event_msg,
      "motor: Temperature [ERROR]: " + std::string(StatusEdges::kMaxMessageBytes, 'x') + "...");

  StatusEdges edges(ParseMappings(
      "mappings:\n  - {fault_id: 9, topic: monitor_diag_topic, name_pattern: '.*'}\n", "test"));
  std::vector<DiagnosticStatus> many;
  for (std::size_t i = 0; i < StatusEdges::kMaxStatusesPerFault + 10; ++i) {
    many.push_back(Status("s" + std::to_string(i), OK));
  }
  edges.Observe(many);
  EXPECT_EQ(edges.untracked_statuses(), 10u);
  edges.Observe({Status(std::string(StatusEdges::kMaxStatusKeyBytes, 'n'), ERROR)});
  EXPECT_EQ(edges.untracked_statuses(), 11u) << "with its hardware id, too long a key";
  // Known statuses still count.
  edges.Observe({Status("s0", ERROR)});
  ASSERT_EQ(edges.Unsent().size(), 1u);
  EXPECT_TRUE(edges.Unsent()[0].present);
}

}  // namespace
}  // namespace diagnostics_bridge
