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

// The fault-record line: the one format that the node writes and that
// diagctl reads back.
//
//   <time> fault_id : <id>, fault_desc : <description>, status : <fault|passed>, event_msg : <message>
//
// <time> is the event's stamp seconds as local time "%Y-%m-%d_%H-%M-%S", the
// format that also names the record files; <id> is signed decimal. The
// description and message are written with their control characters escaped,
// so that a record is always exactly one line. Since either may hold the
// separator texts themselves, a reader splits the description from the
// status by the configured description when it knows it, and otherwise at
// the first status separator (descriptions come from the operator's
// configuration, messages from any module).
//
// Every function here is pure and reentrant, safe from any thread; none
// throws but for std::bad_alloc (and whatever a DescriptionLookup throws).
#ifndef DIAGNOSTIC_CENTER__CONTRACT__RECORD_LINE_HPP_
#define DIAGNOSTIC_CENTER__CONTRACT__RECORD_LINE_HPP_

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace diagnostic_center::contract {

enum class RecordStatus
{
  kFault,
  kPassed,
};

// All of `text` as a signed decimal number in 64 bits (no sign '+', no
// spaces), as the line writes fault ids; nullopt for anything else.
std::optional<std::int64_t> ParseDecimal(std::string_view text);

// "fault" or "passed", as the line spells it.
const char * ToString(RecordStatus status);

// Local time of `seconds` since the epoch as "%Y-%m-%d_%H-%M-%S": the time of
// a record and the name of a record file. In the process's time zone (TZ);
// the plain decimal seconds when the time cannot be broken down.
std::string FormatRecordTime(std::time_t seconds);

// True when `text` has the shape FormatRecordTime gives.
bool IsRecordTime(std::string_view text);

// True for the bytes written escaped: 0x00-0x1F except tab, and DEL.
bool IsEscapedControl(unsigned char byte);

// `text` with LF, CR and the other escaped bytes written as "\n", "\r" and
// "\xHH", so that free text can never forge or split record lines. Every other
// byte stays as it is; a backslash is not escaped.
std::string EscapeRecordText(std::string_view text);

// Turns "\n", "\r" and "\xHH" (either case of hex digit) back into bytes; any
// other backslash stays. Only a best reading: since a backslash is not
// escaped, a message that held the two characters "\n" comes back as a line
// feed.
std::string UnescapeRecordText(std::string_view text);

// The record line of one event, newline included: `event_status` 1 is written
// as "fault", any other value as "passed"; `description` is the fault's
// configured description.
std::string FormatRecordLine(
    std::time_t stamp_sec, std::int32_t fault_id, std::string_view description,
    std::int32_t event_status, std::string_view message);

// One line as read back; the texts as written, escapes included.
struct RecordLine
{
  std::string time;  // "%Y-%m-%d_%H-%M-%S"
  std::int32_t fault_id = 0;
  std::string description;
  RecordStatus status = RecordStatus::kPassed;
  std::string message;
};

// The configured description of a fault id as it is written (escaped), or
// nothing when the id is unknown. Called during ParseRecordLine only, on the
// caller's thread.
using DescriptionLookup = std::function<std::optional<std::string>(std::int32_t)>;

// Reads one line, without its newline. On failure returns nothing and sets
// `error` to the reason (left as it was on success). `lookup` is not kept.
std::optional<RecordLine> ParseRecordLine(
    std::string_view line, std::string & error, const DescriptionLookup & lookup = {});

}  // namespace diagnostic_center::contract

#endif  // DIAGNOSTIC_CENTER__CONTRACT__RECORD_LINE_HPP_
