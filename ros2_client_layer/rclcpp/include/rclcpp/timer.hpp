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

// Timers: a callback run every period, scheduled as rcl schedules timers
// (the next call time advances by whole periods, skipping missed ones).
#ifndef RCLCPP__TIMER_HPP_
#define RCLCPP__TIMER_HPP_

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "client_layer/notifier.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

class TimerBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(TimerBase)

  /// The first call is due one period after construction.
  TimerBase(
      Clock::SharedPtr clock, std::chrono::nanoseconds period, rclcpp::Context::SharedPtr context);

  virtual ~TimerBase();

  /// Stop calling the callback until reset().
  void cancel();

  bool is_canceled();

  /// Restart: the next call is due one period from now.
  void reset();

  /// Run the callback (the executor advances the schedule before).
  virtual void execute_callback() = 0;

  virtual bool is_steady() = 0;

  /// Time until the next call is due; nanoseconds::max() when canceled.
  std::chrono::nanoseconds time_until_trigger();

  /// True when a call is due.
  bool is_ready();

  /// Mark the timer as taken by an executor; returns the previous state.
  bool exchange_in_use_by_wait_set_state(bool in_use_state);

  Clock::SharedPtr get_clock() { return clock_; }

  /// Layer internal: advance the schedule as rcl_timer_call does. False if
  /// the timer is canceled.
  bool call();

  /// Layer internal: time_until_trigger() for a reading of the timer's clock
  /// (clock_now_ns()) that the caller shares between timers of one clock type.
  std::chrono::nanoseconds time_until_trigger_at(int64_t now_ns) const;
  /// Layer internal: the timer's clock type and a reading of that clock.
  rcl_clock_type_t clock_type() const;
  int64_t clock_now_ns() const;

  /// Layer internal: the executor wakes to reschedule after reset().
  void set_notifier(std::shared_ptr<client_layer::Notifier> notifier);

protected:
  Clock::SharedPtr clock_;

private:
  const int64_t period_ns_;
  std::atomic<int64_t> next_call_time_ns_;
  std::atomic<bool> canceled_{false};
  std::atomic<bool> in_use_by_wait_set_{false};
  std::shared_ptr<client_layer::Notifier> notifier_;
};

using VoidCallbackType = std::function<void()>;
using TimerCallbackType = std::function<void(TimerBase &)>;

/// A timer on a given clock with callback `void()` or `void(rclcpp::TimerBase &)`.
template <typename FunctorT>
class GenericTimer : public TimerBase
{
  static_assert(
      std::is_invocable_v<FunctorT &> || std::is_invocable_v<FunctorT &, TimerBase &>,
      "timer callbacks take no argument or a rclcpp::TimerBase &");

public:
  RCLCPP_SMART_PTR_DEFINITIONS(GenericTimer)

  GenericTimer(
      Clock::SharedPtr clock, std::chrono::nanoseconds period, FunctorT && callback,
      rclcpp::Context::SharedPtr context)
      : TimerBase(std::move(clock), period, std::move(context)),
        callback_(std::forward<FunctorT>(callback))
  {
  }

  ~GenericTimer() override { cancel(); }

  void execute_callback() override
  {
    if constexpr (std::is_invocable_v<FunctorT &, TimerBase &>) {
      callback_(*this);
    } else {
      callback_();
    }
  }

  bool is_steady() override { return clock_->get_clock_type() == RCL_STEADY_TIME; }

protected:
  RCLCPP_DISABLE_COPY(GenericTimer)
  FunctorT callback_;
};

/// A timer on the steady clock.
template <typename FunctorT>
class WallTimer : public GenericTimer<FunctorT>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(WallTimer)

  WallTimer(
      std::chrono::nanoseconds period, FunctorT && callback, rclcpp::Context::SharedPtr context)
      : GenericTimer<FunctorT>(
            std::make_shared<Clock>(RCL_STEADY_TIME), period, std::forward<FunctorT>(callback),
            std::move(context))
  {
  }

protected:
  RCLCPP_DISABLE_COPY(WallTimer)
};

}  // namespace rclcpp

#endif  // RCLCPP__TIMER_HPP_
