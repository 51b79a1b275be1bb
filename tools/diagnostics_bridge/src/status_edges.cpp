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

#include "diagnostics_bridge/status_edges.hpp"

#include <algorithm>
#include <string_view>
#include <utility>

#include "diagnostic_center/contract/names.hpp"

namespace diagnostics_bridge {

namespace {

using diagnostic_msgs::msg::DiagnosticStatus;

const char * LevelName(std::uint8_t level)
{
  switch (level) {
    case DiagnosticStatus::OK:
      return "OK";
    case DiagnosticStatus::WARN:
      return "WARN";
    case DiagnosticStatus::ERROR:
      return "ERROR";
    case DiagnosticStatus::STALE:
      return "STALE";
    default:
      return "UNKNOWN";
  }
}

bool IsSignedDecimal(std::string_view text)
{
  if (!text.empty() && text.front() == '-') {
    text.remove_prefix(1);
  }
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Bounded(const std::string & message)
{
  if (message.size() <= StatusEdges::kMaxMessageBytes) {
    return message;
  }
  return message.substr(0, StatusEdges::kMaxMessageBytes) + "...";
}

}  // namespace

bool IsCentreStatus(const std::string & status_name)
{
  std::string_view name = status_name;
  std::size_t slash = name.rfind('/');
  if (slash != std::string_view::npos && IsSignedDecimal(name.substr(slash + 1))) {
    name = name.substr(0, slash);  // a failure's status: its fault id follows the centre's name
  }
  slash = name.rfind('/');
  const std::string_view last = slash == std::string_view::npos ? name : name.substr(slash + 1);
  return last == diagnostic_center::contract::kDiagnosticsStatusName;
}

StatusEdges::StatusEdges(std::vector<Mapping> mappings)
    : mappings_(std::move(mappings)), states_(mappings_.size())
{
}

std::optional<bool> StatusEdges::RaisingLevel(const Mapping & mapping, std::uint8_t level)
{
  switch (level) {
    case DiagnosticStatus::OK:
      return false;
    case DiagnosticStatus::ERROR:
      return true;
    case DiagnosticStatus::WARN:
      return mapping.warn == LevelPolicy::kRaise ? std::optional<bool>(true) : std::nullopt;
    case DiagnosticStatus::STALE:
      return mapping.stale == LevelPolicy::kRaise ? std::optional<bool>(true) : std::nullopt;
    default:  // not a level diagnostic_msgs defines
      return std::nullopt;
  }
}

void StatusEdges::Observe(const std::vector<DiagnosticStatus> & statuses)
{
  for (const DiagnosticStatus & status : statuses) {
    if (IsCentreStatus(status.name)) {
      continue;
    }
    for (std::size_t i = 0; i < mappings_.size(); ++i) {
      const Mapping & mapping = mappings_[i];
      if (!mapping.Selects(status.name, status.hardware_id)) {
        continue;
      }
      const std::optional<bool> raising = RaisingLevel(mapping, status.level);
      if (!raising) {
        continue;
      }
      FaultState & state = states_[i];
      const auto key = std::make_pair(status.name, status.hardware_id);
      auto found = state.statuses.find(key);
      if (found == state.statuses.end()) {
        if (state.statuses.size() >= kMaxStatusesPerFault ||
            key.first.size() + key.second.size() > kMaxStatusKeyBytes) {
          ++untracked_statuses_;
          continue;
        }
        found = state.statuses.emplace(key, Verdict{}).first;
      } else if (found->second.raising == *raising) {
        continue;  // a repeat
      }
      found->second.raising = *raising;
      found->second.event_msg =
          status.name + " [" + LevelName(status.level) + "]: " + Bounded(status.message);
      state.last_changed = key;
    }
  }
}

std::optional<FaultChange> StatusEdges::Current(std::size_t index) const
{
  const FaultState & state = states_[index];
  if (state.statuses.empty()) {
    return std::nullopt;  // nothing seen yet
  }
  // The status that changed last explains the state, unless the fault is
  // still raised by another one.
  auto reason = state.statuses.find(state.last_changed);
  const bool present = std::any_of(
      state.statuses.begin(), state.statuses.end(),
      [](const auto & entry) { return entry.second.raising; });
  if (present && !reason->second.raising) {
    reason = std::find_if(state.statuses.begin(), state.statuses.end(), [](const auto & entry) {
      return entry.second.raising;
    });
  }
  FaultChange change;
  change.fault_id = mappings_[index].fault_id;
  change.topic = mappings_[index].topic;
  change.present = present;
  change.event_msg = reason->second.event_msg;
  change.source = reason->first.first;
  return change;
}

std::vector<FaultChange> StatusEdges::Unsent() const
{
  std::vector<FaultChange> unsent;
  for (std::size_t i = 0; i < states_.size(); ++i) {
    std::optional<FaultChange> current = Current(i);
    if (current && states_[i].sent != current->present) {
      unsent.push_back(std::move(*current));
    }
  }
  return unsent;
}

void StatusEdges::MarkSent(const FaultChange & change)
{
  for (std::size_t i = 0; i < mappings_.size(); ++i) {
    if (mappings_[i].fault_id == change.fault_id) {
      states_[i].sent = change.present;
    }
  }
}

void StatusEdges::ForgetSent(const std::string & topic)
{
  for (std::size_t i = 0; i < mappings_.size(); ++i) {
    if (mappings_[i].topic == topic) {
      states_[i].sent.reset();
    }
  }
}

}  // namespace diagnostics_bridge
