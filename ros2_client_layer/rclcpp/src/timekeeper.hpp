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

// Which sleeping executor thread wakes for the timers, and when.
//
// Two sleeping threads keep time: the watcher wakes when the earliest timer
// falls due, the standby kHandoverBound later, in case the thread that took
// the due timers is still busy with them then. Each claim() call asks for a
// Claimant id once and plans every sleep through it; the timekeeper records
// which claimant holds which role, so a role taken over by another thread is
// simply no longer held.
//
// Guarded by the executor core's mutex; no lock of its own. Only the
// standby's sleep itself runs with that mutex released.
#ifndef CLIENT_LAYER__TIMEKEEPER_HPP_
#define CLIENT_LAYER__TIMEKEEPER_HPP_

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>

#include "standby_sleeper.hpp"

namespace client_layer {

class Timekeeper
{
public:
  using Clock = std::chrono::steady_clock;
  // One claim() call; never zero.
  using Claimant = uint64_t;

  // What a claimant does while it sleeps.
  struct Role
  {
    enum class Kind
    {
      none,
      watcher,
      standby
    };
    Kind kind = Kind::none;
    // The watcher's deadline (the earliest timer).
    Clock::time_point wake_at{};
  };

  // Longest a callback delays other groups' due timers before another
  // thread takes them.
  static constexpr std::chrono::milliseconds kHandoverBound{1};

  Claimant new_claimant() { return ++last_claimant_; }

  // Chooses the claimant's role for its next sleep, `earliest` being when
  // the next timer of a free group falls due (none: no timer to wait for).
  // It watches `earliest` unless another claimant does already, or else
  // stands by kHandoverBound after it unless another does; taking a role
  // gives up the one it held. On the way it moves a sleeping standby's
  // deadline to the tick `earliest` belongs to.
  Role plan_sleep(Claimant claimant, std::optional<Clock::time_point> earliest);
  // Gives up the claimant's role; true if it held one, which someone else
  // may now have to take.
  bool resign(Claimant claimant);
  // True if the watcher or the standby wakes by `limit`.
  bool wakes_by(Clock::time_point limit) const;

  // Sleeps as the standby until its deadline, which others may move, a
  // wake_standby(), or `limit`. Releases `lock` (the core's) meanwhile.
  void sleep_as_standby(
      std::unique_lock<std::mutex> & lock, std::optional<Clock::time_point> limit);
  bool standby_asleep() const { return standby_asleep_; }
  // Wakes the standby if it sleeps.
  void wake_standby();

private:
  // Moves the sleeping standby's deadline to `due` if it would wake before
  // the next tick for nothing, or too late after it.
  void retime_sleeping_standby(Clock::time_point due);

  Claimant last_claimant_ = 0;
  // The watched timer deadline and who watches it (0: nobody).
  std::optional<Clock::time_point> watch_;
  Claimant watcher_ = 0;
  // When the standby wakes and who it is (0: nobody).
  std::optional<Clock::time_point> standby_due_;
  Claimant standby_ = 0;
  bool standby_asleep_ = false;
  StandbySleeper standby_sleeper_;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__TIMEKEEPER_HPP_
