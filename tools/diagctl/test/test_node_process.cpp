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

// Every sub-command against the real node, over DDS. Each test runs on the
// ROS domain its CTest entry sets.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "diagnostic_center_test/child_process.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"

namespace diagctl_test {
namespace {

using diagnostic_center_test::ChildProcess;
using diagnostic_center_test::ProcessResult;
using diagnostic_center_test::ScratchDir;
using diagnostic_center_test::WaitUntil;
using std::chrono::milliseconds;
using std::chrono::seconds;

const std::string kParams = std::string(DIAGCTL_TEST_DATA) + "/params.yaml";

class NodeTest : public ::testing::Test
{
protected:
  void TearDown() override
  {
    if (node_) {
      node_->Signal(SIGINT);
      node_->Finish(seconds(5));
      node_.reset();
    }
  }

  // Starts the node and waits until its service answers. The node is the one
  // built beside diagctl, or another build of it (the interoperability tests
  // run diagctl against a node built on genuine ROS 2).
  void start_node()
  {
    node_ = std::make_unique<ChildProcess>(
        diagnostic_center_test::ExecutableFromEnvironment(
            "DIAGNOSTIC_CENTER_EXECUTABLE", DIAGNOSTIC_CENTER_BINARY),
        std::vector<std::string>{
            "--ros-args", "--params-file", kParams, "-p", "fault_record_dir:=" + records_dir()},
        scratch_.NewSubdir("node"));
    const ProcessResult ready = diagctl({"query", "--timeout", "20"});
    ASSERT_EQ(ready.exit_code, 0) << ready.err << "\nnode: " << node_->Stderr();
  }

  ProcessResult diagctl(std::vector<std::string> arguments, milliseconds timeout = seconds(30))
  {
    arguments.insert(arguments.begin(), DIAGCTL_BINARY);
    return diagnostic_center_test::RunToEnd(arguments, scratch_.NewSubdir("diagctl"), timeout);
  }

  std::unique_ptr<ChildProcess> start_diagctl(const std::vector<std::string> & arguments)
  {
    return std::make_unique<ChildProcess>(DIAGCTL_BINARY, arguments, scratch_.NewSubdir("diagctl"));
  }

  std::string records_dir() const { return (scratch_ / "records").string(); }

  // Runs `query arguments` until it prints `expected` or `timeout` passes, so
  // that a slow machine is not mistaken for a wrong answer; returns the last
  // output.
  std::string query_until(
      const std::string & expected, std::vector<std::string> arguments = {},
      milliseconds timeout = seconds(10))
  {
    arguments.insert(arguments.begin(), "query");
    std::string out;
    WaitUntil(
        [&] {
          out = diagctl(arguments).out;
          return out == expected;
        },
        timeout, milliseconds(100));
    return out;
  }

  ScratchDir scratch_{"diagctl_test"};
  std::unique_ptr<ChildProcess> node_;
};

TEST_F(NodeTest, NoNodeMeansATimeoutError)
{
  const ProcessResult query = diagctl({"query", "--timeout", "1"});
  EXPECT_EQ(query.exit_code, 1);
  EXPECT_NE(query.err.find("/diagnostic_srv did not answer within 1 s"), std::string::npos)
      << query.err;
  EXPECT_EQ(query.out, "");

  const ProcessResult raise = diagctl({"raise", "arm_driver", "1", "-t", "0.5"});
  EXPECT_EQ(raise.exit_code, 1);
  EXPECT_NE(raise.err.find("nobody subscribes to /arm_driver_diag_topic"), std::string::npos)
      << raise.err;
}

TEST_F(NodeTest, RaiseClearAndQuery)
{
  start_node();
  ASSERT_EQ(diagctl({"query"}).out, "no root causes\n");
  const ProcessResult raise = diagctl({"raise", "arm_driver", "1", "overheat"});
  EXPECT_EQ(raise.exit_code, 0) << raise.err;
  EXPECT_NE(raise.out.find("raise 1 (status 1, stamp "), std::string::npos) << raise.out;
  EXPECT_EQ(diagctl({"raise", "arm_manager", "2"}).exit_code, 0);

  const std::string root_cause_1 =
      R"({"root_causes": [{"fault_id": 1, "description": "root, status : fault, event_msg : tricky", )"
      R"("known_consequences": [{"fault_id": 2, "description": "consequence of 1"}, )"
      R"({"fault_id": 3, "description": ""}]}]})"
      "\n";
  EXPECT_EQ(query_until(root_cause_1, {"--json", "--params", kParams}), root_cause_1);

  EXPECT_EQ(diagctl({"clear", "arm_driver", "1"}).exit_code, 0);
  EXPECT_EQ(query_until("ROOT_CAUSE\n2\n"), "ROOT_CAUSE\n2\n");
}

TEST_F(NodeTest, WatchFollowsRaisesAndStatusChanges)
{
  start_node();
  // The node's first status check (1 to 2) announces every current failure
  // again; it must be over before the raise, so that only the status change
  // below announces fault 3 a second time.
  ASSERT_TRUE(node_->WaitForStderr("diag robot status 1 to 2", seconds(20))) << node_->Stderr();
  auto watch = start_diagctl({"watch", "--duration", "120", "--interval", "0.3"});
  // The watch has found the node: it shows the empty tree both ways.
  ASSERT_TRUE(watch->WaitForStdoutCount(" root_causes\n", 1, seconds(20))) << watch->Stderr();
  ASSERT_TRUE(watch->WaitForStdoutCount(" current_failure\n", 1, seconds(20))) << watch->Stderr();

  // exception_handle is volatile: a raise that goes out before the watch's
  // reader is matched never reaches it, so raise again until one does (a
  // repeated raise is announced again).
  const std::string handle_3 = " exception_handle 3\n";
  const auto deadline = std::chrono::steady_clock::now() + seconds(30);
  do {
    ASSERT_EQ(diagctl({"raise", "body_driver", "3"}).exit_code, 0);
  } while (!watch->WaitForStdoutCount(handle_3, 1, seconds(3)) &&
           std::chrono::steady_clock::now() < deadline);
  ASSERT_TRUE(watch->WaitForStdoutCount(" current_failure 3\n", 1, seconds(20))) << watch->Stdout();
  ASSERT_TRUE(watch->WaitForStdoutCount(" root_causes 3\n", 1, seconds(20))) << watch->Stdout();

  // 2 to 3: every current failure is announced again.
  const std::size_t announced = diagnostic_center_test::CountOccurrences(watch->Stdout(), handle_3);
  ASSERT_GE(announced, 1u) << watch->Stdout();
  EXPECT_EQ(diagctl({"fsm", "2", "2"}).exit_code, 0);
  ASSERT_TRUE(node_->WaitForStderr("diag robot status 2 to 3", seconds(20))) << node_->Stderr();
  EXPECT_TRUE(watch->WaitForStdoutCount(handle_3, announced + 1, seconds(20))) << watch->Stdout();

  watch->Signal(SIGINT);
  const ProcessResult result = watch->Finish(seconds(15));
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out.find('\x1b'), std::string::npos);  // piped: no colours
}

TEST_F(NodeTest, ReplayedEventsComeBackFromTheRecordsByteForByte)
{
  start_node();
  const ProcessResult replay = diagctl({"replay", std::string(DIAGCTL_TEST_DATA) + "/tricky.yaml"});
  ASSERT_EQ(replay.exit_code, 0) << replay.err;
  EXPECT_NE(replay.out.find("+0.100s raise -5 on monitor_diag_topic"), std::string::npos)
      << replay.out;

  // The node writes its records every second.
  ProcessResult records;
  WaitUntil(
      [&] {
        records = diagctl({"records", "--params", kParams, "--json", "--unescape", records_dir()});
        return records.out.find("\"line\": 3") != std::string::npos;
      },
      seconds(10), milliseconds(250));
  EXPECT_EQ(records.exit_code, 0) << records.err;
  EXPECT_EQ(records.err, "");
  const std::string & out = records.out;
  EXPECT_NE(
      out.find(
          R"("fault_id": 1, "description": "root, status : fault, event_msg : tricky", "status": "fault", )"
          R"("message": "two\nlines\r, status : passed, event_msg : forged")"),
      std::string::npos)
      << out;
  EXPECT_NE(
      out.find(R"("fault_id": -5, "description": "negative id", "status": "fault", "message": "")"),
      std::string::npos)
      << out;
  EXPECT_NE(
      out.find(R"("status": "passed", "message": "tab\there \u001b[31m back\\slash é")"),
      std::string::npos)
      << out;

  // The table shows the node's escapes, one record per line.
  const ProcessResult table = diagctl({"records", "--params", kParams, "--id", "1", records_dir()});
  EXPECT_NE(
      table.out.find("two\\nlines\\r, status : passed, event_msg : forged\n"), std::string::npos)
      << table.out;
  EXPECT_NE(table.out.find("tab\there \\x1B[31m back\\slash é\n"), std::string::npos) << table.out;
}

TEST_F(NodeTest, TreeShowsARaisedCascade)
{
  start_node();
  EXPECT_EQ(diagctl({"tree"}).out, "No current failure\n");
  ASSERT_EQ(diagctl({"raise", "arm_driver", "1", "overheat"}).exit_code, 0);
  ASSERT_EQ(diagctl({"raise", "arm_manager", "2", "aborted"}).exit_code, 0);

  // The node handles events in cycles: ask until the consequence is in.
  ProcessResult json;
  WaitUntil(
      [&] {
        json = diagctl({"tree", "--json"});
        return json.out.find(R"("fault_id": 2)") != std::string::npos;
      },
      seconds(20), milliseconds(0));
  EXPECT_NE(
      json.out.find(
          R"("root_causes": 1, "consequences": 1, "failures": [{"fault_id": 1, "level": "error", )"
          R"("description": "root, status : fault, event_msg : tricky", "module": "/arm_driver_diag_topic", )"),
      std::string::npos)
      << json.out;
  EXPECT_NE(
      json.out.find(R"("event_msg": "overheat", "children": [{"fault_id": 2, "level": "warn", )"
                    R"("description": "consequence of 1", "module": "/arm_manager_diag_topic", )"),
      std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find(R"("event_msg": "aborted", "children": []}]}]})"), std::string::npos)
      << json.out;
  EXPECT_EQ(json.out.find('\n'), json.out.size() - 1) << "one line: " << json.out;

  const ProcessResult text = diagctl({"tree"});
  EXPECT_NE(text.out.find("\n`- 2   consequence of 1 "), std::string::npos) << text.out;
}

}  // namespace
}  // namespace diagctl_test
