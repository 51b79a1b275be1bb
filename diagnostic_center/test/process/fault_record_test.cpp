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

// The fault recorder as seen from outside: a record directory it cannot use
// leaves the rest of the node working, and a SIGTERM or SIGINT writes the
// records already handed over before the process is killed, also when they
// are many and the disk is slow.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
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
using Ids = std::vector<std::int32_t>;

TEST(FaultRecordDir, UnusableDirectoryWarnsAndTheNodeStillServes)
{
  ScratchDir scratch("record_dir");
  const auto not_a_dir = scratch.path() / "not_a_dir";
  std::ofstream(not_a_dir) << "keep me\n";
  {
    RobotProbe probe;
    auto centre = StartCentre(
        scratch.path(), {"diag_event_list:=[21]", "fault_record_dir:=" + not_a_dir.string(),
                         "fault_record_refresh_space:=1"});
    ASSERT_TRUE(WaitUntilServing(*centre, probe));
    EXPECT_TRUE(HasLogLine(
        centre->Stderr(), "WARN",
        not_a_dir.string() + " is not a directory, fault recorder init failed"))
        << StderrTail(*centre);

    probe.Raise("body_driver_diag_topic", 21, Stamp(static_cast<std::int32_t>(std::time(nullptr))));
    ASSERT_TRUE(probe.WaitForExceptionHandles(1, 5s)) << StderrTail(*centre);
    Ids seen;
    EXPECT_TRUE(probe.WaitForRootCauses({21}, 5s, &seen)) << testing::PrintToString(seen);
    EXPECT_TRUE(probe.WaitForCurrentFailure({21}, 3s, &seen)) << testing::PrintToString(seen);

    std::this_thread::sleep_for(1500ms);  // past a refresh period, had there been a timer
    EXPECT_EQ(ReadFile(not_a_dir), "keep me\n");
    EXPECT_EQ(CountOccurrences(centre->Stderr(), "fault recorder file path"), 0u);
  }
  {
    // Below a regular file no directory can be created.
    const auto below_file = not_a_dir / "records";
    auto centre = StartCentre(
        scratch.path(), {"diag_event_list:=[21]", "fault_record_dir:=" + below_file.string()});
    const auto warning =
        below_file.string() + " not exist and create it failed, fault recorder init failed";
    ASSERT_TRUE(centre->WaitForStderr(warning, 10s)) << StderrTail(*centre);
    EXPECT_TRUE(HasLogLine(centre->Stderr(), "WARN", warning));
    EXPECT_TRUE(centre->running()) << StderrTail(*centre);
  }
}

// Raises two faults and clears one, then ends the centre with `signal`; the
// three records must be in the file although no refresh ran.
void ExpectSignalFlushesRecordsThenKills(int signal, std::int32_t first_id)
{
  ScratchDir scratch("termination");
  const auto record_dir = scratch.path() / "records";
  const std::int32_t second_id = first_id + 1;
  RobotProbe probe;
  auto centre = StartCentre(
      scratch.path(),
      {"diag_event_list:=[" + std::to_string(first_id) + ", " + std::to_string(second_id) + "]",
       "fault_record_dir:=" + record_dir.string(), "fault_record_refresh_space:=3600"});
  ASSERT_TRUE(WaitUntilServing(*centre, probe));

  const auto base = static_cast<std::int32_t>(std::time(nullptr));
  probe.Raise("chassis_driver_diag_topic", first_id, Stamp(base), "first");
  probe.Raise("chassis_driver_diag_topic", second_id, Stamp(base), "second");
  ASSERT_TRUE(probe.WaitForExceptionHandles(2, 5s)) << StderrTail(*centre);
  probe.Clear("chassis_driver_diag_topic", first_id, Stamp(base + 1), "gone");
  Ids roots;
  ASSERT_TRUE(probe.WaitForRootCauses({second_id}, 5s, &roots)) << testing::PrintToString(roots);
  EXPECT_TRUE(FilesIn(record_dir).empty()) << "a refresh ran before the signal";

  centre->Signal(signal);
  const auto status = centre->WaitForExit(5s);
  ASSERT_TRUE(status.has_value()) << "still running 5 s after the signal";
  EXPECT_TRUE(status->signaled && status->signal == SIGKILL) << status->Describe();

  const auto files = FilesIn(record_dir);
  ASSERT_EQ(files.size(), 1u) << "the handed-over records were not written";
  EXPECT_EQ(
      ReadFile(files.front()), FormatRecordLine(base, first_id, "", 1, "first") +
                                   FormatRecordLine(base, second_id, "", 1, "second") +
                                   FormatRecordLine(base + 1, first_id, "", 0, "gone"));
}

TEST(Termination, SigtermWritesHandedOverRecordsThenKills)
{
  ExpectSignalFlushesRecordsThenKills(SIGTERM, 31);
}

TEST(Termination, SigintWritesHandedOverRecordsThenKills)
{
  ExpectSignalFlushesRecordsThenKills(SIGINT, 41);
}

// The environment that makes `dir` a disk writing `bytes_per_second`.
std::map<std::string, std::string> SlowDisk(
    const std::filesystem::path & dir, long bytes_per_second)
{
  const char * asan_options = std::getenv("ASAN_OPTIONS");
  return {
      {"LD_PRELOAD", SLOW_DISK_SHIM},
      {"SLOW_DISK_DIR", dir.string()},
      {"SLOW_DISK_BYTES_PER_S", std::to_string(bytes_per_second)},
      // The shim comes before the sanitizer runtime in a sanitized build.
      {"ASAN_OPTIONS",
       std::string(asan_options != nullptr ? asan_options : "") + ":verify_asan_link_order=0"},
  };
}

// Index of the first line where `actual` and `expected` differ, or -1, so
// that a failure does not print megabytes of records.
long FirstDifferentLine(const std::string & actual, const std::string & expected)
{
  const auto actual_lines = SplitLines(actual);
  const auto expected_lines = SplitLines(expected);
  for (std::size_t i = 0; i < std::max(actual_lines.size(), expected_lines.size()); ++i) {
    if (i >= actual_lines.size() || i >= expected_lines.size() ||
        actual_lines[i] != expected_lines[i]) {
      return static_cast<long>(i);
    }
  }
  return actual == expected ? -1 : static_cast<long>(actual_lines.size());
}

// Twelve megabytes of records reach a disk writing 8 MB/s at a quarter of
// that rate, with no refresh due; a SIGTERM after the last hand-over must
// still find every record in the file, whole and in order, before the kill.
TEST(Termination, ManyLargeRecordsOnASlowDiskAreAllWrittenWhole)
{
  constexpr std::int32_t kId = 51;
  constexpr std::size_t kEvents = 3000;
  constexpr std::size_t kBurst = 50;
  constexpr auto kBurstPeriod = 100ms;
  ScratchDir scratch("slow_disk");
  const auto record_dir = std::filesystem::canonical(scratch.path()) / "records";
  RobotProbe probe;
  auto centre = StartCentre(
      scratch.path(),
      {"diag_event_list:=[" + std::to_string(kId) + "]", "fault_record_dir:=" + record_dir.string(),
       "fault_record_refresh_space:=3600",
       // The load is about the disk, not the subscription: a history as deep
       // as the load keeps a busy machine from overwriting unread events.
       "diag_keep_his:=" + std::to_string(kEvents)},
      {}, SlowDisk(record_dir, 8 * 1000 * 1000));
  ASSERT_TRUE(WaitUntilServing(*centre, probe));

  const auto base = static_cast<std::int32_t>(std::time(nullptr));
  const std::string padding(4000, 'p');
  const auto message = [&](std::size_t i) { return std::to_string(i) + " " + padding; };
  auto next_burst = std::chrono::steady_clock::now();
  for (std::size_t sent = 0; sent < kEvents;) {
    std::this_thread::sleep_until(next_burst);  // the load's rate, not a wait for results
    next_burst += kBurstPeriod;
    for (std::size_t i = 0; i < kBurst; ++i, ++sent) {
      probe.Raise("arm_driver_diag_topic", kId, Stamp(base), message(sent));
    }
  }
  ASSERT_TRUE(centre->WaitForStderrCount("receive failure event : 51,", kEvents, 60s))
      << StderrTail(*centre);

  centre->Signal(SIGTERM);
  const auto status = centre->WaitForExit(10s);
  ASSERT_TRUE(status.has_value()) << "still running 10 s after the signal";
  EXPECT_TRUE(status->signaled && status->signal == SIGKILL) << status->Describe();

  const auto files = FilesIn(record_dir);
  ASSERT_EQ(files.size(), 1u);
  std::string expected;
  for (std::size_t i = 0; i < kEvents; ++i) {
    expected += FormatRecordLine(base, kId, "", 1, message(i));
  }
  const std::string content = ReadFile(files.front());
  EXPECT_EQ(FirstDifferentLine(content, expected), -1)
      << SplitLines(content).size() << " lines of " << kEvents
      << (content.empty() || content.back() == '\n' ? "" : ", the last one torn");
  for (const auto & warning : LogMessages(centre->Stderr(), "WARN")) {
    EXPECT_EQ(warning.find("fault record"), std::string::npos) << warning;
  }
}

}  // namespace
}  // namespace diagnostic_center_test
