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

// rcl's parameter struct: what parameter files and `-p` rules give, per
// node-name key, before a node picks the keys that match it.
#ifndef CLIENT_LAYER__PARAMETER_OVERRIDE_SET_HPP_
#define CLIENT_LAYER__PARAMETER_OVERRIDE_SET_HPP_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "rclcpp/parameter_value.hpp"

namespace client_layer {

/// One parameter's value as rcl's YAML variant keeps it: one slot per type.
/// A value fills its own slot and leaves the others as they are, and rclcpp
/// reads the first filled slot in the order below, so a later value does not
/// replace an earlier one whose type comes first (rcl does the same).
struct OverrideValue
{
  std::optional<bool> bool_value;
  std::optional<int64_t> integer_value;
  std::optional<double> double_value;
  std::optional<std::string> string_value;
  std::optional<std::vector<bool>> bool_array;
  std::optional<std::vector<int64_t>> integer_array;
  std::optional<std::vector<double>> double_array;
  std::optional<std::vector<std::string>> string_array;

  /// What rclcpp reads; PARAMETER_NOT_SET when no slot is filled (an empty
  /// sequence, or a key whose value was a map).
  rclcpp::ParameterValue value() const;
};

/// rcl's parameter struct: node-name keys as written ("/**", "/ns/node",
/// "ns/node") in the order they first appeared, each with its parameters in
/// the order they first appeared. A name may appear twice in one node (rcl
/// renames entries while it reads nested maps); lookups find the first.
///
/// rcl searches both lists linearly; the indexes here keep reading a file of
/// many thousand parameters linear in its size.
struct ParameterOverrideSet
{
  struct Node
  {
    std::string key;
    std::vector<std::pair<std::string, OverrideValue>> parameters;
    /// (name, position) of every parameter: the first of a name is the
    /// lowest position with that name.
    std::set<std::pair<std::string, size_t>> positions;
  };
  std::vector<Node> nodes;

  /// rcl's find_node: the index of `key`, appended when new.
  size_t find_node(const std::string & key);
  /// rcl's find_parameter: the index of the first parameter `name` of node
  /// `node_index`, appended (without a value) when new.
  size_t find_parameter(size_t node_index, const std::string & name);
  /// Renames one parameter in place, as rcl does with a nested map's entry.
  void rename_parameter(size_t node_index, size_t parameter_index, std::string name);

private:
  std::unordered_map<std::string, size_t> node_positions_;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__PARAMETER_OVERRIDE_SET_HPP_
