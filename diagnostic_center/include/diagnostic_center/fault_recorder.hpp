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

// Durable, human-readable history of the handled diagnostic events: one text
// line per event, appended in batches to one record file per run.
#ifndef DIAGNOSTIC_CENTER__FAULT_RECORDER_HPP_
#define DIAGNOSTIC_CENTER__FAULT_RECORDER_HPP_

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "corvanta_protocol/msg/diagnostic_event.hpp"
#include "diagnostic_center/record_file.hpp"
#include "rclcpp/rclcpp.hpp"

namespace fault_recorder {

using corvanta_protocol::msg::DiagnosticEvent;

// The record line of `event` (newline included, see contract/record_line.hpp),
// with `fault_desc` as the fault's configured description.
std::string FormatRecordLine(const DiagnosticEvent & event, const std::string & fault_desc);

class FaultRecorder
{
public:
  // Handed-over records beyond about this many bytes of lines are written in
  // the background at once instead of waiting for the refresh, so that what
  // is pending at any moment can be written within the termination bound.
  static constexpr std::size_t kBackgroundWriteBytes = 256 * 1024;

  // The process-wide recorder.
  static std::shared_ptr<FaultRecorder> GetInstance();

  // `write_function` writes to the record file (::write but in tests).
  explicit FaultRecorder(WriteFunction write_function = ::write);
  ~FaultRecorder();
  FaultRecorder(const FaultRecorder &) = delete;
  FaultRecorder & operator=(const FaultRecorder &) = delete;

  // Prepares the record directory `dir` (created with mode 0744 when missing;
  // refused when another user could write to it), names this run's record
  // file and starts a refresh every `refresh_space_s` seconds on `node`. On a
  // directory problem it logs a warning and leaves the recorder inactive;
  // returns whether the recorder is running. Errors of the timer factory (a
  // bad period) propagate.
  bool Init(
      const std::shared_ptr<rclcpp::Node> & node, const std::string & dir,
      std::int64_t refresh_space_s);

  // Hands a copy of `event` over for the next refresh. Dropped at once when the
  // recorder is inactive, since nothing would ever write it.
  void AddRecord(const DiagnosticEvent & event);

  // Appends every handed-over record to the record file. Runs on the refresh
  // timer and in the background; a refresh that overlaps another waits for
  // it, so batches reach the file in order.
  void RefreshRecord();

  // For a process about to be killed: later hand-overs are dropped and every
  // record handed over so far is appended, except that writing stops at a
  // line boundary once `deadline` has passed (a write in progress included);
  // how many records that left out is logged.
  void FlushForTermination(std::chrono::steady_clock::time_point deadline);

  // This run's record file; empty unless Init succeeded.
  const std::filesystem::path & record_file() const { return record_file_; }

private:
  struct BatchOutcome
  {
    AppendOutcome append;
    std::size_t lines = 0;  // lines the batch made
  };

  [[nodiscard]] bool PrepareDirectory(const rclcpp::Logger & logger, const std::string & dir) const;
  void RunBackgroundWriter();
  BatchOutcome WriteBatch(const std::deque<DiagnosticEvent> & batch) const;
  bool OutOfTime() const;
  void Report(const BatchOutcome & outcome) const;

  std::filesystem::path record_file_;
  // Whether the record directory may be reached through a link: only when it
  // was one at start-up. Set by Init before the writers start.
  DirectoryLink record_dir_link_ = DirectoryLink::kRefused;
  rclcpp::TimerBase::SharedPtr refresh_timer_;
  std::weak_ptr<rclcpp::Node> node_;

  std::mutex record_mutex_;
  std::condition_variable batch_written_;
  std::condition_variable background_wanted_;
  std::deque<DiagnosticEvent> records_;
  std::size_t pending_bytes_ = 0;
  std::size_t unwritten_in_time_ = 0;  // left out by writes that ran out of time
  bool inactive_ = false;
  bool writing_ = false;
  bool stopping_ = false;

  const WriteFunction write_function_;
  // steady_clock nanoseconds after which writing stops; the maximum until
  // termination sets it.
  std::atomic<std::int64_t> deadline_ns_;
  std::thread background_writer_;
};

}  // namespace fault_recorder

#endif  // DIAGNOSTIC_CENTER__FAULT_RECORDER_HPP_
