// Every sub-command against the real node, over DDS. Each test runs on the
// ROS domain its CTest entry sets.
#include <gtest/gtest.h>

#include <signal.h>

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
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string out = diagctl(arguments).out;
    while (out != expected && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(milliseconds(100));
      out = diagctl(arguments).out;
    }
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
  auto watch = start_diagctl({"watch", "--duration", "8", "--interval", "0.3"});
  std::this_thread::sleep_for(seconds(1));  // let it find the node
  EXPECT_EQ(diagctl({"raise", "body_driver", "3"}).exit_code, 0);
  std::this_thread::sleep_for(milliseconds(1500));
  // 1 -> 3: every current failure is announced again.
  EXPECT_EQ(diagctl({"fsm", "2", "2"}).exit_code, 0);

  const ProcessResult result = watch->Finish(seconds(15));
  EXPECT_EQ(result.exit_code, 0) << result.err;
  const std::string & out = result.out;
  EXPECT_NE(out.find(" root_causes\n"), std::string::npos) << out;
  EXPECT_NE(out.find(" current_failure 3\n"), std::string::npos) << out;
  EXPECT_NE(out.find(" root_causes 3\n"), std::string::npos) << out;
  const std::size_t first = out.find(" exception_handle 3\n");
  ASSERT_NE(first, std::string::npos) << out;
  EXPECT_NE(out.find(" exception_handle 3\n", first + 1), std::string::npos) << out;
  EXPECT_EQ(out.find('\x1b'), std::string::npos);  // piped: no colours
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
  for (int attempt = 0; attempt < 40; ++attempt) {
    std::this_thread::sleep_for(milliseconds(250));
    records = diagctl({"records", "--params", kParams, "--json", "--unescape", records_dir()});
    if (records.out.find("\"line\": 3") != std::string::npos) {
      break;
    }
  }
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

}  // namespace
}  // namespace diagctl_test
