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

// Diagnostic events travel from the module topics to every output of the
// centre: exception-handle requests, current-failure snapshots, the root
// causes of the query service, the log and the fault-record file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "centre_run.hpp"
#include "diagnostic_center/contract/record_line.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"
#include "log_text.hpp"
#include "robot_probe.hpp"

namespace diagnostic_center_test {
namespace {

using namespace std::chrono_literals;
using diagnostic_center::contract::FormatRecordLine;
using diagnostic_center::contract::IsRecordTime;
using Ids = std::vector<std::int32_t>;

constexpr std::int64_t kNanosPerSecond = 1'000'000'000;

// Waits until the only file in `dir` holds `lines` lines; returns its path.
std::filesystem::path WaitForRecordLines(
    const std::filesystem::path & dir, std::size_t lines, std::chrono::milliseconds timeout)
{
  std::filesystem::path file;
  WaitUntil(
      [&] {
        const auto files = FilesIn(dir);
        file = files.size() == 1 ? files.front() : std::filesystem::path{};
        return !file.empty() && SplitLines(ReadFile(file)).size() >= lines;
      },
      timeout, 50ms);
  return file;
}

TEST(EventFlow, RaisesAndClearsReachEveryOutput)
{
  ScratchDir scratch("event_flow");
  const auto record_dir = scratch.path() / "records" / "centre";  // missing: the node creates it
  RobotProbe probe;
  auto centre = StartCentre(
      scratch.path(),
      {"diag_event_list:=[1001, 1002, 1003, -5]", "1001_description:=arm overcurrent",
       "1002_root_cause:=1001", "1002_description:=arm joint lost",
       "1003_description:=lidar timeout", "4294967291_description:=bus off",
       "fault_record_dir:=" + record_dir.string(), "fault_record_refresh_space:=1"},
      {"--log-level", "diagnostic_center:=debug"});
  ASSERT_TRUE(WaitUntilServing(*centre, probe));

  // No failure yet: success with an empty payload, which is an empty DiagSrvResp.
  const auto empty = probe.QueryRootCauses(5s);
  ASSERT_TRUE(empty.has_value()) << "diagnostic_srv did not answer";
  EXPECT_EQ(empty->result, 0);
  EXPECT_TRUE(empty->data.empty());

  const auto base = static_cast<std::int32_t>(std::time(nullptr));
  // A root cause, then its consequence 300 ms later (within its 500 ms).
  probe.Raise("arm_driver_diag_topic", 1001, Stamp(base), "motor 3 current 12 A");
  ASSERT_TRUE(probe.WaitForExceptionHandles(1, 5s)) << StderrTail(*centre);
  probe.Raise("arm_manager_diag_topic", 1002, Stamp(base, 300'000'000), "joint 2 silent");
  ASSERT_TRUE(probe.WaitForExceptionHandles(2, 5s)) << StderrTail(*centre);

  // What the module control drops: a status other than 0 and 1, an id that
  // is not configured, a clear of id 0. The raise behind them on the same
  // topic shows they have been dealt with.
  corvanta_protocol::msg::DiagnosticEvent odd_status;
  odd_status.stamp = Stamp(base);
  odd_status.fault_id = 1003;
  odd_status.status = 2;
  probe.Publish("monitor_diag_topic", odd_status);
  probe.Raise("monitor_diag_topic", 4242, Stamp(base), "not configured");
  probe.Clear("monitor_diag_topic", 0, Stamp(base));
  probe.Raise("monitor_diag_topic", 1003, Stamp(base + 1), "no scan\r\nfor 2 s");
  ASSERT_TRUE(probe.WaitForExceptionHandles(3, 5s)) << StderrTail(*centre);
  // A negative list element configures the id with the same 32 bits.
  probe.Raise("chassis_loc_diag_topic", -5, Stamp(base + 2));
  ASSERT_TRUE(probe.WaitForExceptionHandles(4, 5s)) << StderrTail(*centre);

  EXPECT_EQ(probe.ExceptionHandleIds(), (Ids{1001, 1002, 1003, -5}));
  for (const auto & handle : probe.ExceptionHandles()) {
    EXPECT_EQ(handle.message.stamp.sec, 0);
    EXPECT_EQ(handle.message.stamp.nanosec, 0u);
    EXPECT_TRUE(handle.message.source.empty());
  }

  // A raise is announced before the tree changes, so the tree may still lag
  // behind the last request.
  Ids roots;
  EXPECT_TRUE(probe.WaitForRootCauses({-5, 1001, 1003}, 5s, &roots))
      << "1002 hangs below 1001; last roots: " << testing::PrintToString(roots);
  const auto reply = probe.QueryRootCauses(5s);
  ASSERT_TRUE(reply.has_value()) << "diagnostic_srv did not answer";
  EXPECT_EQ(reply->result, 0);
  ASSERT_TRUE(reply->decoded) << "payload is not a DiagSrvResp";
  const auto again = probe.QueryRootCauses(5s);
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(again->data, reply->data) << "same tree, same bytes";
  Ids snapshot;
  EXPECT_TRUE(probe.WaitForCurrentFailure({-5, 1001, 1002, 1003}, 3s, &snapshot))
      << "last current_failure: " << testing::PrintToString(snapshot);

  // Clearing the root cause makes its consequence a root; a clear announces nothing.
  probe.Clear("arm_driver_diag_topic", 1001, Stamp(base + 3), "recovered");
  EXPECT_TRUE(probe.WaitForRootCauses({-5, 1002, 1003}, 5s, &roots))
      << "last roots: " << testing::PrintToString(roots);
  EXPECT_TRUE(probe.WaitForCurrentFailure({-5, 1002, 1003}, 3s, &snapshot))
      << "last current_failure: " << testing::PrintToString(snapshot);
  EXPECT_EQ(probe.ExceptionHandleCount(), 4u);

  // The refresh appends one line per handled event, in handling order, with
  // control characters of the message escaped.
  const auto record_file = WaitForRecordLines(record_dir, 5, 5s);
  ASSERT_FALSE(record_file.empty()) << "no single record file in " << record_dir;
  EXPECT_TRUE(IsRecordTime(record_file.filename().string())) << record_file;
  EXPECT_EQ(
      ReadFile(record_file),
      FormatRecordLine(base, 1001, "arm overcurrent", 1, "motor 3 current 12 A") +
          FormatRecordLine(base, 1002, "arm joint lost", 1, "joint 2 silent") +
          FormatRecordLine(base + 1, 1003, "lidar timeout", 1, "no scan\r\nfor 2 s") +
          FormatRecordLine(base + 2, -5, "bus off", 1, "") +
          FormatRecordLine(base + 3, 1001, "arm overcurrent", 0, "recovered"));
  struct stat dir_stat
  {
  };
  ASSERT_EQ(stat(record_dir.c_str(), &dir_stat), 0);
  EXPECT_EQ(dir_stat.st_mode & 07777, 0744u);

  const std::string log = centre->Stderr();
  EXPECT_TRUE(HasLogLine(log, "INFO", "fault recorder file path : " + record_file.string()));
  for (const char * message :
       {"receive failure event : 1001, desc: arm overcurrent, status : 1",
        "receive failure event : 1002, desc: arm joint lost, status : 1",
        "receive failure event : 1003, desc: lidar timeout, status : 1",
        "receive failure event : -5, desc: bus off, status : 1",
        "receive failure event : 1001, desc: arm overcurrent, status : 0",
        "nodes_.size() : 1, roots_.size() : 1", "nodes_.size() : 2, roots_.size() : 1",
        "nodes_.size() : 3, roots_.size() : 2", "nodes_.size() : 4, roots_.size() : 3",
        "nodes_.size() : 3, roots_.size() : 3", "diag robot status 1 to 2"}) {
    EXPECT_TRUE(HasLogLine(log, "INFO", message)) << "missing INFO line: " << message;
  }
  const std::int64_t root_time = base * kNanosPerSecond;
  EXPECT_TRUE(HasLogLine(
      log, "INFO",
      "root time tp : " + std::to_string(root_time) + ", sub time tp : " +
          std::to_string(root_time + 300'000'000) + ", sub time dis : 500 ms"));
  // Every received event is logged at DEBUG, also those dropped afterwards.
  for (const char * message : {"receive event 1001", "receive event 4242", "receive event 0"}) {
    EXPECT_TRUE(HasLogLine(log, "DEBUG", message)) << "missing DEBUG line: " << message;
  }
  EXPECT_EQ(CountOccurrences(log, "receive event 1003"), 2u);
  EXPECT_EQ(CountOccurrences(log, "receive failure event : 4242"), 0u);
  EXPECT_EQ(CountOccurrences(log, "status : 2"), 0u);
  EXPECT_TRUE(LogMessages(log, "WARN").empty()) << StderrTail(*centre);
  EXPECT_TRUE(LogMessages(log, "ERROR").empty()) << StderrTail(*centre);
}

// A fleet runs one centre per robot, each in the robot's namespace, on the
// shipped parameter file: its topics, service and fault table follow it there.
TEST(EventFlow, TheExampleConfigurationServesARobotInItsNamespace)
{
  ScratchDir scratch("namespaced_robot");
  RobotProbe probe("robot_probe", "/robot3");
  auto centre = StartCentre(
      scratch.path(), {},
      {"-r", "__ns:=/robot3", "--params-file", EXAMPLE_PARAMETER_FILE, "-p",
       "fault_record_dir:=" + (scratch.path() / "records").string()});
  ASSERT_TRUE(WaitUntilServing(*centre, probe));

  const auto now = static_cast<std::int32_t>(std::time(nullptr));
  probe.Raise("chassis_driver_diag_topic", 1001, Stamp(now), "bus voltage 0 V");
  ASSERT_TRUE(probe.WaitForExceptionHandles(1, 5s)) << StderrTail(*centre);
  EXPECT_EQ(probe.ExceptionHandleIds(), (Ids{1001}));
  Ids roots;
  EXPECT_TRUE(probe.WaitForRootCauses({1001}, 5s, &roots))
      << "last roots: " << testing::PrintToString(roots);
}

}  // namespace
}  // namespace diagnostic_center_test
