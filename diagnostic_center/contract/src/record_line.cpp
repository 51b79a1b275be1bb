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

#include "diagnostic_center/contract/record_line.hpp"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>

namespace diagnostic_center::contract {

namespace {

constexpr char kTimeFormat[] = "%Y-%m-%d_%H-%M-%S";
// The shape of a formatted time: '0' for any digit, other characters as they are.
constexpr std::string_view kTimePattern = "0000-00-00_00-00-00";

constexpr std::string_view kIdSeparator = " fault_id : ";
constexpr std::string_view kDescSeparator = ", fault_desc : ";
constexpr std::string_view kStatusSeparator = ", status : ";
constexpr std::string_view kMessageSeparator = ", event_msg : ";

bool StartsWith(std::string_view text, std::string_view prefix)
{
  return text.substr(0, prefix.size()) == prefix;
}

int HexValue(char c)
{
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

std::optional<std::int32_t> ParseFaultId(std::string_view text)
{
  const std::optional<std::int64_t> value = ParseDecimal(text);
  if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
      *value > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(*value);
}

// Splits "<description>, status : <word>, event_msg : <message>" at
// `desc_length`, if a status separator with a status word starts there.
bool SplitAt(std::string_view rest, std::size_t desc_length, RecordLine & record)
{
  std::string_view tail = rest.substr(desc_length);
  if (!StartsWith(tail, kStatusSeparator)) {
    return false;
  }
  tail.remove_prefix(kStatusSeparator.size());
  for (const RecordStatus status : {RecordStatus::kFault, RecordStatus::kPassed}) {
    const std::string_view word = ToString(status);
    if (StartsWith(tail, word) && StartsWith(tail.substr(word.size()), kMessageSeparator)) {
      record.description = std::string(rest.substr(0, desc_length));
      record.status = status;
      record.message = std::string(tail.substr(word.size() + kMessageSeparator.size()));
      return true;
    }
  }
  return false;
}

}  // namespace

std::optional<std::int64_t> ParseDecimal(std::string_view text)
{
  std::int64_t value = 0;
  const char * end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) {
    return std::nullopt;
  }
  return value;
}

const char * ToString(RecordStatus status)
{
  return status == RecordStatus::kFault ? "fault" : "passed";
}

std::string FormatRecordTime(std::time_t seconds)
{
  std::tm local{};
  // localtime_r: other threads may convert times at the same moment.
  if (::localtime_r(&seconds, &local) == nullptr) {
    return std::to_string(static_cast<long long>(seconds));
  }
  char buffer[64];
  const std::size_t length = std::strftime(buffer, sizeof(buffer), kTimeFormat, &local);
  return std::string(buffer, length);
}

bool IsRecordTime(std::string_view text)
{
  if (text.size() != kTimePattern.size()) {
    return false;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool want_digit = kTimePattern[i] == '0';
    const bool is_digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
    if (want_digit ? !is_digit : text[i] != kTimePattern[i]) {
      return false;
    }
  }
  return true;
}

bool IsEscapedControl(unsigned char byte) { return (byte < 0x20 && byte != '\t') || byte == 0x7F; }

std::string EscapeRecordText(std::string_view text)
{
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (!IsEscapedControl(byte)) {
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      char hex[5];
      std::snprintf(hex, sizeof(hex), "\\x%02X", byte);
      out += hex;
    }
  }
  return out;
}

std::string UnescapeRecordText(std::string_view text)
{
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\\' || i + 1 >= text.size()) {
      out += c;
      continue;
    }
    const char kind = text[i + 1];
    if (kind == 'n') {
      out += '\n';
      ++i;
    } else if (kind == 'r') {
      out += '\r';
      ++i;
    } else if (
        kind == 'x' && i + 3 < text.size() && HexValue(text[i + 2]) >= 0 &&
        HexValue(text[i + 3]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3]));
      i += 3;
    } else {
      out += c;
    }
  }
  return out;
}

std::string FormatRecordLine(
    std::time_t stamp_sec, std::int32_t fault_id, std::string_view description,
    std::int32_t event_status, std::string_view message)
{
  std::string line = FormatRecordTime(stamp_sec);
  line += kIdSeparator;
  line += std::to_string(fault_id);
  line += kDescSeparator;
  line += EscapeRecordText(description);
  line += kStatusSeparator;
  line += ToString(event_status == 1 ? RecordStatus::kFault : RecordStatus::kPassed);
  line += kMessageSeparator;
  line += EscapeRecordText(message);
  line += '\n';
  return line;
}

std::optional<RecordLine> ParseRecordLine(
    std::string_view line, std::string & error, const DescriptionLookup & lookup)
{
  const std::string_view time = line.substr(0, kTimePattern.size());
  if (!IsRecordTime(time)) {
    error = "no record time at the start of the line";
    return std::nullopt;
  }
  std::string_view rest = line.substr(time.size());
  if (!StartsWith(rest, kIdSeparator)) {
    error = "no \"fault_id : \" after the time";
    return std::nullopt;
  }
  rest.remove_prefix(kIdSeparator.size());

  const std::size_t desc_at = rest.find(kDescSeparator);
  if (desc_at == std::string_view::npos) {
    error = "no \", fault_desc : \" after the fault id";
    return std::nullopt;
  }
  const auto fault_id = ParseFaultId(rest.substr(0, desc_at));
  if (!fault_id) {
    error = "fault id is not a 32-bit decimal integer";
    return std::nullopt;
  }
  rest.remove_prefix(desc_at + kDescSeparator.size());

  RecordLine record;
  record.time = std::string(time);
  record.fault_id = *fault_id;

  if (lookup) {
    const auto description = lookup(*fault_id);
    if (description && StartsWith(rest, *description) &&
        SplitAt(rest, description->size(), record)) {
      return record;
    }
  }
  // Without a configured description, the first status separator ends it.
  for (std::size_t at = rest.find(kStatusSeparator); at != std::string_view::npos;
       at = rest.find(kStatusSeparator, at + 1)) {
    if (SplitAt(rest, at, record)) {
      return record;
    }
  }
  error = "no \", status : fault|passed, event_msg : \" after the description";
  return std::nullopt;
}

}  // namespace diagnostic_center::contract
