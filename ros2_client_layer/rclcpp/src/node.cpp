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

#include "rclcpp/node.hpp"

#include "client_layer/arguments.hpp"
#include "client_layer/logging.hpp"
#include "node_base.hpp"
#include "node_names.hpp"
#include "parameter_events.hpp"
#include "parameter_service.hpp"
#include "rcl_interfaces/msg/parameter_event.hpp"
#include "rclcpp/exceptions.hpp"
#include "rosout.hpp"
#include "sim_time.hpp"

namespace client_layer {

namespace {

class NodeTimers : public rclcpp::node_interfaces::NodeTimersInterface
{
public:
  explicit NodeTimers(std::shared_ptr<NodeBase> node_base) : node_base_(std::move(node_base)) {}

  void add_timer(
      rclcpp::TimerBase::SharedPtr timer, rclcpp::CallbackGroup::SharedPtr callback_group) override
  {
    auto group = node_base_->group_for(callback_group, "Cannot create timer, group not in node.");
    timer->set_notifier(group->notifier());
    group->add_timer(timer);
  }

private:
  std::shared_ptr<NodeBase> node_base_;
};

class NodeClock : public rclcpp::node_interfaces::NodeClockInterface
{
public:
  NodeClock() : clock_(std::make_shared<rclcpp::Clock>(RCL_ROS_TIME)) {}

  rclcpp::Clock::SharedPtr get_clock() override { return clock_; }
  rclcpp::Clock::ConstSharedPtr get_clock() const override { return clock_; }

private:
  rclcpp::Clock::SharedPtr clock_;
};

}  // namespace

}  // namespace client_layer

namespace rclcpp {

Node::Node(const std::string & node_name, const NodeOptions & options)
    : Node(node_name, "", options)
{
}

Node::Node(
    const std::string & node_name, const std::string & namespace_, const NodeOptions & options)
    : node_options_(options)
{
  auto base = std::make_shared<client_layer::NodeBase>(node_name, namespace_, options);
  node_base_ = base;
  if (options.enable_rosout() && client_layer::logging::rosout_enabled()) {
    rosout_publisher_ = std::make_shared<client_layer::RosoutPublisher>(*base);
  }
  node_clock_ = std::make_shared<client_layer::NodeClock>();
  node_timers_ = std::make_shared<client_layer::NodeTimers>(base);
  const auto & names = base->names();
  auto overrides = client_layer::resolve_parameter_overrides(
      names.identity().fully_qualified_name, options.parameter_overrides(), names.local_arguments(),
      names.global_arguments());
  const rclcpp::QoS parameter_event_qos =
      client_layer::parameter_event_qos_with_overrides(options.parameter_event_qos(), overrides);
  client_layer::NodeParameters::ParameterEventHandler parameter_event_handler;
  if (options.start_parameter_event_publisher()) {
    parameter_event_handler = client_layer::create_parameter_event_publisher(
        *base, node_clock_->get_clock(), parameter_event_qos);
  }
  node_parameters_ = std::make_shared<client_layer::NodeParameters>(
      names.identity().fully_qualified_name, std::move(overrides),
      options.allow_undeclared_parameters(),
      options.automatically_declare_parameters_from_overrides(),
      std::move(parameter_event_handler));
  use_sim_time_check_ = client_layer::declare_use_sim_time(*node_parameters_, get_logger());
  // rclcpp's time source follows use_sim_time through this subscription; the
  // layer checks that parameter by itself, but subscribes alike, so that the
  // graph shows the node as rclcpp's.
  parameter_event_subscription_ = create_subscription<rcl_interfaces::msg::ParameterEvent>(
      "/parameter_events", rclcpp::ParameterEventsQoS(),
      [](std::shared_ptr<const rcl_interfaces::msg::ParameterEvent>) {});
  client_layer::declare_parameter_event_qos_parameters(
      *node_parameters_, options.parameter_event_qos());
  if (options.start_parameter_services()) {
    parameter_service_ = std::make_shared<client_layer::ParameterService>(base, node_parameters_);
  }
}

Node::~Node() = default;

const char * Node::get_name() const { return node_base_->get_name(); }

const char * Node::get_namespace() const { return node_base_->get_namespace(); }

const char * Node::get_fully_qualified_name() const
{
  return node_base_->get_fully_qualified_name();
}

rclcpp::Logger Node::get_logger() const
{
  return rclcpp::get_logger(client_layer::logging::node_logger_name(get_name(), get_namespace()));
}

rclcpp::CallbackGroup::SharedPtr Node::create_callback_group(
    rclcpp::CallbackGroupType group_type, bool automatically_add_to_executor_with_node)
{
  return node_base_->create_callback_group(group_type, automatically_add_to_executor_with_node);
}

const ParameterValue & Node::declare_parameter(
    const std::string & name, const ParameterValue & default_value,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor, bool ignore_override)
{
  return node_parameters_->declare_parameter(
      name, default_value, parameter_descriptor, ignore_override);
}

const ParameterValue & Node::declare_parameter(
    const std::string & name, ParameterType type,
    const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor, bool ignore_override)
{
  return node_parameters_->declare_parameter(name, type, parameter_descriptor, ignore_override);
}

void Node::undeclare_parameter(const std::string & name)
{
  node_parameters_->undeclare_parameter(name);
}

bool Node::has_parameter(const std::string & name) const
{
  return node_parameters_->has_parameter(name);
}

rcl_interfaces::msg::SetParametersResult Node::set_parameter(const Parameter & parameter)
{
  return set_parameters_atomically({parameter});
}

std::vector<rcl_interfaces::msg::SetParametersResult> Node::set_parameters(
    const std::vector<Parameter> & parameters)
{
  return node_parameters_->set_parameters(parameters);
}

rcl_interfaces::msg::SetParametersResult Node::set_parameters_atomically(
    const std::vector<Parameter> & parameters)
{
  return node_parameters_->set_parameters_atomically(parameters);
}

Parameter Node::get_parameter(const std::string & name) const
{
  return node_parameters_->get_parameter(name);
}

bool Node::get_parameter(const std::string & name, Parameter & parameter) const
{
  return node_parameters_->get_parameter(name, parameter);
}

std::vector<Parameter> Node::get_parameters(const std::vector<std::string> & names) const
{
  return node_parameters_->get_parameters(names);
}

rcl_interfaces::msg::ParameterDescriptor Node::describe_parameter(const std::string & name) const
{
  auto result = node_parameters_->describe_parameters({name});
  if (result.empty()) {
    throw exceptions::ParameterNotDeclaredException(name);
  }
  if (result.size() > 1) {
    throw std::runtime_error("number of described parameters unexpectedly more than one");
  }
  return result.front();
}

std::vector<rcl_interfaces::msg::ParameterDescriptor> Node::describe_parameters(
    const std::vector<std::string> & names) const
{
  return node_parameters_->describe_parameters(names);
}

std::vector<uint8_t> Node::get_parameter_types(const std::vector<std::string> & names) const
{
  return node_parameters_->get_parameter_types(names);
}

rcl_interfaces::msg::ListParametersResult Node::list_parameters(
    const std::vector<std::string> & prefixes, uint64_t depth) const
{
  return node_parameters_->list_parameters(prefixes, depth);
}

Node::OnSetParametersCallbackHandle::SharedPtr Node::add_on_set_parameters_callback(
    OnParametersSetCallbackType callback)
{
  return node_parameters_->add_on_set_parameters_callback(std::move(callback));
}

void Node::remove_on_set_parameters_callback(const OnSetParametersCallbackHandle * const handler)
{
  node_parameters_->remove_on_set_parameters_callback(handler);
}

rclcpp::Clock::SharedPtr Node::get_clock() { return node_clock_->get_clock(); }

rclcpp::Clock::ConstSharedPtr Node::get_clock() const
{
  return std::const_pointer_cast<const node_interfaces::NodeClockInterface>(node_clock_)
      ->get_clock();
}

Time Node::now() const { return node_clock_->get_clock()->now(); }

node_interfaces::NodeBaseInterface::SharedPtr Node::get_node_base_interface() { return node_base_; }

node_interfaces::NodeClockInterface::SharedPtr Node::get_node_clock_interface()
{
  return node_clock_;
}

node_interfaces::NodeTimersInterface::SharedPtr Node::get_node_timers_interface()
{
  return node_timers_;
}

rclcpp::CallbackGroup::SharedPtr Node::group_or_default(
    const rclcpp::CallbackGroup::SharedPtr & group, const char * error)
{
  if (!group) {
    return node_base_->get_default_callback_group();
  }
  if (!node_base_->callback_group_in_node(group)) {
    throw std::runtime_error(error);
  }
  return group;
}

const NodeOptions & Node::get_node_options() const { return node_options_; }

}  // namespace rclcpp
