// The fault recorder as seen from outside: a record directory it cannot use
// leaves the rest of the node working, and a SIGTERM or SIGINT writes the
// records already handed over before the process is killed.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <thread>
#include <vector>

#include "centre_run.hpp"
#include "log_text.hpp"
#include "robot_probe.hpp"
#include "scratch_dir.hpp"

namespace diagnostic_center_test {
namespace {

using namespace std::chrono_literals;
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
  const auto time = RecordTime(base);
  const auto prefix = [&](std::int32_t id) {
    return " fault_id : " + std::to_string(id) + ", fault_desc : , status : ";
  };
  EXPECT_EQ(
      ReadFile(files.front()), time + prefix(first_id) + "fault, event_msg : first\n" + time +
                                   prefix(second_id) + "fault, event_msg : second\n" +
                                   RecordTime(base + 1) + prefix(first_id) +
                                   "passed, event_msg : gone\n");
}

TEST(Termination, SigtermWritesHandedOverRecordsThenKills)
{
  ExpectSignalFlushesRecordsThenKills(SIGTERM, 31);
}

TEST(Termination, SigintWritesHandedOverRecordsThenKills)
{
  ExpectSignalFlushesRecordsThenKills(SIGINT, 41);
}

}  // namespace
}  // namespace diagnostic_center_test
