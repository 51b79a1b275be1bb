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

// A node's parameter events on "/parameter_events", as rclcpp publishes them,
// and the read-only "qos_overrides./parameter_events.publisher.*" parameters
// through which rclcpp lets a launch set that publisher's QoS.
#ifndef CLIENT_LAYER__PARAMETER_EVENTS_HPP_
#define CLIENT_LAYER__PARAMETER_EVENTS_HPP_

#include <map>
#include <string>

#include "client_layer/node_parameters.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/qos.hpp"

namespace client_layer {

class NodeBase;

/// Creates the node's "/parameter_events" publisher and returns the receiver
/// of its parameter store's events: each is stamped with `clock` and
/// published. Throws what creating a publisher throws.
NodeParameters::ParameterEventHandler create_parameter_event_publisher(
    NodeBase & node_base, rclcpp::Clock::SharedPtr clock, const rclcpp::QoS & qos);

/// `qos` with the overrides of the publisher's depth, durability, history and
/// reliability applied, as rclcpp applies them before creating it.
/** \throws std::invalid_argument for a policy name that does not exist,
 *  rclcpp::ParameterTypeException for a value of the wrong type */
rclcpp::QoS parameter_event_qos_with_overrides(
    const rclcpp::QoS & qos, const std::map<std::string, rclcpp::ParameterValue> & overrides);

/// Declares those four parameters, read-only, with `qos`'s policies as their
/// defaults (an override wins), unless declared already.
void declare_parameter_event_qos_parameters(NodeParameters & parameters, const rclcpp::QoS & qos);

}  // namespace client_layer

#endif  // CLIENT_LAYER__PARAMETER_EVENTS_HPP_
