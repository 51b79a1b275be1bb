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

#include "standby_sleeper.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace client_layer {

namespace {

static_assert(
    std::chrono::steady_clock::is_steady,
    "the timerfd runs on CLOCK_MONOTONIC, which steady_clock reads");

timespec to_timespec(std::chrono::nanoseconds time)
{
  if (time < std::chrono::nanoseconds::zero()) {
    time = std::chrono::nanoseconds::zero();
  }
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(time);
  timespec spec{};
  spec.tv_sec = static_cast<time_t>(seconds.count());
  spec.tv_nsec = static_cast<long>((time - seconds).count());
  return spec;
}

// Empties a descriptor that counts events (both are non-blocking).
void drain(int fd)
{
  std::uint64_t count = 0;
  while (::read(fd, &count, sizeof(count)) > 0) {
  }
}

}  // namespace

StandbySleeper::StandbySleeper()
    : timer_fd_(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)),
      event_fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
  if (timer_fd_ < 0 || event_fd_ < 0) {
    const int error = errno;
    close_descriptors();
    throw std::system_error(error, std::generic_category(), "executor standby sleeper");
  }
}

StandbySleeper::~StandbySleeper() { close_descriptors(); }

void StandbySleeper::close_descriptors()
{
  if (timer_fd_ >= 0) {
    ::close(timer_fd_);
  }
  if (event_fd_ >= 0) {
    ::close(event_fd_);
  }
  timer_fd_ = event_fd_ = -1;
}

void StandbySleeper::arm(Clock::time_point deadline)
{
  itimerspec spec{};
  spec.it_value = to_timespec(deadline.time_since_epoch());
  if (spec.it_value.tv_sec == 0 && spec.it_value.tv_nsec == 0) {
    spec.it_value.tv_nsec = 1;  // zero would disarm it
  }
  ::timerfd_settime(timer_fd_, TFD_TIMER_ABSTIME, &spec, nullptr);
}

void StandbySleeper::wake()
{
  const std::uint64_t one = 1;
  // Fails only when the counter is full, and then a wake is pending anyway.
  [[maybe_unused]] const auto written = ::write(event_fd_, &one, sizeof(one));
}

void StandbySleeper::sleep(std::optional<Clock::time_point> limit)
{
  pollfd fds[2] = {{timer_fd_, POLLIN, 0}, {event_fd_, POLLIN, 0}};
  timespec timeout{};
  if (limit) {
    timeout = to_timespec(*limit - Clock::now());
  }
  ::ppoll(fds, 2, limit ? &timeout : nullptr, nullptr);
}

void StandbySleeper::clear()
{
  drain(timer_fd_);
  drain(event_fd_);
}

}  // namespace client_layer
