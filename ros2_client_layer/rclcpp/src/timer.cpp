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

#include "rclcpp/timer.hpp"

#include <limits>
#include <stdexcept>

#include "client_layer/error_state.hpp"

namespace rclcpp {

namespace {

constexpr int kRetNotInit = 101;  // RCL_RET_NOT_INIT

// Huge periods (up to nanoseconds::max()) must not wrap the schedule around.
int64_t saturating_add(int64_t a, int64_t b)
{
  if (b > 0 && a > std::numeric_limits<int64_t>::max() - b) {
    return std::numeric_limits<int64_t>::max();
  }
  return a + b;
}

}  // namespace

TimerBase::TimerBase(
    Clock::SharedPtr clock, std::chrono::nanoseconds period, rclcpp::Context::SharedPtr context)
    : clock_(std::move(clock)), period_ns_(period.count()), next_call_time_ns_(0)
{
  if (!clock_) {
    throw std::invalid_argument("clock argument cannot be null");
  }
  if (!context || !context->is_valid()) {
    client_layer::throw_from_error(
        kRetNotInit, "Couldn't initialize rcl timer handle",
        CLIENT_LAYER_ERROR_STATE(
            "the given context is not valid, either rcl_init() was not called or "
            "rcl_shutdown() was called."));
  }
  next_call_time_ns_ = saturating_add(clock_now_ns(), period_ns_);
}

TimerBase::~TimerBase() = default;

int64_t TimerBase::clock_now_ns() const { return clock_->now().nanoseconds(); }

rcl_clock_type_t TimerBase::clock_type() const { return clock_->get_clock_type(); }

void TimerBase::cancel() { canceled_ = true; }

bool TimerBase::is_canceled() { return canceled_; }

void TimerBase::reset()
{
  next_call_time_ns_ = saturating_add(clock_now_ns(), period_ns_);
  canceled_ = false;
  if (notifier_) {
    notifier_->notify();
  }
}

std::chrono::nanoseconds TimerBase::time_until_trigger()
{
  return time_until_trigger_at(clock_now_ns());
}

std::chrono::nanoseconds TimerBase::time_until_trigger_at(int64_t now_ns) const
{
  if (canceled_) {
    return std::chrono::nanoseconds::max();
  }
  return std::chrono::nanoseconds(next_call_time_ns_.load() - now_ns);
}

bool TimerBase::is_ready() { return !canceled_ && next_call_time_ns_.load() <= clock_now_ns(); }

bool TimerBase::exchange_in_use_by_wait_set_state(bool in_use_state)
{
  return in_use_by_wait_set_.exchange(in_use_state);
}

bool TimerBase::call()
{
  if (canceled_) {
    return false;
  }
  const int64_t now = clock_now_ns();
  int64_t next_call_time = saturating_add(next_call_time_ns_.load(), period_ns_);
  if (next_call_time < now) {
    if (period_ns_ == 0) {
      next_call_time = now;
    } else {
      // Missed periods are skipped: move forward by whole periods past now.
      const int64_t now_ahead = now - next_call_time;
      const int64_t periods_ahead = 1 + (now_ahead - 1) / period_ns_;
      next_call_time += periods_ahead * period_ns_;
    }
  }
  next_call_time_ns_ = next_call_time;
  return true;
}

void TimerBase::set_notifier(std::shared_ptr<client_layer::Notifier> notifier)
{
  notifier_ = std::move(notifier);
}

}  // namespace rclcpp
