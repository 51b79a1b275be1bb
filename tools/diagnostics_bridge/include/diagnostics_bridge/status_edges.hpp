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

// Turns the statuses of /diagnostics into the raises and clears of the
// mapped faults: only when a fault's state changes, never for each repeat
// of an unchanged status.
//
// A fault is raised while any status its mapping selects is at a raising
// level (ERROR, and WARN or STALE where the mapping says so), and cleared
// once every selected status it has seen is OK. A level the mapping ignores
// leaves that status where it was; a status that is not published any more
// keeps its last level. A fault's first state is sent whichever it is, so
// that a restarted bridge brings the centre back to the truth.
//
// Not thread-safe: one owner feeds it, from one callback.
#ifndef DIAGNOSTICS_BRIDGE__STATUS_EDGES_HPP_
#define DIAGNOSTICS_BRIDGE__STATUS_EDGES_HPP_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "diagnostic_msgs/msg/diagnostic_status.hpp"
#include "diagnostics_bridge/mapping_file.hpp"

namespace diagnostics_bridge {

// A fault whose state is to be sent to the centre.
struct FaultChange
{
  std::int32_t fault_id = 0;
  std::string topic;
  bool present = false;
  // The status that decided it, "<name> [<LEVEL>]: <message>".
  std::string event_msg;
  // The name of that status.
  std::string source;
};

// True for the centre's own statuses: "diagnostic_center" and
// "diagnostic_center/<fault id>", also below a namespace. The bridge never
// feeds the centre's output back into it.
bool IsCentreStatus(const std::string & status_name);

class StatusEdges
{
public:
  explicit StatusEdges(std::vector<Mapping> mappings);

  // Takes one DiagnosticArray's statuses.
  void Observe(const std::vector<diagnostic_msgs::msg::DiagnosticStatus> & statuses);

  // Every fault whose state differs from the one last marked sent, in the
  // order of the mapping file.
  std::vector<FaultChange> Unsent() const;

  // The centre has `change`: it is not offered again until the state changes.
  void MarkSent(const FaultChange & change);

  // The centre may have lost what was sent on `topic` (it left and came
  // back): the current states of its faults are offered again.
  void ForgetSent(const std::string & topic);

  const std::vector<Mapping> & mappings() const { return mappings_; }

  // Statuses not tracked because their fault already tracked
  // kMaxStatusesPerFault others (a pattern that selects without bound), or
  // because their name and hardware id together are longer than
  // kMaxStatusKeyBytes.
  std::uint64_t untracked_statuses() const { return untracked_statuses_; }

  // Bounds on what any node on the network can make the bridge keep.
  static constexpr std::size_t kMaxStatusesPerFault = 1024;
  static constexpr std::size_t kMaxStatusKeyBytes = 1024;
  // A longer status message is cut there in the event ("..." marks the cut).
  static constexpr std::size_t kMaxMessageBytes = 1024;

private:
  // What one selected status says about its fault.
  struct Verdict
  {
    bool raising = false;
    std::string event_msg;
  };
  // A status is known by its name and hardware id.
  using StatusKey = std::pair<std::string, std::string>;
  struct FaultState
  {
    std::map<StatusKey, Verdict> statuses;
    // The status whose verdict changed last; set once `statuses` has one.
    StatusKey last_changed;
    std::optional<bool> sent;
  };

  static std::optional<bool> RaisingLevel(const Mapping & mapping, std::uint8_t level);
  std::optional<FaultChange> Current(std::size_t index) const;

  std::vector<Mapping> mappings_;
  std::vector<FaultState> states_;
  std::uint64_t untracked_statuses_ = 0;
};

}  // namespace diagnostics_bridge

#endif  // DIAGNOSTICS_BRIDGE__STATUS_EDGES_HPP_
