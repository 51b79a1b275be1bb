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
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "diagnostic_center/contract/record_line.hpp"
#include "diagnostic_center/diag_tree.hpp"
#include "diagnostic_center/fault_recorder.hpp"
#include "rclcpp/rclcpp.hpp"

namespace {

namespace fs = std::filesystem;
using fault_recorder::DiagnosticEvent;
using fault_recorder::FaultRecorder;
using fault_recorder::FormatRecordLine;

DiagnosticEvent Event(
    std::int32_t fault_id, std::int32_t status, std::int32_t sec, const std::string & msg)
{
  DiagnosticEvent event;
  event.fault_id = fault_id;
  event.status = status;
  event.stamp.sec = sec;
  event.stamp.nanosec = 999999999;
  event.source = "ignored";
  event.event_msg = msg;
  return event;
}

std::string ReadFile(const fs::path & path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// `count` raises of fault 11 with `message` as the recorder writes them,
// the i-th stamped i seconds after the epoch when `second_each`, else all at 0.
std::string Raises(std::size_t count, const std::string & message, bool second_each)
{
  std::string lines;
  for (std::size_t i = 0; i < count; ++i) {
    const auto sec = static_cast<std::int32_t>(second_each ? i : 0);
    lines += FormatRecordLine(Event(11, 1, sec, message), "configured desc 11");
  }
  return lines;
}

fs::perms PermsOf(const fs::path & path)
{
  return fs::status(path).permissions() & fs::perms::mask;
}

std::size_t CountLines(const std::string & text)
{
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// A disk with `g_space_left` bytes free: writes beyond it are cut short and
// then fail with ENOSPC, as on a full file system.
std::size_t g_space_left = 0;

ssize_t FullDiskWrite(int fd, const void * data, std::size_t size)
{
  if (g_space_left == 0) {
    errno = ENOSPC;
    return -1;
  }
  const ssize_t written = ::write(fd, data, std::min(size, g_space_left));
  if (written > 0) {
    g_space_left -= static_cast<std::size_t>(written);
  }
  return written;
}

// A disk so slow that its first write lasts until `g_slow_until`.
std::chrono::steady_clock::time_point g_slow_until;

ssize_t SlowDiskWrite(int fd, const void * data, std::size_t size)
{
  std::this_thread::sleep_until(g_slow_until);
  return ::write(fd, data, size);
}

// Directory handling and writing, on a plain node of this test's own domain.
class FaultRecorderTest : public ::testing::Test
{
protected:
  static void SetUpTestSuite()
  {
    rclcpp::init(0, nullptr);
    for (const std::int32_t id : {11, -3}) {
      diag_tree::FaultConfig config;
      config.fault_id = static_cast<std::uint32_t>(id);
      config.root_cause = id;
      config.fault_desc = "configured desc " + std::to_string(id);
      diag_tree::KnownFaults().Insert(config);
    }
  }
  static void TearDownTestSuite() { rclcpp::shutdown(); }

  void SetUp() override
  {
    node_ = std::make_shared<rclcpp::Node>("fault_recorder_test");
    root_ = fs::temp_directory_path() /
            ("fault_recorder_test_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_);
    fs::permissions(root_, static_cast<fs::perms>(0755), fs::perm_options::replace);
  }
  void TearDown() override
  {
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(root_);
  }

  // Runs Init and returns what it logged.
  std::string InitRecorder(const std::string & dir, bool * running = nullptr)
  {
    return InitRecorder(recorder_, dir, running);
  }
  std::string InitRecorder(FaultRecorder & recorder, const std::string & dir, bool * running)
  {
    ::testing::internal::CaptureStderr();
    const bool ok = recorder.Init(node_, dir, 3600);
    if (running != nullptr) {
      *running = ok;
    }
    return ::testing::internal::GetCapturedStderr();
  }

  // Runs a refresh of `recorder` and returns what it logged.
  static std::string Refresh(FaultRecorder & recorder)
  {
    ::testing::internal::CaptureStderr();
    recorder.RefreshRecord();
    return ::testing::internal::GetCapturedStderr();
  }

  std::shared_ptr<rclcpp::Node> node_;
  fs::path root_;
  FaultRecorder recorder_;
};

TEST_F(FaultRecorderTest, ExistingDirectoryKeepsItsPermissions)
{
  fs::permissions(root_, static_cast<fs::perms>(0750), fs::perm_options::replace);
  bool running = false;
  InitRecorder(root_.string() + "/", &running);
  EXPECT_TRUE(running);
  EXPECT_EQ(PermsOf(root_), static_cast<fs::perms>(0750));
  // A trailing separator gives no doubled one.
  EXPECT_EQ(recorder_.record_file().string().find("//"), std::string::npos);
  EXPECT_EQ(recorder_.record_file().parent_path(), root_);
}

TEST_F(FaultRecorderTest, FileNameIsTheLocalStartTime)
{
  // The recorder's clock: time() reads a coarser one, which may still show
  // the previous second.
  const auto now = [] {
    return std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  };
  const std::time_t before = now();
  InitRecorder(root_.string());
  const std::time_t after = now();
  const std::string name = recorder_.record_file().filename().string();
  EXPECT_TRUE(
      name == diagnostic_center::contract::FormatRecordTime(before) ||
      name == diagnostic_center::contract::FormatRecordTime(after))
      << name;
}

TEST_F(FaultRecorderTest, RefreshAppendsHandedOverRecordsInOrder)
{
  setenv("TZ", "UTC", 1);
  tzset();
  InitRecorder(root_.string());
  const fs::path file = recorder_.record_file();
  EXPECT_EQ(file.parent_path(), root_);
  EXPECT_FALSE(fs::exists(file)) << "no file before the first refresh";

  recorder_.RefreshRecord();  // an empty batch still creates the file
  ASSERT_TRUE(fs::exists(file));
  EXPECT_EQ(ReadFile(file), "");

  recorder_.AddRecord(Event(11, 1, 60, "first"));
  recorder_.AddRecord(Event(12, 1, 60, "not configured"));
  recorder_.AddRecord(Event(-3, 0, 61, "second"));
  recorder_.RefreshRecord();
  recorder_.AddRecord(Event(11, 0, 62, "third"));
  recorder_.RefreshRecord();
  EXPECT_EQ(
      ReadFile(file),
      "1970-01-01_00-01-00 fault_id : 11, fault_desc : configured desc 11, status : fault, "
      "event_msg : first\n"
      "1970-01-01_00-01-01 fault_id : -3, fault_desc : configured desc -3, status : passed, "
      "event_msg : second\n"
      "1970-01-01_00-01-02 fault_id : 11, fault_desc : configured desc 11, status : passed, "
      "event_msg : third\n");
}

TEST_F(FaultRecorderTest, UnopenableFileWarnsAndLosesTheBatchOnly)
{
  InitRecorder(root_.string());
  const fs::path file = recorder_.record_file();
  fs::create_directory(file);  // a directory where the file should be

  recorder_.AddRecord(Event(11, 1, 0, "lost"));
  const std::string log = Refresh(recorder_);
  EXPECT_NE(
      log.find("open or create file : " + file.string() + " failed, lost some fault record"),
      std::string::npos)
      << log;

  fs::remove(file);
  recorder_.AddRecord(Event(11, 1, 0, "kept"));
  recorder_.RefreshRecord();
  const std::string content = ReadFile(file);
  EXPECT_EQ(content.find("lost"), std::string::npos);
  EXPECT_NE(content.find("event_msg : kept\n"), std::string::npos);
}

TEST_F(FaultRecorderTest, FullDiskLeavesWholeLinesAndCountsTheLostRecords)
{
  setenv("TZ", "UTC", 1);
  tzset();
  FaultRecorder recorder(FullDiskWrite);
  g_space_left = 1 << 20;
  InitRecorder(recorder, root_.string(), nullptr);
  const fs::path file = recorder.record_file();
  const auto line = [](const std::string & msg) {
    return "1970-01-01_00-00-00 fault_id : 11, fault_desc : configured desc 11, status : fault, "
           "event_msg : " +
           msg + "\n";
  };
  recorder.AddRecord(Event(11, 1, 0, "before"));
  EXPECT_EQ(Refresh(recorder), "");

  // Room for one line and a few bytes of the next: that fragment must not stay.
  g_space_left = line("one").size() + 9;
  recorder.AddRecord(Event(11, 1, 0, "one"));
  recorder.AddRecord(Event(11, 1, 0, "two"));
  recorder.AddRecord(Event(11, 1, 0, "three"));
  const std::string log = Refresh(recorder);
  EXPECT_NE(
      log.find(
          "write to file : " + file.string() +
          " failed (No space left on device), lost 2 of 3 fault records"),
      std::string::npos)
      << log;
  EXPECT_NE(log.find("[WARN]"), std::string::npos) << log;
  EXPECT_EQ(ReadFile(file), line("before") + line("one"));

  // Not a byte of room: nothing is written, nothing torn.
  g_space_left = 0;
  recorder.AddRecord(Event(11, 1, 0, "four"));
  EXPECT_NE(Refresh(recorder).find("lost 1 of 1 fault records"), std::string::npos);
  EXPECT_EQ(ReadFile(file), line("before") + line("one"));

  // Space again: writing goes on after the last whole line.
  g_space_left = 1 << 20;
  recorder.AddRecord(Event(11, 1, 0, "five"));
  EXPECT_EQ(Refresh(recorder), "");
  EXPECT_EQ(ReadFile(file), line("before") + line("one") + line("five"));
}

// A node restarted within the second of a killed one appends to its file,
// which may end in a torn line: the first record must start a line of its own.
TEST_F(FaultRecorderTest, TornLineLeftByAKilledWriterIsEndedBeforeTheFirstRecord)
{
  setenv("TZ", "UTC", 1);
  tzset();
  FaultRecorder recorder(FullDiskWrite);
  g_space_left = 1 << 20;
  InitRecorder(recorder, root_.string(), nullptr);
  const fs::path file = recorder.record_file();
  const std::string torn = Raises(1, "killed while writi", false);
  const std::string cut = torn.substr(0, torn.size() - 1);
  std::ofstream(file, std::ios::binary) << cut;

  // An empty batch leaves the file as it is.
  EXPECT_EQ(Refresh(recorder), "");
  EXPECT_EQ(ReadFile(file), cut);

  // A failed write keeps no fragment of the record, but the line ending may stay.
  g_space_left = 5;
  recorder.AddRecord(Event(11, 1, 0, "lost"));
  EXPECT_NE(Refresh(recorder).find("lost 1 of 1 fault records"), std::string::npos);
  EXPECT_TRUE(ReadFile(file) == cut || ReadFile(file) == cut + "\n") << ReadFile(file);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << cut;

  g_space_left = 1 << 20;
  recorder.AddRecord(Event(11, 1, 0, "first"));
  recorder.AddRecord(Event(11, 1, 0, "second"));
  EXPECT_EQ(Refresh(recorder), "");
  recorder.AddRecord(Event(11, 1, 0, "third"));
  EXPECT_EQ(Refresh(recorder), "");
  EXPECT_EQ(
      ReadFile(file), cut + "\n" + Raises(1, "first", false) + Raises(1, "second", false) +
                          Raises(1, "third", false));

  // A file that ends on a line boundary gets nothing extra, nor does an empty one.
  fs::remove(file);
  std::ofstream(file, std::ios::binary) << "";
  recorder.AddRecord(Event(11, 1, 0, "fresh"));
  EXPECT_EQ(Refresh(recorder), "");
  EXPECT_EQ(ReadFile(file), Raises(1, "fresh", false));
}

TEST_F(FaultRecorderTest, RecordFileThatIsALinkOrFifoIsNotWrittenThrough)
{
  InitRecorder(root_.string());
  const fs::path victim = root_ / "victim";
  std::ofstream(victim) << "precious\n";
  fs::create_symlink(victim, recorder_.record_file());

  recorder_.AddRecord(Event(11, 1, 0, "planted"));
  const std::string log = Refresh(recorder_);
  EXPECT_NE(
      log.find(
          "open or create file : " + recorder_.record_file().string() +
          " failed, lost some fault record"),
      std::string::npos)
      << log;
  EXPECT_EQ(ReadFile(victim), "precious\n");
  EXPECT_TRUE(fs::is_symlink(recorder_.record_file()));

  // Nor is anything else that is not a regular file; a FIFO without a reader
  // must not block the recorder either.
  fs::remove(recorder_.record_file());
  ASSERT_EQ(::mkfifo(recorder_.record_file().c_str(), 0600), 0);
  recorder_.AddRecord(Event(11, 1, 0, "piped"));
  EXPECT_NE(Refresh(recorder_).find("lost some fault record"), std::string::npos);
}

// Every path and content below `dir`, to show that nothing was written.
std::string Listing(const fs::path & dir)
{
  std::string listing;
  for (const auto & entry : fs::recursive_directory_iterator(dir)) {
    listing += entry.path().string() + ": " + ReadFile(entry.path()) + "\n";
  }
  return listing;
}

// A directory the recorder must not use leaves it inactive for good: Init
// says why, and records handed over later are dropped without a trace.
TEST_F(FaultRecorderTest, UnusableDirectoryLeavesRecorderInactive)
{
  struct Case
  {
    std::string name;
    std::function<fs::path(const fs::path & base)> make;  // the directory to give Init
    std::string reason;
  };
  const auto plain_file = [](const fs::path & base) {
    std::ofstream(base / "plain") << "x";
    return base / "plain";
  };
  const auto with_mode = [](fs::perms mode) {
    return [mode](const fs::path & base) {
      fs::permissions(base, mode, fs::perm_options::replace);
      return base;
    };
  };
  const std::vector<Case> cases = {
      {"regular_file", plain_file, " is not a directory"},
      {"below_a_file", [&](const fs::path & base) { return plain_file(base) / "sub"; },
       " not exist and create it failed"},
      {"group_writable", with_mode(static_cast<fs::perms>(0775)),
       " is writable by group or others"},
      {"others_writable", with_mode(static_cast<fs::perms>(0757)),
       " is writable by group or others"},
      {"sticky_world_writable", with_mode(static_cast<fs::perms>(01777)),
       " is writable by group or others"},
      // Only root can give a directory to another user; others skip this case.
      {"another_users",
       [](const fs::path & base) {
         EXPECT_EQ(::chown(base.c_str(), 4242, 4242), 0);
         return base;
       },
       " is owned by uid 4242, neither this process's user nor root"},
  };
  for (const Case & c : cases) {
    SCOPED_TRACE(c.name);
    if (c.name == "another_users" && ::geteuid() != 0) {
      continue;
    }
    const fs::path base = root_ / c.name;
    fs::create_directory(base);
    fs::permissions(base, static_cast<fs::perms>(0755), fs::perm_options::replace);
    const fs::path dir = c.make(base);
    const std::string before = Listing(base);
    FaultRecorder recorder;
    bool running = true;
    const std::string log = InitRecorder(recorder, dir.string(), &running);
    EXPECT_FALSE(running);
    EXPECT_NE(log.find(dir.string() + c.reason + ", fault recorder init failed"), std::string::npos)
        << log;
    EXPECT_TRUE(recorder.record_file().empty());
    recorder.AddRecord(Event(11, 1, 0, "lost"));
    recorder.RefreshRecord();
    EXPECT_EQ(Listing(base), before);
  }
}

TEST_F(FaultRecorderTest, DirectoryOpenedToOthersLaterIsRefusedUntilClosedAgain)
{
  InitRecorder(root_.string());
  fs::permissions(root_, static_cast<fs::perms>(0777), fs::perm_options::replace);
  recorder_.AddRecord(Event(11, 1, 0, "lost"));
  EXPECT_NE(Refresh(recorder_).find("lost some fault record"), std::string::npos);
  EXPECT_FALSE(fs::exists(recorder_.record_file()));

  fs::permissions(root_, static_cast<fs::perms>(0755), fs::perm_options::replace);
  recorder_.AddRecord(Event(11, 1, 0, "kept"));
  EXPECT_EQ(Refresh(recorder_), "");
  EXPECT_EQ(CountLines(ReadFile(recorder_.record_file())), 1u);
}

TEST_F(FaultRecorderTest, DirectoryRemovedOrReplacedWhileRunning)
{
  InitRecorder(root_.string());
  recorder_.AddRecord(Event(11, 1, 0, "first"));
  EXPECT_EQ(Refresh(recorder_), "");

  // Removed: each refresh warns and loses its batch, and nothing recreates
  // the directory behind the operator's back.
  fs::remove_all(root_);
  for (const char * message : {"lost", "lost again"}) {
    recorder_.AddRecord(Event(11, 1, 0, message));
    EXPECT_NE(Refresh(recorder_).find("lost some fault record"), std::string::npos) << message;
  }
  EXPECT_FALSE(fs::exists(root_));

  // Replaced by a link to a directory elsewhere: refused like any directory
  // that is not the one configured.
  const fs::path elsewhere = root_.string() + "_elsewhere";
  fs::create_directory(elsewhere);
  fs::create_directory_symlink(elsewhere, root_);
  recorder_.AddRecord(Event(11, 1, 0, "through the link"));
  const std::string through_link = Refresh(recorder_);
  EXPECT_TRUE(fs::is_empty(elsewhere)) << through_link;

  // Back as a directory of its own: recording resumes in a new file.
  fs::remove(root_);
  fs::create_directory(root_);
  recorder_.AddRecord(Event(11, 1, 0, "resumed"));
  EXPECT_EQ(Refresh(recorder_), "");
  const std::string content = ReadFile(recorder_.record_file());
  EXPECT_EQ(CountLines(content), 1u);
  EXPECT_NE(content.find("event_msg : resumed\n"), std::string::npos);
  fs::remove_all(elsewhere);
}

TEST_F(FaultRecorderTest, DirectoryThatWasALinkAtStartUpIsFollowed)
{
  const fs::path storage = root_ / "storage";
  fs::create_directory(storage);
  fs::create_directory_symlink(storage, root_ / "records");
  InitRecorder((root_ / "records").string());
  recorder_.AddRecord(Event(11, 1, 0, "through the link"));
  EXPECT_EQ(Refresh(recorder_), "");
  EXPECT_EQ(CountLines(ReadFile(storage / recorder_.record_file().filename())), 1u);
}

TEST_F(FaultRecorderTest, LargePendingBatchIsWrittenInTheBackground)
{
  InitRecorder(root_.string());
  const std::string message(4000, 'm');
  std::size_t handed_over = 0;
  while (handed_over * message.size() < 2 * FaultRecorder::kBackgroundWriteBytes) {
    recorder_.AddRecord(Event(11, 1, 0, message));
    ++handed_over;
  }
  // No refresh runs (its period is an hour): the background writer must.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!fs::exists(recorder_.record_file()) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(fs::exists(recorder_.record_file()));
  recorder_.RefreshRecord();  // after the background write, in order
  EXPECT_EQ(ReadFile(recorder_.record_file()), Raises(handed_over, message, false));
}

TEST_F(FaultRecorderTest, TerminationFlushWritesEverythingHandedOverThenNothingMore)
{
  InitRecorder(root_.string());
  recorder_.AddRecord(Event(11, 1, 0, "first"));
  recorder_.AddRecord(Event(-3, 0, 0, "second"));
  ::testing::internal::CaptureStderr();
  recorder_.FlushForTermination(std::chrono::steady_clock::now() + std::chrono::seconds(30));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  recorder_.AddRecord(Event(11, 1, 0, "after"));
  recorder_.RefreshRecord();
  const std::string content = ReadFile(recorder_.record_file());
  EXPECT_EQ(CountLines(content), 2u);
  EXPECT_EQ(content.find("after"), std::string::npos);
}

TEST_F(FaultRecorderTest, TerminationFlushStopsAtALineBoundaryWhenTimeRunsOut)
{
  FaultRecorder recorder(SlowDiskWrite);
  InitRecorder(recorder, root_.string(), nullptr);
  const std::string message(4000, 'x');
  const std::size_t handed_over = FaultRecorder::kBackgroundWriteBytes / 2 / message.size();
  for (std::size_t i = 0; i < handed_over; ++i) {
    recorder.AddRecord(Event(11, 1, static_cast<std::int32_t>(i), message));
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
  g_slow_until = deadline;  // the first write uses up all the time there is
  ::testing::internal::CaptureStderr();
  recorder.FlushForTermination(deadline);
  const std::string log = ::testing::internal::GetCapturedStderr();

  const std::string content = ReadFile(recorder.record_file());
  const std::size_t written = CountLines(content);
  ASSERT_GT(written, 0u);
  ASSERT_LT(written, handed_over);
  EXPECT_EQ(content, Raises(written, message, true));
  EXPECT_NE(
      log.find(
          "fault record writing stopped at the time limit, " +
          std::to_string(handed_over - written) + " not written to " +
          recorder.record_file().string()),
      std::string::npos)
      << log;
}

}  // namespace
