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

// A node's /rosout publisher: while it lives, every message of the node's
// logger (exactly its name, as rcl's rosout log handler matches it) is
// published as rcl_interfaces/msg/Log, besides being written to the console.
#ifndef CLIENT_LAYER__ROSOUT_HPP_
#define CLIENT_LAYER__ROSOUT_HPP_

#include <memory>
#include <string>

#include "rclcpp/qos.hpp"

namespace client_layer {

class NodeBase;

/// rcl's rosout QoS: keep last 1000, reliable, transient local, lifespan 10 s.
rclcpp::QoS rosout_qos();

class RosoutPublisher
{
public:
  /// Registers a publisher for the node's logger. When another node already
  /// publishes for that logger name, warns as rcl does and adds none.
  /// Throws what creating a publisher throws.
  explicit RosoutPublisher(NodeBase & node_base);

  /// Unregisters the logger name, as rcl does, whichever node registered it.
  ~RosoutPublisher();

  RosoutPublisher(const RosoutPublisher &) = delete;
  RosoutPublisher & operator=(const RosoutPublisher &) = delete;

private:
  const std::string logger_name_;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__ROSOUT_HPP_
