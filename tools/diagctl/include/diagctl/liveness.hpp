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

// Whether a centre is still alive, judged by its periodic current_failure:
// it is stale once three of its periods passed without one. The period is
// learnt from the intervals observed (their median, so that one late or
// bunched message does not move it), the centre's default of 1 s until two
// messages came. Reading the centre's parameter instead would need a
// parameter client per robot and still be wrong while a message is lost.
#ifndef DIAGCTL__LIVENESS_HPP_
#define DIAGCTL__LIVENESS_HPP_

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>

namespace diagctl {

using WallClock = std::chrono::system_clock;
using WallTime = WallClock::time_point;

class Liveness
{
public:
  static constexpr int kPeriodsBeforeStale = 3;
  static constexpr std::chrono::milliseconds kDefaultPeriod{1000};
  static constexpr std::size_t kIntervalsKept = 7;

  // Starts watching at `now`: with no message yet, staleness counts from here.
  explicit Liveness(WallTime now) : last_(now) {}

  // A current_failure arrived at `now`.
  void on_message(WallTime now);

  std::chrono::nanoseconds period() const;
  // Since when the centre is stale, if it is at `now`.
  std::optional<WallTime> stale_since(WallTime now) const;
  bool stale(WallTime now) const { return stale_since(now).has_value(); }
  // The last message, or the start when none came.
  WallTime last() const { return last_; }
  bool heard() const { return heard_; }

private:
  WallTime last_;
  bool heard_ = false;
  std::deque<std::chrono::nanoseconds> intervals_;  // oldest first
};

}  // namespace diagctl

#endif  // DIAGCTL__LIVENESS_HPP_
