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

// diagctl's reading of fault-record files on any bytes.
//
// The input is a record file. A first line "#description <text>" is not part
// of it: it makes <text> the configured description of every fault id, as
// diagctl's --params file would, so that the split of a description holding
// the separator texts is fuzzed too.
//
// Every line becomes a record or an issue, in order (when the input holds no
// NUL byte: those are damage that cuts lines); only a last line without its
// newline is truncated; a record written back as the node writes
// it reads back the same; escaping a text without backslashes and reading it
// back gives the text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>

#include "diagctl/record_filter.hpp"
#include "diagctl/record_parser.hpp"
#include "diagnostic_center/contract/record_line.hpp"
#include "fuzz_check.hpp"

namespace {

namespace contract = diagnostic_center::contract;

constexpr std::string_view kDescriptionLine = "#description ";

std::size_t line_count(const std::string & content)
{
  std::size_t lines = 0;
  for (char c : content) {
    lines += c == '\n' ? 1 : 0;
  }
  return lines + (!content.empty() && content.back() != '\n' ? 1 : 0);
}

std::string record_line(const diagctl::Record & record)
{
  return record.time + " fault_id : " + std::to_string(record.fault_id) +
         ", fault_desc : " + record.description +
         ", status : " + contract::ToString(record.status) + ", event_msg : " + record.message;
}

void check_written_back(const diagctl::Record & record, const diagctl::DescriptionLookup & lookup)
{
  const std::string line = record_line(record);
  std::string error;
  const std::optional<contract::RecordLine> again = contract::ParseRecordLine(line, error, lookup);
  fuzz::check(again.has_value(), "a record written back is refused (", error, "): ", line);
  fuzz::check(
      again->time == record.time && again->fault_id == record.fault_id &&
          again->description == record.description && again->status == record.status &&
          again->message == record.message,
      "a record written back reads differently: ", line);
}

void check_escaping(const std::string & text)
{
  const std::string escaped = contract::EscapeRecordText(text);
  fuzz::check(escaped.find('\n') == std::string::npos, "an escaped text holds a line feed");
  if (text.find('\\') == std::string::npos) {
    fuzz::check(contract::UnescapeRecordText(escaped) == text, "escaping does not read back");
  }
  contract::UnescapeRecordText(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  std::string content(reinterpret_cast<const char *>(data), size);
  diagctl::DescriptionLookup lookup;
  if (content.compare(0, kDescriptionLine.size(), kDescriptionLine) == 0) {
    const std::size_t end = content.find('\n');
    const std::string description =
        content.substr(kDescriptionLine.size(), end - std::min(end, kDescriptionLine.size()));
    lookup = [description](std::int32_t) { return description; };
    content = end == std::string::npos ? std::string() : content.substr(end + 1);
  }

  std::istringstream in(content);
  const diagctl::RecordFileContent read = diagctl::read_records(in, "fuzz.record", lookup);
  // NUL bytes are damage and split lines; every other byte stays in its line.
  if (content.find('\0') != std::string::npos) {
    for (const diagctl::Record & record : read.records) {
      check_written_back(record, lookup);
    }
    return 0;
  }
  const std::size_t lines = line_count(content);
  if (read.records.size() + read.issues.size() != lines) {
    fuzz::fail(
        "lines lost or made up: " + std::to_string(lines) + " lines, " +
        std::to_string(read.records.size()) + " records, " + std::to_string(read.issues.size()) +
        " issues");
  }
  const bool cut_off = !content.empty() && content.back() != '\n';
  std::size_t previous_line = 0;
  for (const diagctl::Record & record : read.records) {
    fuzz::check(record.line > previous_line && record.line <= lines, "record lines out of order");
    previous_line = record.line;
    fuzz::check(record.truncated == (cut_off && record.line == lines), "wrong truncated mark");
    check_written_back(record, lookup);
    check_escaping(record.message);
  }
  const std::string first_line = content.substr(0, content.find('\n'));
  diagctl::normalize_record_time(first_line, diagctl::RangeEnd::kSince);
  diagctl::normalize_record_time(first_line, diagctl::RangeEnd::kUntil);
  return 0;
}
