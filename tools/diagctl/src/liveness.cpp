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

#include "diagctl/liveness.hpp"

#include <algorithm>
#include <vector>

namespace diagctl {

void Liveness::on_message(WallTime now)
{
  const auto interval = std::chrono::duration_cast<std::chrono::nanoseconds>(now - last_);
  // Every interval counts, outages and bunched messages too: the median
  // keeps either from moving the period. Leaving out the intervals that made
  // the centre stale would lock a wrong period in: after two bunched messages
  // every regular interval would look like an outage. One of zero or less is
  // a burst of queued messages or a clock step.
  if (heard_ && interval.count() > 0) {
    intervals_.push_back(interval);
    if (intervals_.size() > kIntervalsKept) {
      intervals_.pop_front();
    }
  }
  last_ = std::max(last_, now);
  heard_ = true;
}

std::chrono::nanoseconds Liveness::period() const
{
  if (intervals_.empty()) {
    return kDefaultPeriod;
  }
  std::vector<std::chrono::nanoseconds> sorted(intervals_.begin(), intervals_.end());
  const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
  std::nth_element(sorted.begin(), middle, sorted.end());
  return *middle;
}

std::optional<WallTime> Liveness::stale_since(WallTime now) const
{
  const WallTime since =
      last_ + std::chrono::duration_cast<WallClock::duration>(period() * kPeriodsBeforeStale);
  if (now < since) {
    return std::nullopt;
  }
  return since;
}

}  // namespace diagctl
