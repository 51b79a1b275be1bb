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

#include "diagnostic_center/diagnosis_views.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <utility>

#include "diagnostic_center/contract/record_line.hpp"

namespace diagnostic_center {

namespace {

using diag_tree::FailureView;
using diagnostic_msgs::msg::DiagnosticStatus;
using diagnostic_msgs::msg::KeyValue;

constexpr std::int64_t kNanosecondsPerSecond = 1000000000;

std::string SignedId(std::uint32_t fault_id)
{
  return std::to_string(static_cast<std::int32_t>(fault_id));
}

std::string Counted(std::size_t count, const char * singular, const char * plural)
{
  return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

KeyValue Value(const char * key, std::string value)
{
  KeyValue pair;
  pair.key = key;
  pair.value = std::move(value);
  return pair;
}

DiagnosticStatus FailureStatus(const FailureView & failure, const std::string & status_name)
{
  DiagnosticStatus status;
  status.level = failure.parent_id ? DiagnosticStatus::WARN : DiagnosticStatus::ERROR;
  status.name = status_name + "/" + SignedId(failure.fault_id);
  status.message =
      failure.description.empty() ? "fault " + SignedId(failure.fault_id) : failure.description;
  status.hardware_id = failure.module;
  status.values = {
      Value("fault_id", SignedId(failure.fault_id)),
      Value("root_cause", std::to_string(failure.root_cause)),
      Value("caused_by", failure.parent_id ? SignedId(*failure.parent_id) : std::string()),
      Value("raised_at", IsoUtc(failure.raised_at)),
      Value("event_msg", contract::EscapeRecordText(failure.event_msg)),
  };
  return status;
}

// Level: the worst of the failures' levels, OK for none.
DiagnosticStatus SummaryStatus(
    const std::vector<DiagnosticStatus> & failures, std::size_t roots, std::size_t consequences,
    const std::string & status_name)
{
  DiagnosticStatus status;
  status.name = status_name;
  status.level = DiagnosticStatus::OK;
  for (const DiagnosticStatus & failure : failures) {
    status.level = std::max(status.level, failure.level);
  }
  status.message = roots + consequences == 0
                       ? "no failure"
                       : Counted(roots, "root cause", "root causes") + ", " +
                             Counted(consequences, "consequence", "consequences");
  return status;
}

// Which failures there are and which of them hang below which.
bool SameStructure(const Snapshot & a, const Snapshot & b)
{
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].fault_id != b[i].fault_id || a[i].parent_id != b[i].parent_id) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string IsoUtc(const builtin_interfaces::msg::Time & stamp)
{
  const std::int64_t total = static_cast<std::int64_t>(stamp.sec) * kNanosecondsPerSecond +
                             static_cast<std::int64_t>(stamp.nanosec);
  std::int64_t seconds = total / kNanosecondsPerSecond;
  std::int64_t nanoseconds = total % kNanosecondsPerSecond;
  if (nanoseconds < 0) {  // before 1970: the fraction counts forward from a whole second
    seconds -= 1;
    nanoseconds += kNanosecondsPerSecond;
  }
  const auto time = static_cast<std::time_t>(seconds);
  std::tm utc{};
  gmtime_r(&time, &utc);
  char date[32];
  std::strftime(date, sizeof(date), "%Y-%m-%dT%H:%M:%S", &utc);
  char fraction[16];
  std::snprintf(fraction, sizeof(fraction), ".%09lldZ", static_cast<long long>(nanoseconds));
  return std::string(date) + fraction;
}

corvanta_protocol::msg::DiagnosisTree BuildDiagnosisTree(
    const Snapshot & snapshot, const builtin_interfaces::msg::Time & stamp)
{
  corvanta_protocol::msg::DiagnosisTree tree;
  tree.stamp = stamp;
  tree.entries.reserve(snapshot.size());
  for (const FailureView & failure : snapshot) {
    corvanta_protocol::msg::DiagnosisEntry entry;
    entry.fault_id = static_cast<std::int32_t>(failure.fault_id);
    entry.parent_id = static_cast<std::int32_t>(failure.parent_id.value_or(failure.fault_id));
    entry.raised_at = failure.raised_at;
    entry.module = failure.module;
    entry.description = failure.description;
    entry.event_msg = failure.event_msg;
    tree.entries.push_back(std::move(entry));
  }
  return tree;
}

diagnostic_msgs::msg::DiagnosticArray BuildDiagnosticArray(
    const Snapshot & snapshot, const builtin_interfaces::msg::Time & stamp,
    const std::string & status_name)
{
  diagnostic_msgs::msg::DiagnosticArray array;
  array.header.stamp = stamp;
  array.status.reserve(snapshot.size() + 1);
  std::size_t roots = 0;
  for (const FailureView & failure : snapshot) {
    roots += failure.parent_id ? 0 : 1;
    array.status.push_back(FailureStatus(failure, status_name));
  }
  array.status.push_back(SummaryStatus(array.status, roots, snapshot.size() - roots, status_name));
  return array;
}

ViewChanges::Due ViewChanges::Update(const Snapshot & now)
{
  Due due;
  due.tree = now != last_;
  due.diagnostics = !SameStructure(now, last_);
  if (due.tree) {
    last_ = now;
  }
  return due;
}

}  // namespace diagnostic_center
