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

// Options for creating a node.
#ifndef RCLCPP__NODE_OPTIONS_HPP_
#define RCLCPP__NODE_OPTIONS_HPP_

#include <memory>
#include <string>
#include <vector>

#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

class NodeOptions
{
public:
  NodeOptions();
  virtual ~NodeOptions() = default;
  NodeOptions(const NodeOptions & other) = default;
  NodeOptions & operator=(const NodeOptions & other) = default;

  /// The context of the node (default: the global one).
  rclcpp::Context::SharedPtr context() const;
  NodeOptions & context(rclcpp::Context::SharedPtr context);

  /// ROS arguments for this node only ("--ros-args -r a:=b -p x:=1 ...").
  const std::vector<std::string> & arguments() const;
  NodeOptions & arguments(const std::vector<std::string> & arguments);

  /// Parameter values that take precedence over those of the arguments.
  std::vector<rclcpp::Parameter> & parameter_overrides();
  const std::vector<rclcpp::Parameter> & parameter_overrides() const;
  NodeOptions & parameter_overrides(const std::vector<rclcpp::Parameter> & parameter_overrides);

  template <typename ParameterT>
  NodeOptions & append_parameter_override(const std::string & name, const ParameterT & value)
  {
    this->parameter_overrides().emplace_back(name, rclcpp::ParameterValue(value));
    return *this;
  }

  /// Whether the context's (command-line) arguments apply to the node too.
  bool use_global_arguments() const;
  NodeOptions & use_global_arguments(bool use_global_arguments);

  /// Whether the node publishes its logger's messages on /rosout (when the
  /// process arguments do not disable it with --disable-rosout-logs).
  bool enable_rosout() const;
  NodeOptions & enable_rosout(bool enable_rosout);

  /// Accepted for compatibility; messages always go through DDS.
  bool use_intra_process_comms() const;
  NodeOptions & use_intra_process_comms(bool use_intra_process_comms);

  /// Accepted for compatibility; topic statistics are not collected.
  bool enable_topic_statistics() const;
  NodeOptions & enable_topic_statistics(bool enable_topic_statistics);

  /// Whether the node offers the services "<name>/get_parameters" and the rest.
  bool start_parameter_services() const;
  NodeOptions & start_parameter_services(bool start_parameter_services);

  /// Whether the node publishes its parameter events on /parameter_events.
  bool start_parameter_event_publisher() const;
  NodeOptions & start_parameter_event_publisher(bool start_parameter_event_publisher);

  /// The QoS of the /parameter_events publisher (default: ParameterEventsQoS).
  const rclcpp::QoS & parameter_event_qos() const;
  NodeOptions & parameter_event_qos(const rclcpp::QoS & parameter_event_qos);

  bool allow_undeclared_parameters() const;
  NodeOptions & allow_undeclared_parameters(bool allow_undeclared_parameters);

  bool automatically_declare_parameters_from_overrides() const;
  NodeOptions & automatically_declare_parameters_from_overrides(
      bool automatically_declare_parameters_from_overrides);

private:
  rclcpp::Context::SharedPtr context_;
  std::vector<std::string> arguments_;
  std::vector<rclcpp::Parameter> parameter_overrides_;
  bool use_global_arguments_ = true;
  bool enable_rosout_ = true;
  bool use_intra_process_comms_ = false;
  bool enable_topic_statistics_ = false;
  bool start_parameter_services_ = true;
  bool start_parameter_event_publisher_ = true;
  rclcpp::QoS parameter_event_qos_ = rclcpp::ParameterEventsQoS();
  bool allow_undeclared_parameters_ = false;
  bool automatically_declare_parameters_from_overrides_ = false;
};

}  // namespace rclcpp

#endif  // RCLCPP__NODE_OPTIONS_HPP_
