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

// diagctl tree against trees published from this process the way the node
// publishes them (transient local, so a tree sent before diagctl starts still
// reaches it). Each test runs on the ROS domain its CTest entry sets.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <corvanta_protocol/msg/current_failure.hpp>
#include <corvanta_protocol/msg/diagnosis_tree.hpp>
#include <rclcpp/rclcpp.hpp>

#include "diagnostic_center_test/child_process.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"

namespace diagctl_test {
namespace {

using corvanta_protocol::msg::DiagnosisEntry;
using corvanta_protocol::msg::DiagnosisTree;
using diagnostic_center_test::ChildProcess;
using diagnostic_center_test::ProcessResult;
using std::chrono::seconds;

// Seconds since the epoch, `ago` seconds back.
std::int32_t seconds_ago(std::int32_t ago)
{
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  return static_cast<std::int32_t>(std::chrono::duration_cast<seconds>(now).count()) - ago;
}

DiagnosisEntry entry(
    std::int32_t id, std::int32_t parent, const std::string & description,
    const std::string & module, std::int32_t raised_sec)
{
  DiagnosisEntry e;
  e.fault_id = id;
  e.parent_id = parent;
  e.description = description;
  e.module = module;
  e.raised_at.sec = raised_sec;
  return e;
}

class TreeProcessTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    rclcpp::init(0, nullptr);
    node_ = std::make_shared<rclcpp::Node>("tree_publisher");
    publisher_ = node_->create_publisher<DiagnosisTree>(
        "diagnosis_tree", rclcpp::QoS(1).reliable().transient_local());
  }

  void TearDown() override
  {
    publisher_.reset();
    node_.reset();
    rclcpp::shutdown();
  }

  ProcessResult diagctl(std::vector<std::string> arguments)
  {
    arguments.insert(arguments.begin(), DIAGCTL_BINARY);
    return diagnostic_center_test::RunToEnd(arguments, scratch_.NewSubdir("diagctl"), seconds(60));
  }

  std::unique_ptr<ChildProcess> start_diagctl(const std::vector<std::string> & arguments)
  {
    return std::make_unique<ChildProcess>(DIAGCTL_BINARY, arguments, scratch_.NewSubdir("diagctl"));
  }

  // A root cause and its consequence, raised two minutes ago.
  static DiagnosisTree motor_bus_tree()
  {
    DiagnosisTree tree;
    tree.stamp.sec = 1796611200;  // 2026-12-07T02:40:00Z
    const std::int32_t raised = seconds_ago(130);
    tree.entries = {
        entry(1001, 1001, "chassis motor bus lost", "/chassis_driver_diag_topic", raised),
        entry(1002, 1001, "odometry \"stalled\"", "/chassis_loc_diag_topic", raised)};
    tree.entries[0].event_msg = "no heartbeat";
    return tree;
  }

  diagnostic_center_test::ScratchDir scratch_{"diagctl_tree_test"};
  rclcpp::Node::SharedPtr node_;
  rclcpp::Publisher<DiagnosisTree>::SharedPtr publisher_;
};

TEST_F(TreeProcessTest, PrintsTheTreePublishedBeforeItStarted)
{
  publisher_->publish(motor_bus_tree());

  const ProcessResult text = diagctl({"tree", "--timeout", "30"});
  ASSERT_EQ(text.exit_code, 0) << text.err;
  EXPECT_EQ(
      text.out,
      "Current failures: 2 (1 root cause, 1 consequence)\n\n"
      "FAULT    DESCRIPTION             MODULE                      AGE    MESSAGE\n"
      "1001     chassis motor bus lost  /chassis_driver_diag_topic  2 min  no heartbeat\n"
      "`- 1002  odometry \"stalled\"      /chassis_loc_diag_topic     2 min\n");
}

// The tree alone does not say whether the centre lives; current_failure,
// published every period, does: three periods without it and the watch says
// the tree is stale, once, until current_failure comes again.
TEST_F(TreeProcessTest, WatchSaysWhenTheCentreGoesStaleAndComesBack)
{
  auto current_failure = node_->create_publisher<corvanta_protocol::msg::CurrentFailure>(
      "current_failure", rclcpp::QoS(10));
  publisher_->publish(motor_bus_tree());
  auto watch = start_diagctl({"tree", "--watch", "--timeout", "30"});
  ASSERT_TRUE(watch->WaitForStdoutCount("`- 1002  ", 1, seconds(30))) << watch->Stderr();
  // Nothing published current_failure: stale three default periods after the start.
  ASSERT_TRUE(watch->WaitForStdoutCount(" stale since ", 1, seconds(15))) << watch->Stdout();
  EXPECT_NE(
      watch->Stdout().find(": current_failure stopped, the last tree may be out of date\n"),
      std::string::npos);
  ASSERT_TRUE(diagnostic_center_test::WaitUntil(
      [&] {
        current_failure->publish(corvanta_protocol::msg::CurrentFailure());
        return watch->WaitForStdoutCount(
            " current_failure again: the centre is back\n", 1, seconds(1));
      },
      seconds(20)))
      << watch->Stdout();
  watch->Signal(SIGINT);
  const ProcessResult result = watch->Finish(seconds(15));
  EXPECT_EQ(diagnostic_center_test::CountOccurrences(result.out, " stale since "), 1u)
      << result.out;
}

TEST_F(TreeProcessTest, WatchPrintsEverySuccessiveTree)
{
  publisher_->publish(motor_bus_tree());
  auto text = start_diagctl({"tree", "--watch", "--timeout", "30"});
  auto json = start_diagctl({"tree", "--watch", "--json", "--timeout", "30"});
  ASSERT_TRUE(text->WaitForStdoutCount("`- 1002  ", 1, seconds(30))) << text->Stderr();
  ASSERT_TRUE(json->WaitForStdoutCount("\"fault_id\": 1002", 1, seconds(30))) << json->Stderr();

  DiagnosisTree cleared;
  cleared.stamp.sec = 1796611260;
  publisher_->publish(cleared);
  ASSERT_TRUE(text->WaitForStdoutCount("No current failure\n", 1, seconds(30))) << text->Stdout();
  ASSERT_TRUE(json->WaitForStdoutCount("\"failures\": []}\n", 1, seconds(30))) << json->Stdout();

  std::vector<std::string> outputs;
  for (auto * watch : {text.get(), json.get()}) {
    watch->Signal(SIGINT);
    const ProcessResult result = watch->Finish(seconds(15));
    EXPECT_EQ(result.exit_code, 0) << result.err;
    EXPECT_EQ(result.out.find('\x1b'), std::string::npos);  // piped: no colours
    outputs.push_back(result.out);
  }
  // Each tree after a separator line; JSON Lines, in arrival order.
  EXPECT_EQ(diagnostic_center_test::CountOccurrences(outputs[0], "---- "), 2u) << outputs[0];
  EXPECT_EQ(diagnostic_center_test::CountOccurrences(outputs[1], "\n"), 2u) << outputs[1];
  EXPECT_NE(
      outputs[1].find("}\n{\"stamp\": \"2026-12-07T02:41:00.000000000Z\", "), std::string::npos)
      << outputs[1];
}

TEST_F(TreeProcessTest, NoTreeIsAnErrorAfterTheTimeout)
{
  for (const std::vector<std::string> & arguments :
       {std::vector<std::string>{"tree", "--timeout", "1"},
        std::vector<std::string>{"tree", "--watch", "--json", "--timeout", "1"}}) {
    const ProcessResult result = diagctl(arguments);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(
        result.err.find("diagctl tree: no tree on /diagnosis_tree within 1 s: is the node running"),
        std::string::npos)
        << result.err;
  }
}

}  // namespace
}  // namespace diagctl_test
