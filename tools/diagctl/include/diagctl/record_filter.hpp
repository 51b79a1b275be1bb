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

// Selection of fault records by time range, fault id and status.
#ifndef DIAGCTL__RECORD_FILTER_HPP_
#define DIAGCTL__RECORD_FILTER_HPP_

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "diagctl/record_parser.hpp"

namespace diagctl {

// Which end of a time range a bound is for: a bare date means the start of
// that day for `kSince` and its last second for `kUntil`.
enum class RangeEnd
{
  kSince,
  kUntil,
};

// Turns a time given on the command line into the record time format
// "%Y-%m-%d_%H-%M-%S". Accepts that format, "YYYY-MM-DD HH:MM:SS",
// "YYYY-MM-DDTHH:MM:SS" and "YYYY-MM-DD". Returns nothing when it is none of these.
std::optional<std::string> normalize_record_time(std::string_view text, RangeEnd end);

// Adds the ids of a comma-separated list ("1001,1002") to `ids`; false with
// `error` set when an item is not a 32-bit integer.
[[nodiscard]] bool add_fault_ids(
    std::string_view list, std::set<std::int32_t> & ids, std::string & error);

// "fault" or "passed".
std::optional<RecordStatus> parse_record_status(std::string_view text);

struct RecordFilter
{
  std::optional<std::string> since;  // inclusive, record time format
  std::optional<std::string> until;  // inclusive, record time format
  std::set<std::int32_t> fault_ids;  // empty: every id
  std::optional<RecordStatus> status;

  bool matches(const Record & record) const;
};

}  // namespace diagctl

#endif  // DIAGCTL__RECORD_FILTER_HPP_
