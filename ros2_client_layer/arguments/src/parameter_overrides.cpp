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

// Parameter overrides: reading a parameter file into the override set, and
// resolving which of the collected overrides apply to one node.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "client_layer/arguments.hpp"
#include "client_layer/error_state.hpp"
#include "client_layer/yaml_parameters.hpp"
#include "rclcpp/exceptions.hpp"

namespace client_layer {

void parse_parameter_file(const std::string & path, ParameterOverrideSet & out)
{
  // Parse into a copy so that a broken file leaves `out` untouched.
  ParameterOverrideSet parsed = out;
  try {
    yaml_parameters::parse_file(path, parsed);
  } catch (const yaml_parameters::YamlError & error) {
    throw_from_error(kRetError, "", CLIENT_LAYER_ERROR_STATE(error.what()));
  }
  out = std::move(parsed);
}

namespace {

bool is_word_char(char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

/// Matches a node-name key against a node's name, where "/**" is any number
/// of "/word" and "/*" exactly one (rclcpp's regex "(/\\w+)*" and "(/\\w+)");
/// every other character stands for itself. Each (key position, name
/// position) pair is decided once, so that many "/**" against a deep
/// namespace cost at most key length x name length x name length steps.
class NodeKeyMatcher
{
public:
  NodeKeyMatcher(const std::string & key, const std::string & name)
      : key_(key), name_(name), known_((key.size() + 1) * (name.size() + 1), kUnknown)
  {
  }

  bool matches() { return matches_from(0, 0); }

private:
  static constexpr signed char kUnknown = -1;

  bool matches_from(size_t k, size_t at)
  {
    signed char & known = known_[k * (name_.size() + 1) + at];
    if (known == kUnknown) {
      known = decide(k, at) ? 1 : 0;
    }
    return known == 1;
  }

  bool decide(size_t k, size_t at)
  {
    if (k == key_.size()) {
      return at == name_.size();
    }
    if (key_.compare(k, 2, "/*") != 0) {
      return at < name_.size() && name_[at] == key_[k] && matches_from(k + 1, at + 1);
    }
    const bool any_number = key_.compare(k, 3, "/**") == 0;
    const size_t after = k + (any_number ? 3 : 2);
    if (any_number && matches_from(after, at)) {
      return true;  // none
    }
    if (at >= name_.size() || name_[at] != '/') {
      return false;
    }
    // One "/word" (any length of it), then the rest, or more words for "/**".
    for (size_t end = at + 1; end < name_.size() && is_word_char(name_[end]); ++end) {
      if (matches_from(any_number ? k : after, end + 1)) {
        return true;
      }
    }
    return false;
  }

  const std::string & key_;
  const std::string & name_;
  std::vector<signed char> known_;
};

/// rclcpp's match of a node-name key against a node: the key made absolute,
/// "/*" standing for one "/token" and "/**" for any number of them.
bool node_key_matches(const std::string & key, const std::string & node_fqn)
{
  const std::string absolute_key = !key.empty() && key[0] == '/' ? key : "/" + key;
  return NodeKeyMatcher(absolute_key, node_fqn).matches();
}

}  // namespace

std::map<std::string, rclcpp::ParameterValue> resolve_parameter_overrides(
    const std::string & node_fqn, const std::vector<rclcpp::Parameter> & parameter_overrides,
    const Arguments * local_args, const Arguments * global_args)
{
  std::map<std::string, rclcpp::ParameterValue> result;
  // Global before local, so that the node's own arguments win.
  for (const Arguments * source : {global_args, local_args}) {
    if (source == nullptr) {
      continue;
    }
    // Every matching key's values are read first (a parameter without a
    // value stops it), then applied in key order: later keys override.
    std::vector<std::pair<std::string, rclcpp::ParameterValue>> values;
    for (const auto & node : source->parameter_overrides.nodes) {
      if (!node_key_matches(node.key, node_fqn)) {
        continue;
      }
      for (const auto & parameter : node.parameters) {
        rclcpp::ParameterValue value = parameter.second.value();
        if (value.get_type() == rclcpp::PARAMETER_NOT_SET) {
          throw rclcpp::exceptions::InvalidParameterValueException("No parameter value set");
        }
        values.emplace_back(parameter.first, std::move(value));
      }
    }
    for (auto & value : values) {
      result[value.first] = std::move(value.second);
    }
  }
  for (const auto & parameter : parameter_overrides) {
    result[parameter.get_name()] = parameter.get_parameter_value();
  }
  return result;
}

}  // namespace client_layer
