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

// Reading of the node's fault-record files, line by line, with the node's own
// reader of a record line (contract/record_line.hpp): descriptions and
// messages are kept exactly as written, escapes included.
#ifndef DIAGCTL__RECORD_PARSER_HPP_
#define DIAGCTL__RECORD_PARSER_HPP_

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {

using diagnostic_center::contract::DescriptionLookup;
using diagnostic_center::contract::RecordStatus;

// The longest line read as a record. The node's lines are a few hundred
// bytes (a time, an id, a configured description and one event message);
// a line a thousand times longer is damage, most likely a file with no line
// ends at all, and reading it whole would let one bad file take any amount
// of memory.
constexpr std::size_t kMaxRecordLineBytes = std::size_t{1} << 20;

// A record line and where it was read.
struct Record : diagnostic_center::contract::RecordLine
{
  std::string file;  // where the record was read
  // 1-based line number in `file`; 0 when unknown, after an unreadable
  // stretch of the file whose line ends no one can count.
  std::size_t line = 0;
  bool truncated = false;  // cut short: last line without its newline, or cut by damage
};

// A line that is not a record, or bytes that could not be read as lines,
// reported with their place.
struct RecordIssue
{
  std::string file;
  std::size_t line = 0;      // 1-based line number in `file`; 0 when unknown
  std::uint64_t offset = 0;  // byte offset in `file` where the line or damage starts
  std::string reason;
  // Bytes lost (unreadable, NUL bytes, an over-long line): records may be
  // missing. Otherwise a line was read and is no record.
  bool damage = false;

  // "file:line: skipped, reason" or "file: byte offset: reason" (also
  // for a skipped line when its number is unknown).
  std::string describe() const;
};

// Receives what a file holds, in file order.
class RecordSink
{
public:
  virtual ~RecordSink() = default;
  virtual void record(Record && record) = 0;
  virtual void issue(RecordIssue && issue) = 0;
};

// Cuts the bytes of one file, given piece by piece, into record lines.
// A NUL byte never comes from the node (it escapes control characters):
// a run of them (a hole, blocks zeroed by a crash) is reported and reading
// goes on after it, as it does after an unreadable stretch. A line cut by
// either is still read, marked truncated.
class RecordFileParser
{
public:
  // Keeps its own copy of `lookup`, so that a temporary one may be given.
  RecordFileParser(std::string file_name, DescriptionLookup lookup, RecordSink & sink);

  // The next `size` bytes of the file.
  void feed(const char * data, std::size_t size);
  // The next `length` bytes of the file could not be read, for `reason`.
  void unreadable(std::uint64_t length, const std::string & reason);
  // The end of the file.
  void finish();

private:
  void end_line(bool cut, const char * why);
  void end_nul_run();
  void damage(std::uint64_t offset, std::string reason);
  std::size_t line_number() const { return lines_counted_ ? line_number_ : 0; }

  const std::string file_;
  const DescriptionLookup lookup_;
  RecordSink & sink_;
  std::uint64_t offset_ = 0;      // of the next byte fed
  std::uint64_t line_start_ = 0;  // offset of the line being gathered
  std::size_t line_number_ = 1;   // of the line being gathered
  bool lines_counted_ = true;     // false after an unreadable stretch
  std::string line_;
  bool too_long_ = false;        // the line is past kMaxRecordLineBytes: dropped
  std::uint64_t nul_start_ = 0;  // offset of the NUL run being skipped
  bool in_nul_run_ = false;
};

struct RecordFileContent
{
  std::vector<Record> records;
  std::vector<RecordIssue> issues;
};

// Keeps what a file holds.
class RecordCollector : public RecordSink
{
public:
  explicit RecordCollector(RecordFileContent & content) : content_(content) {}
  void record(Record && record) override { content_.records.push_back(std::move(record)); }
  void issue(RecordIssue && issue) override { content_.issues.push_back(std::move(issue)); }

private:
  RecordFileContent & content_;
};

// Reads every line of `in`; lines that are not records become issues. A last
// line without its newline is still read, marked as truncated. `lookup` gives
// the configured descriptions, escaped as the node writes them.
RecordFileContent read_records(
    std::istream & in, const std::string & file_name, const DescriptionLookup & lookup = {});

}  // namespace diagctl

#endif  // DIAGCTL__RECORD_PARSER_HPP_
