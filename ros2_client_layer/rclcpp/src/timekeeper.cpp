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

#include "timekeeper.hpp"

namespace client_layer {

namespace {

// Each scan reads the clock at a slightly different moment: marks closer
// than this count as the same, or a thread that took over a mark only a few
// microseconds earlier would leave the old holder asleep until it too.
constexpr std::chrono::microseconds kSlack{50};

}  // namespace

Timekeeper::Role Timekeeper::plan_sleep(
    Claimant claimant, std::optional<Clock::time_point> earliest)
{
  if (!earliest) {
    // No timer to wait for (those left are in groups busy elsewhere): a
    // timekeeper that kept its mark would sleep past it while the others,
    // trusting the mark, sleep too. The thread that frees the group scans
    // again when it comes back and watches those timers then.
    resign(claimant);
    return Role{};
  }
  const auto standby_due = *earliest + kHandoverBound;
  if (standby_ != claimant) {
    retime_sleeping_standby(standby_due);
  }
  const bool watched = watch_ && *watch_ <= *earliest + kSlack && watcher_ != claimant;
  const bool covered =
      standby_due_ && *standby_due_ <= standby_due + kSlack && standby_ != claimant;
  if (!watched) {
    resign(claimant);
    watch_ = earliest;
    watcher_ = claimant;
    return Role{Role::Kind::watcher, *earliest};
  }
  if (!covered) {
    resign(claimant);
    standby_due_ = standby_due;
    standby_ = claimant;
    return Role{Role::Kind::standby, {}};
  }
  // Both marks are held by others (this claimant holds neither, or one of
  // the tests above would have failed).
  return Role{};
}

bool Timekeeper::resign(Claimant claimant)
{
  bool held = false;
  if (watcher_ == claimant) {
    watch_.reset();
    watcher_ = 0;
    held = true;
  }
  if (standby_ == claimant) {
    standby_due_.reset();
    standby_ = 0;
    held = true;
  }
  return held;
}

bool Timekeeper::wakes_by(Clock::time_point limit) const
{
  return (watch_ && *watch_ <= limit) || (standby_due_ && *standby_due_ <= limit);
}

void Timekeeper::sleep_as_standby(
    std::unique_lock<std::mutex> & lock, std::optional<Clock::time_point> limit)
{
  standby_sleeper_.arm(*standby_due_);
  standby_asleep_ = true;
  lock.unlock();
  standby_sleeper_.sleep(limit);
  lock.lock();
  standby_asleep_ = false;
  // No wake_standby() reaches the sleeper now: what it left pending is stale.
  standby_sleeper_.clear();
}

void Timekeeper::wake_standby()
{
  if (standby_asleep_) {
    standby_sleeper_.wake();
  }
}

void Timekeeper::retime_sleeping_standby(Clock::time_point due)
{
  if (!standby_asleep_ || !standby_due_) {
    return;
  }
  const bool before_tick = *standby_due_ + kSlack < due - kHandoverBound;
  const bool too_late = *standby_due_ > due + kSlack;
  if (before_tick || too_late) {
    standby_due_ = due;
    standby_sleeper_.arm(due);
  }
}

}  // namespace client_layer
