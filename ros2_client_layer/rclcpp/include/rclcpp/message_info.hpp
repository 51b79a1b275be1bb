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

// What the middleware reports about a received message, for subscription
// callbacks that take it as their second argument.
#ifndef RCLCPP__MESSAGE_INFO_HPP_
#define RCLCPP__MESSAGE_INFO_HPP_

#include "rmw/types.h"

namespace rclcpp {

/// What the middleware says about a received message besides its content.
/**
 * On this layer's DDS transport: source_timestamp is the writer's time stamp
 * and publisher_gid the writer's gid (equal to the publisher's get_gid());
 * received_timestamp is 0 and both sequence numbers are
 * RMW_MESSAGE_INFO_SEQUENCE_NUMBER_UNSUPPORTED, as the Cyclone DDS middleware
 * of ROS 2 Humble reports them; from_intra_process is always false.
 */
class MessageInfo
{
public:
  MessageInfo() = default;

  /// Conversion constructor, intentionally not explicit.
  MessageInfo(const rmw_message_info_t & rmw_message_info);  // NOLINT(runtime/explicit)

  virtual ~MessageInfo();

  /// The rmw structure itself, read-only.
  const rmw_message_info_t & get_rmw_message_info() const;

  /// The rmw structure itself, writable (the layer fills it on take).
  rmw_message_info_t & get_rmw_message_info();

private:
  rmw_message_info_t rmw_message_info_ = rmw_get_zero_initialized_message_info();
};

}  // namespace rclcpp

#endif  // RCLCPP__MESSAGE_INFO_HPP_
