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

// Free functions that create timers on a node's interfaces.
#ifndef RCLCPP__CREATE_TIMER_HPP_
#define RCLCPP__CREATE_TIMER_HPP_

#include <chrono>
#include <limits>
#include <memory>
#include <stdexcept>
#include <utility>

#include "rclcpp/duration.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/node_interfaces/node_timers_interface.hpp"
#include "rclcpp/timer.hpp"

namespace rclcpp {
namespace detail {

/// Convert a timer period to nanoseconds.
/** \throws std::invalid_argument if the period is negative or does not fit. */
template <typename DurationRepT, typename DurationT>
std::chrono::nanoseconds safe_cast_to_period_in_ns(
    std::chrono::duration<DurationRepT, DurationT> period)
{
  if (period < std::chrono::duration<DurationRepT, DurationT>::zero()) {
    throw std::invalid_argument{"timer period cannot be negative"};
  }
  // Compared in double, whose conversion cannot overflow; one unit of the
  // period's type is kept as margin for the rounding of that conversion.
  constexpr auto maximum_safe_cast_ns =
      std::chrono::nanoseconds::max() - std::chrono::duration<DurationRepT, DurationT>(1);
  constexpr auto ns_max_as_double =
      std::chrono::duration_cast<std::chrono::duration<double, std::chrono::nanoseconds::period>>(
          maximum_safe_cast_ns);
  if (period > ns_max_as_double) {
    throw std::invalid_argument{"timer period must be less than std::chrono::nanoseconds::max()"};
  }
  const auto period_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(period);
  if (period_ns < std::chrono::nanoseconds::zero()) {
    throw std::runtime_error{"Casting timer period to nanoseconds resulted in integer overflow."};
  }
  return period_ns;
}

}  // namespace detail

/// Create a timer on the steady clock and add it to the node.
template <typename DurationRepT, typename DurationT, typename CallbackT>
typename rclcpp::WallTimer<CallbackT>::SharedPtr create_wall_timer(
    std::chrono::duration<DurationRepT, DurationT> period, CallbackT callback,
    rclcpp::CallbackGroup::SharedPtr group, node_interfaces::NodeBaseInterface * node_base,
    node_interfaces::NodeTimersInterface * node_timers)
{
  if (node_base == nullptr) {
    throw std::invalid_argument{"input node_base cannot be null"};
  }
  if (node_timers == nullptr) {
    throw std::invalid_argument{"input node_timers cannot be null"};
  }
  const std::chrono::nanoseconds period_ns = detail::safe_cast_to_period_in_ns(period);
  auto timer = rclcpp::WallTimer<CallbackT>::make_shared(
      period_ns, std::move(callback), node_base->get_context());
  node_timers->add_timer(timer, group);
  return timer;
}

/// Create a timer on the given clock and add it to the node.
template <typename CallbackT>
typename rclcpp::TimerBase::SharedPtr create_timer(
    node_interfaces::NodeBaseInterface::SharedPtr node_base,
    node_interfaces::NodeTimersInterface::SharedPtr node_timers, rclcpp::Clock::SharedPtr clock,
    rclcpp::Duration period, CallbackT && callback,
    rclcpp::CallbackGroup::SharedPtr group = nullptr)
{
  if (period.nanoseconds() < 0) {
    throw std::invalid_argument{"timer period cannot be negative"};
  }
  auto timer = rclcpp::GenericTimer<CallbackT>::make_shared(
      std::move(clock), period.to_chrono<std::chrono::nanoseconds>(),
      std::forward<CallbackT>(callback), node_base->get_context());
  node_timers->add_timer(timer, group);
  return timer;
}

/// Create a timer on the given clock and add it to the node.
template <typename NodeT, typename CallbackT>
typename rclcpp::TimerBase::SharedPtr create_timer(
    NodeT node, rclcpp::Clock::SharedPtr clock, rclcpp::Duration period, CallbackT && callback,
    rclcpp::CallbackGroup::SharedPtr group = nullptr)
{
  return create_timer(
      node->get_node_base_interface(), node->get_node_timers_interface(), std::move(clock), period,
      std::forward<CallbackT>(callback), group);
}

}  // namespace rclcpp

#endif  // RCLCPP__CREATE_TIMER_HPP_
