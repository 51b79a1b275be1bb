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

#include "client_layer/parameter_override_set.hpp"

#include <string>
#include <utility>

namespace client_layer {

rclcpp::ParameterValue OverrideValue::value() const
{
  // rclcpp's parameter_value_from: the first filled slot.
  if (bool_value) {
    return rclcpp::ParameterValue(*bool_value);
  }
  if (integer_value) {
    return rclcpp::ParameterValue(*integer_value);
  }
  if (double_value) {
    return rclcpp::ParameterValue(*double_value);
  }
  if (string_value) {
    return rclcpp::ParameterValue(*string_value);
  }
  if (bool_array) {
    return rclcpp::ParameterValue(*bool_array);
  }
  if (integer_array) {
    return rclcpp::ParameterValue(*integer_array);
  }
  if (double_array) {
    return rclcpp::ParameterValue(*double_array);
  }
  if (string_array) {
    return rclcpp::ParameterValue(*string_array);
  }
  return rclcpp::ParameterValue();
}

size_t ParameterOverrideSet::find_node(const std::string & key)
{
  const auto [position, added] = node_positions_.try_emplace(key, nodes.size());
  if (added) {
    nodes.push_back(Node{key, {}, {}});
  }
  return position->second;
}

size_t ParameterOverrideSet::find_parameter(size_t node_index, const std::string & name)
{
  Node & node = nodes.at(node_index);
  const auto first = node.positions.lower_bound({name, 0});
  if (first != node.positions.end() && first->first == name) {
    return first->second;
  }
  node.parameters.emplace_back(name, OverrideValue{});
  node.positions.emplace_hint(first, name, node.parameters.size() - 1);
  return node.parameters.size() - 1;
}

void ParameterOverrideSet::rename_parameter(
    size_t node_index, size_t parameter_index, std::string name)
{
  Node & node = nodes.at(node_index);
  std::string & current = node.parameters.at(parameter_index).first;
  node.positions.erase({current, parameter_index});
  node.positions.emplace(name, parameter_index);
  current = std::move(name);
}

}  // namespace client_layer
