// Durable, human-readable history of the handled diagnostic events: one text
// line per event, appended in batches to one record file per run.
#ifndef DIAGNOSTIC_CENTER__FAULT_RECORDER_HPP_
#define DIAGNOSTIC_CENTER__FAULT_RECORDER_HPP_

#include <unistd.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "corvanta_protocol/msg/diagnostic_event.hpp"
#include "diagnostic_center/record_file.hpp"
#include "rclcpp/rclcpp.hpp"

namespace fault_recorder {

using corvanta_protocol::msg::DiagnosticEvent;

// Local time of `seconds` since the epoch as "%Y-%m-%d_%H-%M-%S".
std::string FormatLocalTime(std::time_t seconds);

// `text` with LF, CR and every other control character except tab written as
// a visible escape ("\n", "\r", "\xHH"), so that free text can never forge or
// split record lines. Every other byte stays as it is.
std::string EscapeControlChars(const std::string & text);

// The record line of `event` (newline included), with `fault_desc` as the
// fault's configured description.
std::string FormatRecordLine(const DiagnosticEvent & event, const std::string & fault_desc);

class FaultRecorder
{
public:
  // The process-wide recorder.
  static std::shared_ptr<FaultRecorder> GetInstance();

  // `write_function` writes to the record file (::write but in tests).
  explicit FaultRecorder(WriteFunction write_function = ::write);
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
  // timer and once more when the process is asked to terminate; a refresh that
  // overlaps another waits for it, so batches reach the file in order.
  void RefreshRecord();

  // This run's record file; empty unless Init succeeded.
  const std::filesystem::path & record_file() const { return record_file_; }

private:
  struct BatchOutcome
  {
    AppendOutcome append;
    std::size_t lines = 0;  // lines the batch made
  };

  bool PrepareDirectory(const rclcpp::Logger & logger, const std::string & dir) const;
  BatchOutcome WriteBatch(const std::deque<DiagnosticEvent> & batch) const;
  void Report(const BatchOutcome & outcome) const;

  std::filesystem::path record_file_;
  rclcpp::TimerBase::SharedPtr refresh_timer_;
  std::weak_ptr<rclcpp::Node> node_;

  std::mutex record_mutex_;
  std::condition_variable batch_written_;
  std::deque<DiagnosticEvent> records_;
  bool inactive_ = false;
  bool writing_ = false;

  const WriteFunction write_function_;
};

}  // namespace fault_recorder

#endif  // DIAGNOSTIC_CENTER__FAULT_RECORDER_HPP_
