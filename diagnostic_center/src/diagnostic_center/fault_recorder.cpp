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

#include "diagnostic_center/fault_recorder.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <exception>
#include <limits>
#include <system_error>
#include <utility>
#include <vector>

#include "diagnostic_center/callback_guard.hpp"
#include "diagnostic_center/contract/record_line.hpp"
#include "diagnostic_center/diag_tree.hpp"

namespace fault_recorder {

namespace fs = std::filesystem;

namespace {

constexpr fs::perms kCreatedDirPerms =
    fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read;  // 0744

// Rough size of a record line beyond its message, for the background
// write threshold.
constexpr std::size_t kRecordLineOverheadBytes = 128;

constexpr std::int64_t kNoDeadline = std::numeric_limits<std::int64_t>::max();

std::int64_t SteadyNanoseconds(std::chrono::steady_clock::time_point time)
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

}  // namespace

std::string FormatRecordLine(const DiagnosticEvent & event, const std::string & fault_desc)
{
  return diagnostic_center::contract::FormatRecordLine(
      static_cast<std::time_t>(event.stamp.sec), event.fault_id, fault_desc, event.status,
      event.event_msg);
}

std::shared_ptr<FaultRecorder> FaultRecorder::GetInstance()
{
  static const std::shared_ptr<FaultRecorder> instance = std::make_shared<FaultRecorder>();
  return instance;
}

FaultRecorder::FaultRecorder(WriteFunction write_function)
    : write_function_(write_function), deadline_ns_(kNoDeadline)
{
}

FaultRecorder::~FaultRecorder()
{
  {
    std::lock_guard<std::mutex> lock(record_mutex_);
    stopping_ = true;
  }
  background_wanted_.notify_all();
  if (background_writer_.joinable()) {
    background_writer_.join();
  }
}

bool FaultRecorder::Init(
    const std::shared_ptr<rclcpp::Node> & node, const std::string & dir,
    std::int64_t refresh_space_s)
{
  node_ = node;
  const rclcpp::Logger logger = node->get_logger();
  if (!PrepareDirectory(logger, dir)) {
    std::lock_guard<std::mutex> lock(record_mutex_);
    inactive_ = true;
    records_.clear();
    return false;
  }

  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now).count();
  record_file_ = fs::path(dir) /
                 diagnostic_center::contract::FormatRecordTime(static_cast<std::time_t>(seconds));
  RCLCPP_INFO(logger, "fault recorder file path : %s", record_file_.c_str());
  std::error_code link_error;
  record_dir_link_ = fs::is_symlink(record_file_.parent_path(), link_error)
                         ? DirectoryLink::kFollowed
                         : DirectoryLink::kRefused;

  // The recorder outlives its timer: it is process-wide and owns the timer.
  refresh_timer_ = node->create_wall_timer(std::chrono::seconds(refresh_space_s), [this, logger]() {
    diagnostic_center::RunGuarded(logger, "RefreshRecord", [this] { RefreshRecord(); });
  });
  if (!background_writer_.joinable()) {
    background_writer_ = std::thread([this] { RunBackgroundWriter(); });
  }
  return true;
}

bool FaultRecorder::PrepareDirectory(const rclcpp::Logger & logger, const std::string & dir) const
{
  std::error_code error;
  const fs::file_status status = fs::status(dir, error);
  if (status.type() == fs::file_type::not_found) {
    fs::create_directories(dir, error);
    // create_directories reports false for a path with a trailing separator
    // even when it made it, so trust what is on disk instead.
    if (error || !fs::is_directory(dir, error)) {
      RCLCPP_WARN(
          logger, "%s not exist and create it failed, fault recorder init failed", dir.c_str());
      return false;
    }
    fs::permissions(dir, kCreatedDirPerms, fs::perm_options::replace, error);
    if (error) {
      RCLCPP_WARN(logger, "cannot set permissions of %s: %s", dir.c_str(), error.message().c_str());
    }
  } else if (error) {
    RCLCPP_WARN(
        logger, "%s cannot be examined (%s), fault recorder init failed", dir.c_str(),
        error.message().c_str());
    return false;
  } else if (!fs::is_directory(status)) {
    RCLCPP_WARN(logger, "%s is not a directory, fault recorder init failed", dir.c_str());
    return false;
  }
  // Also a directory just made: another user may have made it first.
  struct stat dir_status = {};
  if (::stat(dir.c_str(), &dir_status) != 0) {
    RCLCPP_WARN(
        logger, "%s cannot be examined (%s), fault recorder init failed", dir.c_str(),
        std::strerror(errno));
    return false;
  }
  const std::string unsafe = UnsafeDirectoryReason(dir_status);
  if (!unsafe.empty()) {
    RCLCPP_WARN(logger, "%s %s, fault recorder init failed", dir.c_str(), unsafe.c_str());
    return false;
  }
  return true;
}

void FaultRecorder::AddRecord(const DiagnosticEvent & event)
{
  bool wake_writer = false;
  {
    std::lock_guard<std::mutex> lock(record_mutex_);
    if (inactive_) {
      return;
    }
    records_.push_back(event);
    const std::size_t before = pending_bytes_;
    pending_bytes_ += event.event_msg.size() + kRecordLineOverheadBytes;
    wake_writer = before < kBackgroundWriteBytes && pending_bytes_ >= kBackgroundWriteBytes;
  }
  if (wake_writer) {
    background_wanted_.notify_one();
  }
}

void FaultRecorder::RunBackgroundWriter()
{
  std::unique_lock<std::mutex> lock(record_mutex_);
  while (true) {
    background_wanted_.wait(
        lock, [this] { return stopping_ || pending_bytes_ >= kBackgroundWriteBytes; });
    if (stopping_) {
      return;
    }
    lock.unlock();
    try {
      RefreshRecord();
    } catch (const std::exception &) {
      // Out of memory while formatting: the batch is lost, later ones may not be.
    }
    lock.lock();
  }
}

void FaultRecorder::RefreshRecord()
{
  if (record_file_.empty()) {
    return;
  }
  std::deque<DiagnosticEvent> batch;
  {
    std::unique_lock<std::mutex> lock(record_mutex_);
    batch_written_.wait(lock, [this] { return !writing_; });
    batch.swap(records_);
    pending_bytes_ = 0;
    writing_ = true;
  }
  // Ends this writer's turn on every way out, exceptions included.
  struct Turn
  {
    FaultRecorder & recorder;
    std::size_t unwritten_in_time = 0;
    ~Turn()
    {
      {
        std::lock_guard<std::mutex> lock(recorder.record_mutex_);
        recorder.writing_ = false;
        recorder.unwritten_in_time_ += unwritten_in_time;
      }
      recorder.batch_written_.notify_all();
    }
  } turn{*this};

  const BatchOutcome outcome = WriteBatch(batch);
  if (outcome.append.out_of_time) {
    turn.unwritten_in_time = outcome.lines - outcome.append.lines_written;
  }
  Report(outcome);
}

void FaultRecorder::FlushForTermination(std::chrono::steady_clock::time_point deadline)
{
  {
    std::lock_guard<std::mutex> lock(record_mutex_);
    inactive_ = true;  // what comes after the request is not waited for
  }
  deadline_ns_.store(SteadyNanoseconds(deadline));
  RefreshRecord();
  std::size_t unwritten = 0;
  {
    std::lock_guard<std::mutex> lock(record_mutex_);
    unwritten = unwritten_in_time_;
  }
  const auto node = node_.lock();
  if (unwritten > 0 && node) {
    RCLCPP_WARN(
        node->get_logger(), "fault record writing stopped at the time limit, %zu not written to %s",
        unwritten, record_file_.c_str());
  }
}

bool FaultRecorder::OutOfTime() const
{
  return SteadyNanoseconds(std::chrono::steady_clock::now()) >= deadline_ns_.load();
}

FaultRecorder::BatchOutcome FaultRecorder::WriteBatch(
    const std::deque<DiagnosticEvent> & batch) const
{
  std::vector<std::string> lines;
  lines.reserve(batch.size());
  for (const DiagnosticEvent & event : batch) {
    const diag_tree::FaultConfig * config =
        diag_tree::FindFaultConfig(static_cast<std::uint32_t>(event.fault_id));
    if (config != nullptr) {
      lines.push_back(FormatRecordLine(event, config->fault_desc));
    }
  }
  // The file is opened on every refresh, even for an empty batch, so it exists
  // from the first refresh on and may be moved away between refreshes.
  BatchOutcome outcome;
  outcome.lines = lines.size();
  outcome.append = AppendLines(
      record_file_.parent_path(), record_dir_link_, record_file_.filename().string(), lines,
      [this] { return OutOfTime(); }, write_function_);
  return outcome;
}

void FaultRecorder::Report(const BatchOutcome & outcome) const
{
  const auto node = node_.lock();
  if (!node) {
    return;
  }
  if (!outcome.append.opened) {
    RCLCPP_WARN(
        node->get_logger(), "open or create file : %s failed, lost some fault record",
        record_file_.c_str());
  } else if (outcome.append.write_error != 0) {
    RCLCPP_WARN(
        node->get_logger(), "write to file : %s failed (%s), lost %zu of %zu fault records",
        record_file_.c_str(), std::strerror(outcome.append.write_error),
        outcome.lines - outcome.append.lines_written, outcome.lines);
  }
}

}  // namespace fault_recorder
