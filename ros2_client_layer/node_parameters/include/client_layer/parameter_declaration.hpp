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

// The typed parameter templates of rclcpp::Node (Humble), over a
// NodeParameters. rclcpp::Node's member templates forward here, e.g.
//
//   template<typename ParameterT>
//   auto declare_parameter(const std::string & name, const ParameterT & default_value,
//     const rcl_interfaces::msg::ParameterDescriptor & descriptor = {}, bool ignore_override = false)
//   { return client_layer::declare_parameter(*parameters_, name, default_value, descriptor,
//       ignore_override); }
//
// Values come back as rclcpp's getters yield them: an integer type yields
// int64_t, a floating point type double, an integer vector std::vector<int64_t>.
#ifndef CLIENT_LAYER__PARAMETER_DECLARATION_HPP_
#define CLIENT_LAYER__PARAMETER_DECLARATION_HPP_

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "client_layer/node_parameters.hpp"
#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"

namespace client_layer {

/// Node::declare_parameter<ParameterT>(name, default_value, descriptor, ignore_override):
/// declares a parameter statically typed by the default and returns its value
/// (the override when one is given). A value of another type throws
/// rclcpp::exceptions::InvalidParameterTypeException.
template <typename ParameterT>
auto declare_parameter(
    NodeParameters & parameters, const std::string & name, const ParameterT & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
        rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false)
{
  try {
    return parameters
        .declare_parameter(
            name, rclcpp::ParameterValue(default_value), parameter_descriptor, ignore_override)
        .template get<ParameterT>();
  } catch (const rclcpp::ParameterTypeException & ex) {
    throw rclcpp::exceptions::InvalidParameterTypeException(name, ex.what());
  }
}

/// Node::declare_parameter<ParameterT>(name, descriptor, ignore_override):
/// declares a parameter of ParameterT's type without a default. Without an
/// override it throws rclcpp::exceptions::UninitializedStaticallyTypedParameterException
/// (the parameter stays declared, uninitialised, as in rclcpp).
template <typename ParameterT>
auto declare_parameter(
    NodeParameters & parameters, const std::string & name,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
        rcl_interfaces::msg::ParameterDescriptor(),
    bool ignore_override = false)
{
  // ParameterValue's constructors give the rclcpp::ParameterType of ParameterT.
  rclcpp::ParameterValue value{ParameterT{}};
  try {
    return parameters
        .declare_parameter(name, value.get_type(), parameter_descriptor, ignore_override)
        .template get<ParameterT>();
  } catch (const rclcpp::ParameterTypeException &) {
    throw rclcpp::exceptions::UninitializedStaticallyTypedParameterException(name);
  }
}

/// Node::declare_parameters<ParameterT>(namespace_, parameters, ignore_overrides):
/// declares "<namespace_>.<key>" for every entry, in map order.
template <typename ParameterT>
std::vector<ParameterT> declare_parameters(
    NodeParameters & parameters, const std::string & namespace_,
    const std::map<std::string, ParameterT> & values, bool ignore_overrides = false)
{
  std::vector<ParameterT> result;
  const std::string normalized_namespace = namespace_.empty() ? "" : (namespace_ + ".");
  std::transform(
      values.begin(), values.end(), std::back_inserter(result),
      [&parameters, &normalized_namespace, ignore_overrides](const auto & element) {
        return static_cast<ParameterT>(declare_parameter(
            parameters, normalized_namespace + element.first, element.second,
            rcl_interfaces::msg::ParameterDescriptor(), ignore_overrides));
      });
  return result;
}

/// Node::get_parameter<ParameterT>(name, value): false (value untouched) when
/// the parameter is not declared or not set; throws rclcpp::ParameterTypeException
/// when it holds another type.
template <typename ParameterT>
bool get_parameter(const NodeParameters & parameters, const std::string & name, ParameterT & value)
{
  rclcpp::Parameter parameter;
  const bool found = parameters.get_parameter(name, parameter);
  if (found) {
    value = static_cast<ParameterT>(parameter.get_value<ParameterT>());
  }
  return found;
}

/// Node::get_parameter_or<ParameterT>(name, value, alternative_value).
template <typename ParameterT>
bool get_parameter_or(
    const NodeParameters & parameters, const std::string & name, ParameterT & value,
    const ParameterT & alternative_value)
{
  const bool found = get_parameter(parameters, name, value);
  if (!found) {
    value = alternative_value;
  }
  return found;
}

/// Node::get_parameters<ParameterT>(prefix, values): every "<prefix>.<key>" as values[key].
template <typename ParameterT>
bool get_parameters(
    const NodeParameters & parameters, const std::string & prefix,
    std::map<std::string, ParameterT> & values)
{
  std::map<std::string, rclcpp::Parameter> found;
  const bool result = parameters.get_parameters_by_prefix(prefix, found);
  if (result) {
    for (const auto & entry : found) {
      values[entry.first] = static_cast<ParameterT>(entry.second.get_value<ParameterT>());
    }
  }
  return result;
}

}  // namespace client_layer

#endif  // CLIENT_LAYER__PARAMETER_DECLARATION_HPP_
