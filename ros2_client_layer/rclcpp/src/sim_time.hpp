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

// The "use_sim_time" parameter every rclcpp node declares. The layer runs on
// wall time only: the parameter exists so that tools and parameter files see
// a node as they see any other, but it cannot be switched on.
#ifndef CLIENT_LAYER__SIM_TIME_HPP_
#define CLIENT_LAYER__SIM_TIME_HPP_

#include "client_layer/node_parameters.hpp"
#include "rclcpp/logger.hpp"

namespace client_layer {

/// Declares "use_sim_time" (false) unless an override declared it already,
/// and returns the callback, to be kept for the node's life, that refuses
/// to set it to anything but false. A non-bool value is logged as rclcpp
/// logs it.
/** \throws std::runtime_error when the parameter is true: simulated time is
 *  not supported, and running on wall time instead would mislead. */
OnSetParametersCallbackHandle::SharedPtr declare_use_sim_time(
    NodeParameters & parameters, const rclcpp::Logger & logger);

}  // namespace client_layer

#endif  // CLIENT_LAYER__SIM_TIME_HPP_
