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

// The parameter services of a node: "<node name>/get_parameters",
// "get_parameter_types", "set_parameters", "set_parameters_atomically",
// "describe_parameters" and "list_parameters", resolved in the node's
// namespace, answering from the node's parameter store with the replies
// rclcpp's ParameterService builds.
#ifndef CLIENT_LAYER__PARAMETER_SERVICE_HPP_
#define CLIENT_LAYER__PARAMETER_SERVICE_HPP_

#include <memory>
#include <vector>

#include "client_layer/node_parameters.hpp"
#include "rclcpp/service.hpp"
#include "rmw/qos_profiles.h"

namespace client_layer {

class NodeBase;

class ParameterService
{
public:
  /// Creates the six services in the node's default callback group.
  /// Throws what creating a service throws (invalid names, DDS refusal).
  ParameterService(
      const std::shared_ptr<NodeBase> & node_base, std::shared_ptr<NodeParameters> parameters,
      const rmw_qos_profile_t & qos_profile = rmw_qos_profile_parameters);

  ParameterService(const ParameterService &) = delete;
  ParameterService & operator=(const ParameterService &) = delete;

private:
  std::vector<rclcpp::ServiceBase::SharedPtr> services_;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__PARAMETER_SERVICE_HPP_
