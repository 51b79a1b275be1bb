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

#include "diagctl/record_filter.hpp"

#include <algorithm>
#include <cctype>

#include "diagctl/arg_parser.hpp"

namespace diagctl {

namespace {

// Digits where `pattern` has '0', the very character elsewhere.
bool has_shape(std::string_view text, std::string_view pattern)
{
  if (text.size() != pattern.size()) {
    return false;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool is_digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
    if (pattern[i] == '0' ? !is_digit : text[i] != pattern[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<std::string> normalize_record_time(std::string_view text, RangeEnd end)
{
  if (has_shape(text, "0000-00-00")) {
    return std::string(text) + (end == RangeEnd::kSince ? "_00-00-00" : "_23-59-59");
  }
  if (has_shape(text, "0000-00-00_00-00-00")) {
    return std::string(text);
  }
  if (has_shape(text, "0000-00-00 00:00:00") || has_shape(text, "0000-00-00T00:00:00")) {
    std::string time(text);
    time[10] = '_';
    time[13] = '-';
    time[16] = '-';
    return time;
  }
  return std::nullopt;
}

bool add_fault_ids(std::string_view list, std::set<std::int32_t> & ids, std::string & error)
{
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string text(list.substr(start, comma - start));
    const auto id = parse_int32(text);
    if (!id) {
      error = "not a 32-bit fault id: \"" + text + "\"";
      return false;
    }
    ids.insert(*id);
    start = comma + 1;
  }
  return true;
}

std::optional<RecordStatus> parse_record_status(std::string_view text)
{
  if (text == "fault") {
    return RecordStatus::kFault;
  }
  if (text == "passed") {
    return RecordStatus::kPassed;
  }
  return std::nullopt;
}

bool RecordFilter::matches(const Record & record) const
{
  // The record time format is fixed-width and most significant first, so
  // text order is time order.
  if (since && record.time < *since) {
    return false;
  }
  if (until && record.time > *until) {
    return false;
  }
  if (!fault_ids.empty() && fault_ids.count(record.fault_id) == 0) {
    return false;
  }
  return !status || record.status == *status;
}

}  // namespace diagctl
