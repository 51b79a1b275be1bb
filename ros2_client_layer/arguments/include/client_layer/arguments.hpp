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

// ROS command-line arguments, parsed as rcl parses them, and what rcl and
// rclcpp derive from them: the non-ROS arguments, the parameter overrides of a
// node, the log levels and the name remappings.
//
// Syntax: everything between `--ros-args` and `--` (or the end) is a ROS
// argument; several such blocks may appear.
//   -p/--param [node:]name:=value    value typed as a YAML scalar or sequence
//   --params-file FILE               `node: ros__parameters: {...}` YAML
//   -r/--remap [node:]from:=to       topics/services, __ns:=/ns, __node:=name (or __name)
//   --log-level [logger:=]level      debug, info, warn, error, fatal (any case)
//   -e/--enclave PATH, --log-config-file FILE,
//   --enable-/--disable-{stdout,rosout,external-lib}-logs
// Anything else inside a block is an unknown ROS argument.
#ifndef CLIENT_LAYER__ARGUMENTS_HPP_
#define CLIENT_LAYER__ARGUMENTS_HPP_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "client_layer/parameter_override_set.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"

namespace client_layer {

/// One `-r/--remap` rule.
struct RemapRule
{
  enum Kind : unsigned
  {
    kTopic = 1u,
    kService = 2u,
    kNodeName = 4u,
    kNamespace = 8u,
  };
  unsigned kinds = kTopic | kService;  ///< what the rule applies to
  std::string node_name;               ///< only for this node; empty: every node
  std::string match;                   ///< topic/service rules: the name to match, as written
  std::string replacement;
};

/// `--log-level` settings in command-line order (later wins).
struct LogLevels
{
  std::optional<int> default_level;  ///< client_layer::logging severity
  std::vector<std::pair<std::string, int>> logger_levels;
};

/// The result of parsing one argument vector (the process's or a node's).
struct Arguments
{
  std::vector<std::string> non_ros_args;      ///< what rclcpp::remove_ros_arguments returns
  std::vector<std::string> unknown_ros_args;  ///< unrecognised arguments inside --ros-args
  std::vector<RemapRule> remap_rules;
  std::vector<std::string> parameter_files;
  ParameterOverrideSet parameter_overrides;  ///< params files and -p rules, in order
  LogLevels log_levels;
  std::optional<std::string> enclave;
  std::optional<std::string> external_log_config_file;
  bool log_stdout_disabled = false;
  bool log_rosout_disabled = false;
  bool log_ext_lib_disabled = false;
};

/// Parse argv as rcl_parse_arguments does. A malformed rule, a missing value
/// or a params file that cannot be read or parsed throws
/// rclcpp::exceptions::RCLInvalidROSArgsError whose what() is
/// "<error_prefix>: Couldn't parse ...". rclcpp uses the prefix
/// "failed to initialize rcl" for rclcpp::init and "failed to parse arguments"
/// for NodeOptions::arguments (rcl_init also logs "Failed to parse global
/// arguments" at ERROR on the logger "rcl" first). Unknown ROS arguments do
/// not throw here; see throw_if_unknown_ros_args.
Arguments parse_arguments(
    const std::vector<std::string> & argv, const std::string & error_prefix = "");
Arguments parse_arguments(
    int argc, const char * const * argv, const std::string & error_prefix = "");

/// Throws rclcpp::exceptions::UnknownROSArgsError
/// ("found unknown ROS arguments: '--foo', 'bar'") if there are any.
void throw_if_unknown_ros_args(const Arguments & arguments);

/// Read a `--params-file` YAML file into `out` (as rcl_parse_yaml_file does).
/// Throws rclcpp::exceptions::RCLError on failure.
void parse_parameter_file(const std::string & path, ParameterOverrideSet & out);

/// The parameter overrides a node sees, resolved as rclcpp does: for the
/// global (process) arguments, then the node's own arguments, every node key
/// that matches `node_fqn` ("/*" one namespace token, "/**" any number), in
/// the order the keys first appeared, each overriding the ones before; then
/// the NodeOptions parameter_overrides. So a `-p` value (key "/**") beats a
/// params file's node-name key when "/**" first appeared after that key, and
/// loses to it when "/**" appeared before it, whatever the order of the values.
/// Either arguments pointer may be null. Throws
/// rclcpp::exceptions::InvalidParameterValueException("No parameter value set")
/// if a matching key holds a parameter without a value, as rclcpp does.
std::map<std::string, rclcpp::ParameterValue> resolve_parameter_overrides(
    const std::string & node_fqn, const std::vector<rclcpp::Parameter> & parameter_overrides,
    const Arguments * local_args, const Arguments * global_args);

/// Apply `--log-level` settings to the logging backend.
void apply_log_levels(const LogLevels & levels);

/// What rcl's logging configuration takes from the process arguments at
/// init: the `--log-level` settings, `--disable-stdout-logs` and
/// `--disable-rosout-logs`.
void apply_logging_arguments(const Arguments & arguments);

/// Node name after `__node:=` rules (local rules first, then global; first match wins).
std::string remap_node_name(
    const Arguments * local_args, const Arguments * global_args, const std::string & node_name);

/// Namespace after `__ns:=` rules; `node_name` is the already remapped name.
std::string remap_namespace(
    const Arguments * local_args, const Arguments * global_args, const std::string & node_name,
    const std::string & node_namespace);

/// A fully expanded topic (or service) name after remapping for a node with
/// this (remapped) name and namespace; the name itself when no rule matches.
/// Rule sides are expanded for the node before comparing, as rcl does.
std::string remap_topic_name(
    const Arguments * local_args, const Arguments * global_args, const std::string & expanded_name,
    const std::string & node_name, const std::string & node_namespace);
std::string remap_service_name(
    const Arguments * local_args, const Arguments * global_args, const std::string & expanded_name,
    const std::string & node_name, const std::string & node_namespace);

/// A node's name and namespace as rcl settles them.
struct NodeIdentity
{
  std::string name;                  ///< after __node:= rules
  std::string namespace_;            ///< absolute, after __ns:= rules
  std::string fully_qualified_name;  ///< "/ns/name"
  std::string logger_name;           ///< "ns.name" (see logging::node_logger_name)
};

/// What rclcpp's node construction makes of a name and namespace: validates
/// them as given (throwing rclcpp::exceptions::InvalidNodeNameError or
/// InvalidNamespaceError), makes the namespace absolute, then applies the
/// `__node` rules and, for the resulting name, the `__ns` rules.
NodeIdentity resolve_node_identity(
    const std::string & node_name, const std::string & node_namespace, const Arguments * local_args,
    const Arguments * global_args);

/// The name a publisher/subscription (or service/client, `is_service`) of
/// this node uses: expanded for the node, then remapped. An invalid name
/// throws what rclcpp throws (InvalidTopicNameError / InvalidServiceNameError ...).
std::string resolve_topic_or_service_name(
    const std::string & name, const NodeIdentity & node, bool is_service,
    const Arguments * local_args, const Arguments * global_args);

}  // namespace client_layer

#endif  // CLIENT_LAYER__ARGUMENTS_HPP_
