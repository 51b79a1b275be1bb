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

#include "diagctl/record_parser.hpp"

#include <cstring>
#include <utility>

namespace diagctl {

std::string RecordIssue::describe() const
{
  if (damage) {
    return file + ": byte " + std::to_string(offset) + ": " + reason;
  }
  if (line == 0) {
    return file + ": byte " + std::to_string(offset) + ": skipped, " + reason;
  }
  return file + ':' + std::to_string(line) + ": skipped, " + reason;
}

RecordFileParser::RecordFileParser(
    std::string file_name, DescriptionLookup lookup, RecordSink & sink)
    : file_(std::move(file_name)), lookup_(std::move(lookup)), sink_(sink)
{
}

void RecordFileParser::feed(const char * data, std::size_t size)
{
  const char * p = data;
  const char * const end = data + size;
  while (p < end) {
    if (in_nul_run_) {
      const char * const start = p;
      while (p < end && *p == '\0') {
        ++p;
      }
      offset_ += static_cast<std::uint64_t>(p - start);
      if (p == end) {
        break;
      }
      end_nul_run();
      if (*p == '\n') {  // the line end after the run belongs to it
        ++p;
        ++offset_;
        ++line_number_;
        line_start_ = offset_;
      }
      continue;
    }
    const auto * newline = static_cast<const char *>(std::memchr(p, '\n', end - p));
    const char * const line_end = newline ? newline : end;
    const auto * nul = static_cast<const char *>(std::memchr(p, '\0', line_end - p));
    const char * const text_end = nul ? nul : line_end;
    const auto length = static_cast<std::size_t>(text_end - p);
    if (!too_long_ && line_.size() + length > kMaxRecordLineBytes) {
      too_long_ = true;
      std::string().swap(line_);
    }
    if (!too_long_) {
      line_.append(p, length);
    }
    offset_ += length;
    p = text_end;
    if (nul) {
      if (too_long_ || !line_.empty()) {
        end_line(true, "line cut short by NUL bytes");
      }
      in_nul_run_ = true;
      nul_start_ = offset_;
    } else if (newline) {
      end_line(false, "");
      ++p;
      ++offset_;
      ++line_number_;
      line_start_ = offset_;
    }
  }
}

void RecordFileParser::unreadable(std::uint64_t length, const std::string & reason)
{
  if (in_nul_run_) {
    end_nul_run();
  }
  if (too_long_ || !line_.empty()) {
    end_line(true, "line cut short by unreadable bytes");
  }
  damage(offset_, std::to_string(length) + " bytes unreadable (" + reason + "), skipped");
  offset_ += length;
  line_start_ = offset_;
  lines_counted_ = false;
}

void RecordFileParser::finish()
{
  if (in_nul_run_) {
    end_nul_run();
  }
  // The writer was cut off: the last line has no newline.
  if (too_long_ || !line_.empty()) {
    end_line(true, "truncated last line");
  }
}

void RecordFileParser::end_line(bool cut, const char * why)
{
  if (too_long_) {
    too_long_ = false;
    damage(
        line_start_, "line " + (lines_counted_ ? std::to_string(line_number_) + " " : "") + "is " +
                         std::to_string(offset_ - line_start_) + " bytes, longer than " +
                         std::to_string(kMaxRecordLineBytes) + " (no record line is), skipped");
  } else {
    std::string error;
    auto parsed = diagnostic_center::contract::ParseRecordLine(line_, error, lookup_);
    if (parsed) {
      sink_.record(Record{std::move(*parsed), file_, line_number(), cut});
    } else {
      sink_.issue({file_, line_number(), line_start_, cut ? why + (" (" + error + ")") : error});
    }
    line_.clear();
  }
  line_start_ = offset_;
}

void RecordFileParser::end_nul_run()
{
  in_nul_run_ = false;
  damage(
      nul_start_, std::to_string(offset_ - nul_start_) +
                      " NUL bytes (a hole or blocks zeroed by a crash), skipped");
  line_start_ = offset_;
}

void RecordFileParser::damage(std::uint64_t offset, std::string reason)
{
  sink_.issue({file_, line_number(), offset, std::move(reason), true});
}

RecordFileContent read_records(
    std::istream & in, const std::string & file_name, const DescriptionLookup & lookup)
{
  RecordFileContent content;
  RecordCollector collector(content);
  RecordFileParser parser(file_name, lookup, collector);
  char buffer[64 * 1024];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    parser.feed(buffer, static_cast<std::size_t>(in.gcount()));
  }
  parser.finish();
  return content;
}

}  // namespace diagctl
