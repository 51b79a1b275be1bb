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

#include "rclcpp/node_options.hpp"

namespace rclcpp {

NodeOptions::NodeOptions() : context_(contexts::get_global_default_context()) {}

Context::SharedPtr NodeOptions::context() const { return context_; }

NodeOptions & NodeOptions::context(Context::SharedPtr context)
{
  context_ = std::move(context);
  return *this;
}

const std::vector<std::string> & NodeOptions::arguments() const { return arguments_; }

NodeOptions & NodeOptions::arguments(const std::vector<std::string> & arguments)
{
  arguments_ = arguments;
  return *this;
}

std::vector<Parameter> & NodeOptions::parameter_overrides() { return parameter_overrides_; }

const std::vector<Parameter> & NodeOptions::parameter_overrides() const
{
  return parameter_overrides_;
}

NodeOptions & NodeOptions::parameter_overrides(const std::vector<Parameter> & parameter_overrides)
{
  parameter_overrides_ = parameter_overrides;
  return *this;
}

bool NodeOptions::use_global_arguments() const { return use_global_arguments_; }

NodeOptions & NodeOptions::use_global_arguments(bool use_global_arguments)
{
  use_global_arguments_ = use_global_arguments;
  return *this;
}

bool NodeOptions::enable_rosout() const { return enable_rosout_; }

NodeOptions & NodeOptions::enable_rosout(bool enable_rosout)
{
  enable_rosout_ = enable_rosout;
  return *this;
}

bool NodeOptions::use_intra_process_comms() const { return use_intra_process_comms_; }

NodeOptions & NodeOptions::use_intra_process_comms(bool use_intra_process_comms)
{
  use_intra_process_comms_ = use_intra_process_comms;
  return *this;
}

bool NodeOptions::enable_topic_statistics() const { return enable_topic_statistics_; }

NodeOptions & NodeOptions::enable_topic_statistics(bool enable_topic_statistics)
{
  enable_topic_statistics_ = enable_topic_statistics;
  return *this;
}

bool NodeOptions::start_parameter_services() const { return start_parameter_services_; }

NodeOptions & NodeOptions::start_parameter_services(bool start_parameter_services)
{
  start_parameter_services_ = start_parameter_services;
  return *this;
}

bool NodeOptions::start_parameter_event_publisher() const
{
  return start_parameter_event_publisher_;
}

NodeOptions & NodeOptions::start_parameter_event_publisher(bool start_parameter_event_publisher)
{
  start_parameter_event_publisher_ = start_parameter_event_publisher;
  return *this;
}

const QoS & NodeOptions::parameter_event_qos() const { return parameter_event_qos_; }

NodeOptions & NodeOptions::parameter_event_qos(const QoS & parameter_event_qos)
{
  parameter_event_qos_ = parameter_event_qos;
  return *this;
}

bool NodeOptions::allow_undeclared_parameters() const { return allow_undeclared_parameters_; }

NodeOptions & NodeOptions::allow_undeclared_parameters(bool allow_undeclared_parameters)
{
  allow_undeclared_parameters_ = allow_undeclared_parameters;
  return *this;
}

bool NodeOptions::automatically_declare_parameters_from_overrides() const
{
  return automatically_declare_parameters_from_overrides_;
}

NodeOptions & NodeOptions::automatically_declare_parameters_from_overrides(
    bool automatically_declare_parameters_from_overrides)
{
  automatically_declare_parameters_from_overrides_ =
      automatically_declare_parameters_from_overrides;
  return *this;
}

}  // namespace rclcpp
