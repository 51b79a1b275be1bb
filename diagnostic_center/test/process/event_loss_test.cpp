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

// A backlog beyond a module subscription's history (diag_keep_his events):
// the events the centre could not take are counted and logged, so that every
// event sent is either handled or accounted for. Built on the client layer
// only: Humble's Cyclone DDS middleware does not report what a full keep-last
// history drops.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <regex>
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
using diagnostic_center::contract::ParseRecordLine;

constexpr std::int32_t kEvents = 60;

// The fault ids of the records in `dir`, in file order.
std::vector<std::int32_t> RecordedIds(const std::filesystem::path & dir)
{
  std::vector<std::int32_t> ids;
  for (const auto & file : FilesIn(dir)) {
    for (const std::string & line : SplitLines(ReadFile(file))) {
      std::string error;
      if (const auto record = ParseRecordLine(line, error)) {
        ids.push_back(record->fault_id);
      }
    }
  }
  return ids;
}

// The events the centre's WARN lines say `topic` lost, added up.
std::size_t LostOn(const std::string & log, const std::string & topic)
{
  static const std::regex kLost(R"(module topic (\S+) lost (\d+) events \((\d+) since start\))");
  std::size_t lost = 0;
  for (const std::string & message : LogMessages(log, "WARN")) {
    std::smatch match;
    if (std::regex_search(message, match, kLost) && match[1] == topic) {
      lost += std::stoul(match[2]);
    }
  }
  return lost;
}

TEST(EventLoss, EveryEventIsHandledOrCountedLost)
{
  ScratchDir scratch("event_loss");
  const auto records = scratch.path() / "records";
  std::string event_list = "diag_event_list:=[1";
  for (std::int32_t id = 2; id <= kEvents; ++id) {
    event_list += ", " + std::to_string(id);
  }
  RobotProbe probe;
  auto centre = StartCentre(
      scratch.path(), {event_list + "]", "diag_keep_his:=2", "fault_record_refresh_space:=1",
                       "fault_record_dir:=" + records.string()});
  ASSERT_TRUE(WaitUntilServing(*centre, probe));

  // Sent while the centre is stopped, the events arrive as one burst when it
  // goes on: far more than its history of two holds until it takes them.
  centre->Signal(SIGSTOP);
  const auto now = static_cast<std::int32_t>(std::time(nullptr));
  for (std::int32_t id = 1; id <= kEvents; ++id) {
    probe.Raise("monitor_diag_topic", id, Stamp(now), "burst");
  }
  std::this_thread::sleep_for(200ms);
  centre->Signal(SIGCONT);

  std::vector<std::int32_t> handled;
  std::size_t lost = 0;
  WaitUntil(
      [&] {
        handled = RecordedIds(records);
        lost = LostOn(centre->Stderr(), "/monitor_diag_topic");
        return handled.size() + lost >= static_cast<std::size_t>(kEvents);
      },
      15s, 100ms);
  EXPECT_EQ(handled.size() + lost, static_cast<std::size_t>(kEvents)) << StderrTail(*centre);
  EXPECT_GT(lost, 0u) << "the burst did not outgrow the history";
  // What was handled came once each, in the order sent, and ends with the last.
  for (std::size_t i = 1; i < handled.size(); ++i) {
    EXPECT_LT(handled[i - 1], handled[i]) << "at record " << i;
  }
  ASSERT_FALSE(handled.empty());
  EXPECT_EQ(handled.back(), kEvents);
}

}  // namespace
}  // namespace diagnostic_center_test
