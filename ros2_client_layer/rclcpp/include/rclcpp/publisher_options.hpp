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

// Options for creating a publisher.
#ifndef RCLCPP__PUBLISHER_OPTIONS_HPP_
#define RCLCPP__PUBLISHER_OPTIONS_HPP_

#include <memory>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/intra_process_setting.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

struct PublisherOptionsBase
{
  /// Accepted for compatibility; messages always go through DDS.
  IntraProcessSetting use_intra_process_comm = IntraProcessSetting::NodeDefault;
  /// Runs the publisher's event callback (null: the node's default group).
  rclcpp::CallbackGroup::SharedPtr callback_group;
  /// Accepted for compatibility.
  bool require_unique_network_flow_endpoints = false;
};

template <typename Allocator>
struct PublisherOptionsWithAllocator : public PublisherOptionsBase
{
  std::shared_ptr<Allocator> allocator = nullptr;

  PublisherOptionsWithAllocator() {}

  explicit PublisherOptionsWithAllocator(const PublisherOptionsBase & publisher_options_base)
      : PublisherOptionsBase(publisher_options_base)
  {
  }
};

using PublisherOptions = PublisherOptionsWithAllocator<std::allocator<void>>;

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_OPTIONS_HPP_
