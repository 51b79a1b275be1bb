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

#include "parameter_service.hpp"

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "node_base.hpp"
#include "rcl_interfaces/srv/describe_parameters.hpp"
#include "rcl_interfaces/srv/get_parameter_types.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters_atomically.hpp"
#include "rclcpp/logging.hpp"

namespace client_layer {
namespace {

namespace srv = rcl_interfaces::srv;
using rcl_interfaces::msg::SetParametersResult;

// rclcpp reports the refusals it answers for at DEBUG on the "rclcpp" logger.
void log_refusal(const char * what, const std::exception & error)
{
  RCLCPP_DEBUG(rclcpp::get_logger("rclcpp"), "Failed to %s: %s", what, error.what());
}

// An unknown name empties the whole reply; an uninitialised one is unset.
void get_parameters(
    const NodeParameters & parameters, const srv::GetParameters::Request & request,
    srv::GetParameters::Response & response)
{
  try {
    for (const auto & parameter : parameters.get_parameters(request.names)) {
      response.values.push_back(parameter.get_value_message());
    }
  } catch (const rclcpp::exceptions::ParameterNotDeclaredException & error) {
    log_refusal("get parameters", error);
  }
}

void get_parameter_types(
    const NodeParameters & parameters, const srv::GetParameterTypes::Request & request,
    srv::GetParameterTypes::Response & response)
{
  try {
    response.types = parameters.get_parameter_types(request.names);
  } catch (const rclcpp::exceptions::ParameterNotDeclaredException & error) {
    log_refusal("get parameter types", error);
  }
}

// Messages from the network may carry an unknown type or an empty name; both
// are refused in the result instead of escaping from the service callback.
SetParametersResult refused(const std::exception & error)
{
  SetParametersResult result;
  result.successful = false;
  result.reason = error.what();
  return result;
}

// Converts the parameters of a request; false (and `refusal` filled in) for
// a value of unknown type.
bool from_messages(
    const std::vector<rcl_interfaces::msg::Parameter> & messages,
    std::vector<rclcpp::Parameter> & parameters, SetParametersResult & refusal)
{
  try {
    for (const auto & message : messages) {
      parameters.push_back(rclcpp::Parameter::from_parameter_msg(message));
    }
  } catch (const std::runtime_error & error) {
    log_refusal("convert parameter", error);
    refusal = refused(error);
    return false;
  }
  return true;
}

// One parameter at a time, so that each gets its own result.
void set_parameters(
    NodeParameters & parameters, const srv::SetParameters::Request & request,
    srv::SetParameters::Response & response)
{
  for (const auto & message : request.parameters) {
    std::vector<rclcpp::Parameter> parameter;
    SetParametersResult result;
    if (from_messages({message}, parameter, result)) {
      try {
        result = parameters.set_parameters_atomically(parameter);
      } catch (const rclcpp::exceptions::ParameterNotDeclaredException & error) {
        log_refusal("set parameter", error);
        result = refused(error);
      } catch (const rclcpp::exceptions::InvalidParametersException & error) {
        log_refusal("set parameter", error);
        result = refused(error);
      }
    }
    response.results.push_back(std::move(result));
  }
}

void set_parameters_atomically(
    NodeParameters & parameters, const srv::SetParametersAtomically::Request & request,
    srv::SetParametersAtomically::Response & response)
{
  std::vector<rclcpp::Parameter> to_set;
  if (!from_messages(request.parameters, to_set, response.result)) {
    return;
  }
  try {
    response.result = parameters.set_parameters_atomically(to_set);
  } catch (const rclcpp::exceptions::ParameterNotDeclaredException & error) {
    log_refusal("set parameters atomically", error);
    response.result.successful = false;
    response.result.reason = "One or more parameters were not declared before setting";
  } catch (const rclcpp::exceptions::InvalidParametersException & error) {
    log_refusal("set parameters atomically", error);
    response.result = refused(error);
  }
}

void describe_parameters(
    const NodeParameters & parameters, const srv::DescribeParameters::Request & request,
    srv::DescribeParameters::Response & response)
{
  try {
    response.descriptors = parameters.describe_parameters(request.names);
  } catch (const rclcpp::exceptions::ParameterNotDeclaredException & error) {
    log_refusal("describe parameters", error);
  }
}

void list_parameters(
    const NodeParameters & parameters, const srv::ListParameters::Request & request,
    srv::ListParameters::Response & response)
{
  response.result = parameters.list_parameters(request.prefixes, request.depth);
}

template <typename ServiceT, typename HandlerT>
rclcpp::ServiceBase::SharedPtr create_parameter_service(
    NodeBase & node_base, const char * suffix, std::shared_ptr<NodeParameters> parameters,
    HandlerT handler, const rmw_qos_profile_t & qos_profile)
{
  auto group = node_base.get_default_callback_group();
  auto service = std::make_shared<rclcpp::Service<ServiceT>>(
      &node_base, group, std::string(node_base.get_name()) + "/" + suffix,
      [parameters = std::move(parameters), handler](
          std::shared_ptr<typename ServiceT::Request> request,
          std::shared_ptr<typename ServiceT::Response> response) {
        handler(*parameters, *request, *response);
      },
      qos_profile);
  group->add_readable(service);
  return service;
}

}  // namespace

ParameterService::ParameterService(
    const std::shared_ptr<NodeBase> & node_base, std::shared_ptr<NodeParameters> parameters,
    const rmw_qos_profile_t & qos_profile)
{
  NodeBase & base = *node_base;
  services_ = {
      create_parameter_service<srv::GetParameters>(
          base, "get_parameters", parameters, get_parameters, qos_profile),
      create_parameter_service<srv::GetParameterTypes>(
          base, "get_parameter_types", parameters, get_parameter_types, qos_profile),
      create_parameter_service<srv::SetParameters>(
          base, "set_parameters", parameters, set_parameters, qos_profile),
      create_parameter_service<srv::SetParametersAtomically>(
          base, "set_parameters_atomically", parameters, set_parameters_atomically, qos_profile),
      create_parameter_service<srv::DescribeParameters>(
          base, "describe_parameters", parameters, describe_parameters, qos_profile),
      create_parameter_service<srv::ListParameters>(
          base, "list_parameters", parameters, list_parameters, qos_profile),
  };
}

}  // namespace client_layer
