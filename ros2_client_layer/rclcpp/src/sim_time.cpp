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

#include "sim_time.hpp"

#include <stdexcept>
#include <string>
#include <vector>

#include "rclcpp/logging.hpp"

namespace client_layer {
namespace {

const char kName[] = "use_sim_time";

rcl_interfaces::msg::SetParametersResult check_use_sim_time(
    const std::vector<rclcpp::Parameter> & parameters)
{
  rcl_interfaces::msg::SetParametersResult result;
  result.successful = true;
  for (const auto & parameter : parameters) {
    if (parameter.get_name() != kName) {
      continue;
    }
    if (parameter.get_type() != rclcpp::PARAMETER_BOOL) {
      result.successful = false;
      result.reason = std::string("'") + kName + "' must be a bool";
    } else if (parameter.as_bool()) {
      result.successful = false;
      result.reason =
          std::string("'") + kName + "' cannot be true: simulated time is not supported";
    }
    break;
  }
  return result;
}

}  // namespace

OnSetParametersCallbackHandle::SharedPtr declare_use_sim_time(
    NodeParameters & parameters, const rclcpp::Logger & logger)
{
  const rclcpp::ParameterValue value =
      parameters.has_parameter(kName)
          ? parameters.get_parameter(kName).get_parameter_value()
          : parameters.declare_parameter(kName, rclcpp::ParameterValue(false));
  if (value.get_type() != rclcpp::PARAMETER_BOOL) {
    RCLCPP_ERROR(
        logger, "Invalid type '%s' for parameter 'use_sim_time', should be 'bool'",
        rclcpp::to_string(value.get_type()).c_str());
    throw std::invalid_argument("Invalid type for parameter 'use_sim_time', should be 'bool'");
  } else if (value.get<bool>()) {
    throw std::runtime_error(
        "parameter 'use_sim_time' is true, but simulated time is not supported: "
        "this node runs on wall time only");
  }
  return parameters.add_on_set_parameters_callback(check_use_sim_time);
}

}  // namespace client_layer
