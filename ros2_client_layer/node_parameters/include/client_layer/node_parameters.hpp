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

// A node's parameters with rclcpp's (Humble) NodeParameters rules: declaring,
// undeclaring, getting, setting (singly or atomically), describing and
// listing, with the same checks, results and exception texts.
//
// rclcpp::Node owns one NodeParameters and forwards its parameter API to it;
// the typed member templates forward to client_layer/parameter_declaration.hpp.
// Overrides come from resolve_parameter_overrides() (arguments.hpp): the
// command line, the node's own arguments and NodeOptions::parameter_overrides.
//
// Thread-safe: one recursive mutex guards the store, and on-set callbacks run
// under it (as in rclcpp), so a callback may read parameters but an attempt to
// declare, set or undeclare from inside one throws
// rclcpp::exceptions::ParameterModifiedInCallbackException. The parameter
// event handler runs after the mutex is released.
#ifndef CLIENT_LAYER__NODE_PARAMETERS_HPP_
#define CLIENT_LAYER__NODE_PARAMETERS_HPP_

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/list_parameters_result.hpp"
#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rcl_interfaces/msg/parameter_event.hpp"
#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"

namespace client_layer {

/// A declared parameter: its value (PARAMETER_NOT_SET when uninitialised) and descriptor.
struct ParameterInfo
{
  rclcpp::ParameterValue value;
  rcl_interfaces::msg::ParameterDescriptor descriptor;
};

/// A registered on-set callback; it stays registered while the handle lives.
struct OnSetParametersCallbackHandle
{
  using SharedPtr = std::shared_ptr<OnSetParametersCallbackHandle>;
  using WeakPtr = std::weak_ptr<OnSetParametersCallbackHandle>;
  using OnParametersSetCallbackType = std::function<rcl_interfaces::msg::SetParametersResult(
      const std::vector<rclcpp::Parameter> &)>;
  OnParametersSetCallbackType callback;
};

class NodeParameters
{
public:
  using OnParametersSetCallbackType = OnSetParametersCallbackHandle::OnParametersSetCallbackType;
  /// Receives the event of every successful declare/set/undeclare, `node`
  /// filled in and `stamp` left for the caller (it owns the clock).
  using ParameterEventHandler = std::function<void(rcl_interfaces::msg::ParameterEvent)>;

  /// `node_fqn` names the node in parameter events; `overrides` are the
  /// resolved parameter overrides (see resolve_parameter_overrides). With
  /// `automatically_declare_parameters_from_overrides`, every override is
  /// declared at once, dynamically typed, and `event_handler` (when given)
  /// already receives the events of those declarations.
  NodeParameters(
      std::string node_fqn, std::map<std::string, rclcpp::ParameterValue> overrides,
      bool allow_undeclared_parameters = false,
      bool automatically_declare_parameters_from_overrides = false,
      ParameterEventHandler event_handler = nullptr);

  NodeParameters(const NodeParameters &) = delete;
  NodeParameters & operator=(const NodeParameters &) = delete;

  /// Declare with a default value; the override wins unless `ignore_override`.
  /// Returns the parameter's value. Throws InvalidParametersException (empty
  /// name), ParameterAlreadyDeclaredException, InvalidParameterTypeException
  /// (uninitialised statically typed value, or an override of another type),
  /// InvalidParameterValueException (range or on-set callback rejection).
  const rclcpp::ParameterValue & declare_parameter(
      const std::string & name, const rclcpp::ParameterValue & default_value,
      const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor(),
      bool ignore_override = false);

  /// Declare a statically typed parameter without a default: it takes the
  /// override if there is one, else it stays uninitialised (the returned
  /// value is PARAMETER_NOT_SET). Throws std::invalid_argument for
  /// PARAMETER_NOT_SET or a descriptor with dynamic_typing, else as above.
  const rclcpp::ParameterValue & declare_parameter(
      const std::string & name, rclcpp::ParameterType type,
      const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor(),
      bool ignore_override = false);

  /// Throws ParameterNotDeclaredException, ParameterImmutableException (read
  /// only) or InvalidParameterTypeException (statically typed).
  void undeclare_parameter(const std::string & name);

  bool has_parameter(const std::string & name) const;

  /// Set each parameter on its own; one result per parameter.
  std::vector<rcl_interfaces::msg::SetParametersResult> set_parameters(
      const std::vector<rclcpp::Parameter> & parameters);

  /// Set all or none. Throws ParameterNotDeclaredException for an undeclared
  /// name (unless undeclared parameters are allowed) and
  /// InvalidParametersException for an empty name; other refusals come back
  /// in the result (read only, wrong type, out of range, callback).
  rcl_interfaces::msg::SetParametersResult set_parameters_atomically(
      const std::vector<rclcpp::Parameter> & parameters);

  /// Throws ParameterNotDeclaredException or ParameterUninitializedException.
  std::vector<rclcpp::Parameter> get_parameters(const std::vector<std::string> & names) const;
  rclcpp::Parameter get_parameter(const std::string & name) const;

  /// False when not declared or not initialised.
  bool get_parameter(const std::string & name, rclcpp::Parameter & parameter) const;

  /// Parameters named "<prefix>.<rest>", keyed by <rest>.
  bool get_parameters_by_prefix(
      const std::string & prefix, std::map<std::string, rclcpp::Parameter> & parameters) const;

  std::vector<rcl_interfaces::msg::ParameterDescriptor> describe_parameters(
      const std::vector<std::string> & names) const;

  std::vector<uint8_t> get_parameter_types(const std::vector<std::string> & names) const;

  /// depth 0 (DEPTH_RECURSIVE) lists everything under the prefixes.
  rcl_interfaces::msg::ListParametersResult list_parameters(
      const std::vector<std::string> & prefixes, uint64_t depth) const;

  /// The last callback added runs first.
  OnSetParametersCallbackHandle::SharedPtr add_on_set_parameters_callback(
      OnParametersSetCallbackType callback);

  /// Throws std::runtime_error("Callback doesn't exist") for an unknown handle.
  void remove_on_set_parameters_callback(const OnSetParametersCallbackHandle * const handler);

  const std::map<std::string, rclcpp::ParameterValue> & get_parameter_overrides() const;

  /// Set (or clear, with nullptr) the receiver of parameter events.
  void set_parameter_event_handler(ParameterEventHandler handler);

private:
  using CallbacksContainerType = std::list<OnSetParametersCallbackHandle::WeakPtr>;

  const rclcpp::ParameterValue & declare_parameter_locked(
      const std::string & name, rclcpp::ParameterType type,
      const rclcpp::ParameterValue & default_value,
      rcl_interfaces::msg::ParameterDescriptor parameter_descriptor, bool ignore_override,
      rcl_interfaces::msg::ParameterEvent & event);

  rcl_interfaces::msg::SetParametersResult set_parameters_atomically_locked(
      const std::vector<rclcpp::Parameter> & parameters,
      rcl_interfaces::msg::ParameterEvent & event);
  // The steps of an atomic set, in order; each returns the refusal that ends
  // the set, if any.
  // Throws for an empty name, and for an undeclared one unless undeclared
  // parameters are allowed (then it is collected in `undeclared`); refuses
  // a read-only one.
  std::optional<rcl_interfaces::msg::SetParametersResult> check_writable(
      const std::vector<rclcpp::Parameter> & parameters,
      std::vector<const rclcpp::Parameter *> & undeclared) const;
  // Declares the undeclared ones into `declared`, not yet into the store.
  std::optional<rcl_interfaces::msg::SetParametersResult> stage_implicit_declarations(
      const std::vector<const rclcpp::Parameter *> & undeclared,
      std::map<std::string, ParameterInfo> & declared, rcl_interfaces::msg::ParameterEvent & event);
  // The parameters the set undeclares.
  std::optional<rcl_interfaces::msg::SetParametersResult> collect_undeclarations(
      const std::vector<rclcpp::Parameter> & values, std::vector<std::string> & to_undeclare) const;
  // Stores the staged declarations and removes the undeclared parameters.
  void commit(
      const std::map<std::string, ParameterInfo> & declared,
      const std::vector<std::string> & to_undeclare, rcl_interfaces::msg::ParameterEvent & event);

  rclcpp::Parameter get_parameter_locked(const std::string & name) const;

  void publish(rcl_interfaces::msg::ParameterEvent event);

  const std::string node_fqn_;
  const bool allow_undeclared_;
  const std::map<std::string, rclcpp::ParameterValue> parameter_overrides_;

  mutable std::recursive_mutex mutex_;
  bool parameter_modification_enabled_ = true;
  std::map<std::string, ParameterInfo> parameters_;
  CallbacksContainerType on_parameters_set_callback_container_;
  ParameterEventHandler event_handler_;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__NODE_PARAMETERS_HPP_
