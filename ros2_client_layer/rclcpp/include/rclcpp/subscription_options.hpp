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

// Options for creating a subscription.
#ifndef RCLCPP__SUBSCRIPTION_OPTIONS_HPP_
#define RCLCPP__SUBSCRIPTION_OPTIONS_HPP_

#include <memory>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/intra_process_setting.hpp"
#include "rclcpp/qos_event.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

struct SubscriptionOptionsBase
{
  /// Callbacks for the subscription's events (see qos_event.hpp).
  SubscriptionEventCallbacks event_callbacks;
  /// Do not receive messages published from the same participant (context).
  bool ignore_local_publications = false;
  /// Accepted for compatibility; messages always go through DDS.
  IntraProcessSetting use_intra_process_comm = IntraProcessSetting::NodeDefault;
  /// The group the callback runs in (the node's default group when null).
  rclcpp::CallbackGroup::SharedPtr callback_group = nullptr;
  /// Accepted for compatibility.
  bool require_unique_network_flow_endpoints = false;
};

template <typename Allocator>
struct SubscriptionOptionsWithAllocator : public SubscriptionOptionsBase
{
  std::shared_ptr<Allocator> allocator = nullptr;

  SubscriptionOptionsWithAllocator() {}

  explicit SubscriptionOptionsWithAllocator(
      const SubscriptionOptionsBase & subscription_options_base)
      : SubscriptionOptionsBase(subscription_options_base)
  {
  }
};

using SubscriptionOptions = SubscriptionOptionsWithAllocator<std::allocator<void>>;

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_OPTIONS_HPP_
