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

// A change of the robot status derived from the task centre's state machine
// announces every current failure again, one exception-handle request each.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "centre_run.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"
#include "log_text.hpp"
#include "robot_probe.hpp"

namespace diagnostic_center_test {
namespace {

using namespace std::chrono_literals;
using Ids = std::vector<std::int32_t>;

// The ids of the handles received from index `from` on, sorted.
Ids SortedIdsFrom(const RobotProbe & probe, std::size_t from)
{
  const auto all = probe.ExceptionHandleIds();
  Ids ids(all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end());
  std::sort(ids.begin(), ids.end());
  return ids;
}

TEST(RobotStatus, ChangesReannounceEveryCurrentFailure)
{
  ScratchDir scratch("robot_status");
  RobotProbe probe;
  auto centre = StartCentre(
      scratch.path(), {"diag_event_list:=[11, 12, 13]", "12_root_cause:=11",
                       "fault_record_dir:=" + (scratch.path() / "records").string()});
  ASSERT_TRUE(WaitUntilServing(*centre, probe));

  const auto base = static_cast<std::int32_t>(std::time(nullptr));
  probe.Raise("task_center_diag_topic", 11, Stamp(base));
  probe.Raise("task_center_diag_topic", 12, Stamp(base, 100'000'000));
  ASSERT_TRUE(probe.WaitForExceptionHandles(2, 5s)) << StderrTail(*centre);

  // State 2, sub-state 2: status 3. Both failures, the root and the one
  // below it, are announced again.
  probe.PublishFsm(2, 2);
  ASSERT_TRUE(centre->WaitForStderr("diag robot status 2 to 3", 5s)) << StderrTail(*centre);
  ASSERT_TRUE(probe.WaitForExceptionHandles(4, 3s));
  EXPECT_EQ(SortedIdsFrom(probe, 2), (Ids{11, 12}));

  // State 2 with any other sub-state: status 2.
  probe.PublishFsm(2, 1);
  ASSERT_TRUE(centre->WaitForStderr("diag robot status 3 to 2", 5s)) << StderrTail(*centre);
  ASSERT_TRUE(probe.WaitForExceptionHandles(6, 3s));
  EXPECT_EQ(SortedIdsFrom(probe, 4), (Ids{11, 12}));

  // States 1, 3 and 5: status 1.
  probe.PublishFsm(3, 0);
  ASSERT_TRUE(centre->WaitForStderr("diag robot status 2 to 1", 5s)) << StderrTail(*centre);
  ASSERT_TRUE(probe.WaitForExceptionHandles(8, 3s));
  EXPECT_EQ(SortedIdsFrom(probe, 6), (Ids{11, 12}));

  // Every other state (here a negative one) is status 2; the change announces
  // the failures current at that moment.
  probe.Clear("task_center_diag_topic", 11, Stamp(base + 1));
  probe.Raise("monitor_diag_topic", 13, Stamp(base + 1));
  ASSERT_TRUE(probe.WaitForExceptionHandles(9, 5s));
  Ids roots;
  ASSERT_TRUE(probe.WaitForRootCauses({12, 13}, 5s, &roots)) << testing::PrintToString(roots);
  probe.PublishFsm(-1, 0);
  ASSERT_TRUE(centre->WaitForStderrCount("diag robot status 1 to 2", 2, 5s)) << StderrTail(*centre);
  ASSERT_TRUE(probe.WaitForExceptionHandles(11, 3s));
  EXPECT_EQ(SortedIdsFrom(probe, 9), (Ids{12, 13}));

  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(probe.ExceptionHandleCount(), 11u)
      << "an unchanged status announced again: "
      << testing::PrintToString(probe.ExceptionHandleIds()) << "\n"
      << StderrTail(*centre);
  const auto log = centre->Stderr();
  for (const char * message :
       {"diag robot status 1 to 2", "diag robot status 2 to 3", "diag robot status 3 to 2",
        "diag robot status 2 to 1"}) {
    EXPECT_TRUE(HasLogLine(log, "INFO", message)) << message;
  }
}

}  // namespace
}  // namespace diagnostic_center_test
