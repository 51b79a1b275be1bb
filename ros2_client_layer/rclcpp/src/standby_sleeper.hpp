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

// A sleep whose deadline other threads may move without waking the sleeper.
//
// The executor's standby thread sleeps until a moment shortly after the next
// timer tick, to take over timers if the thread running that tick's batch is
// still busy then. When the batch ends in time, the deadline moves on to the
// next tick; a condition variable's timed wait could only be moved by waking
// the sleeper, once per tick. A timerfd can be re-armed from any thread, and
// an eventfd carries the notifications a condition variable would.
#ifndef CLIENT_LAYER__STANDBY_SLEEPER_HPP_
#define CLIENT_LAYER__STANDBY_SLEEPER_HPP_

#include <chrono>
#include <optional>

namespace client_layer {

class StandbySleeper
{
public:
  using Clock = std::chrono::steady_clock;

  // Throws std::system_error if the descriptors cannot be created.
  StandbySleeper();
  ~StandbySleeper();
  StandbySleeper(const StandbySleeper &) = delete;
  StandbySleeper & operator=(const StandbySleeper &) = delete;

  // Sets the moment at which sleep() returns; a later call replaces it.
  void arm(Clock::time_point deadline);
  // Makes the current or the next sleep() return at once.
  void wake();
  // Sleeps until the armed deadline, a wake(), or `limit`, whichever is first.
  void sleep(std::optional<Clock::time_point> limit);
  // Forgets an expiry or a wake() that sleep() did not consume.
  void clear();

private:
  void close_descriptors();

  int timer_fd_ = -1;
  int event_fd_ = -1;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__STANDBY_SLEEPER_HPP_
