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

#include "diagctl/event_values.hpp"

#include <cctype>
#include <chrono>
#include <limits>

#include "diagnostic_center/contract/names.hpp"

namespace diagctl {

namespace {

constexpr std::int64_t kNanosPerSecond = 1000000000;

// "arm_driver" of "arm_driver_diag_topic".
std::string_view module_name(std::string_view topic)
{
  return topic.substr(
      0, topic.size() - std::string_view(diagnostic_center::contract::kModuleTopicSuffix).size());
}

}  // namespace

std::optional<std::string> module_topic(std::string_view module)
{
  for (const std::string_view topic : diagnostic_center::contract::kModuleTopics) {
    if (module == topic || module == module_name(topic)) {
      return std::string(topic);
    }
  }
  return std::nullopt;
}

std::string module_names()
{
  std::string names;
  for (const std::string_view topic : diagnostic_center::contract::kModuleTopics) {
    names += names.empty() ? "" : ", ";
    names += module_name(topic);
  }
  return names;
}

Stamp stamp_now()
{
  const auto since_epoch = std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  const std::int64_t nanos = since_epoch.count();
  return {
      static_cast<std::int32_t>(nanos / kNanosPerSecond),
      static_cast<std::uint32_t>(nanos % kNanosPerSecond)};
}

std::optional<Stamp> parse_stamp(std::string_view text)
{
  if (text == "now") {
    return stamp_now();
  }
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) {
    text.remove_prefix(1);
  }
  const std::size_t dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? "" : text.substr(dot + 1);
  const auto all_digits = [](std::string_view digits) {
    for (const char c : digits) {
      if (!std::isdigit(static_cast<unsigned char>(c))) {
        return false;
      }
    }
    return true;
  };
  if (whole.empty() || whole.size() > 10 || fraction.size() > 9 || !all_digits(whole) ||
      !all_digits(fraction) || (dot != std::string_view::npos && fraction.empty())) {
    return std::nullopt;
  }
  std::int64_t nanos = std::stoll(std::string(whole)) * kNanosPerSecond;
  std::int64_t scale = kNanosPerSecond;
  for (const char c : fraction) {
    scale /= 10;
    nanos += (c - '0') * scale;
  }
  if (negative) {
    nanos = -nanos;
  }
  // Floor division, so that nanosec is always the positive part.
  std::int64_t sec = nanos / kNanosPerSecond;
  if (nanos % kNanosPerSecond < 0) {
    --sec;
  }
  if (sec < std::numeric_limits<std::int32_t>::min() ||
      sec > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return Stamp{
      static_cast<std::int32_t>(sec), static_cast<std::uint32_t>(nanos - sec * kNanosPerSecond)};
}

}  // namespace diagctl
