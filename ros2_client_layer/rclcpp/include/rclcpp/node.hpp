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

// rclcpp::Node: the entry point for creating publishers, subscriptions,
// services, clients, timers, parameters and callback groups.
#ifndef RCLCPP__NODE_HPP_
#define RCLCPP__NODE_HPP_

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "client_layer/node_parameters.hpp"
#include "client_layer/parameter_declaration.hpp"
#include "rcl_interfaces/msg/list_parameters_result.hpp"
#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rclcpp/callback_group.hpp"
#include "rclcpp/client.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/create_timer.hpp"
#include "rclcpp/logger.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/node_interfaces/node_clock_interface.hpp"
#include "rclcpp/node_interfaces/node_parameters_interface.hpp"
#include "rclcpp/node_interfaces/node_timers_interface.hpp"
#include "rclcpp/node_options.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"
#include "rclcpp/publisher.hpp"
#include "rclcpp/publisher_options.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/service.hpp"
#include "rclcpp/subscription.hpp"
#include "rclcpp/subscription_options.hpp"
#include "rclcpp/time.hpp"
#include "rclcpp/timer.hpp"
#include "rclcpp/visibility_control.hpp"
#include "rmw/qos_profiles.h"

namespace client_layer {
class ParameterService;
class RosoutPublisher;
}  // namespace client_layer

namespace rclcpp {

class Node : public std::enable_shared_from_this<Node>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Node)

  /// Create a node in the root namespace (or the one the arguments remap to).
  /**
   * \throws InvalidNodeNameError, InvalidNamespaceError for invalid names
   * \throws std::runtime_error if the context is not valid
   */
  explicit Node(const std::string & node_name, const NodeOptions & options = NodeOptions());

  explicit Node(
      const std::string & node_name, const std::string & namespace_,
      const NodeOptions & options = NodeOptions());

  virtual ~Node();

  const char * get_name() const;
  const char * get_namespace() const;
  const char * get_fully_qualified_name() const;

  /// The node's logger ("<namespace with dots>.<name>").
  rclcpp::Logger get_logger() const;

  /// Create a callback group of the node.
  rclcpp::CallbackGroup::SharedPtr create_callback_group(
      rclcpp::CallbackGroupType group_type, bool automatically_add_to_executor_with_node = true);

  /// Create a publisher on the topic (resolved in the node's namespace, remapped).
  /**
   * \throws InvalidTopicNameError for an invalid name
   * \throws rclcpp::exceptions::RCLError "could not create publisher: ..." when DDS refuses it
   */
  template <
      typename MessageT, typename AllocatorT = std::allocator<void>,
      typename PublisherT = rclcpp::Publisher<MessageT, AllocatorT>>
  std::shared_ptr<PublisherT> create_publisher(
      const std::string & topic_name, const rclcpp::QoS & qos,
      const PublisherOptionsWithAllocator<AllocatorT> & options =
          PublisherOptionsWithAllocator<AllocatorT>())
  {
    PublisherOptionsWithAllocator<AllocatorT> resolved = options;
    resolved.callback_group = group_or_default(
        options.callback_group, "Cannot create publisher, callback group not in node.");
    auto publisher = std::make_shared<PublisherT>(node_base_.get(), topic_name, qos, resolved);
    resolved.callback_group->add_readable(publisher);
    return publisher;
  }

  /// Create a subscription; the callback takes the message as const MessageT &,
  /// std::unique_ptr<MessageT>, std::shared_ptr<const MessageT> or std::shared_ptr<MessageT>.
  /**
   * \throws InvalidTopicNameError for an invalid name
   * \throws rclcpp::exceptions::RCLError "could not create subscription: ..." when DDS refuses it
   */
  template <
      typename MessageT, typename CallbackT, typename AllocatorT = std::allocator<void>,
      typename SubscriptionT = rclcpp::Subscription<MessageT, AllocatorT>>
  std::shared_ptr<SubscriptionT> create_subscription(
      const std::string & topic_name, const rclcpp::QoS & qos, CallbackT && callback,
      const SubscriptionOptionsWithAllocator<AllocatorT> & options =
          SubscriptionOptionsWithAllocator<AllocatorT>())
  {
    auto group = group_or_default(
        options.callback_group, "Cannot create subscription, callback group not in node.");
    auto subscription = std::make_shared<SubscriptionT>(
        node_base_.get(), group, topic_name, qos, std::forward<CallbackT>(callback), options);
    group->add_readable(subscription);
    return subscription;
  }

  /// Create a service server.
  /**
   * \throws InvalidServiceNameError for an invalid name
   * \throws rclcpp::exceptions::RCLError "could not create service: ..." when DDS refuses it
   */
  template <typename ServiceT, typename CallbackT>
  typename rclcpp::Service<ServiceT>::SharedPtr create_service(
      const std::string & service_name, CallbackT && callback,
      const rmw_qos_profile_t & qos_profile = rmw_qos_profile_services_default,
      rclcpp::CallbackGroup::SharedPtr group = nullptr)
  {
    auto resolved_group = group_or_default(group, "Cannot create service, group not in node.");
    auto service = std::make_shared<rclcpp::Service<ServiceT>>(
        node_base_.get(), resolved_group, service_name, std::forward<CallbackT>(callback),
        qos_profile);
    resolved_group->add_readable(service);
    return service;
  }

  /// Create a service client.
  /**
   * \throws InvalidServiceNameError for an invalid name
   * \throws rclcpp::exceptions::RCLError "could not create client: ..." when DDS refuses it
   */
  template <typename ServiceT>
  typename rclcpp::Client<ServiceT>::SharedPtr create_client(
      const std::string & service_name,
      const rmw_qos_profile_t & qos_profile = rmw_qos_profile_services_default,
      rclcpp::CallbackGroup::SharedPtr group = nullptr)
  {
    auto resolved_group = group_or_default(group, "Cannot create client, group not in node.");
    auto client = std::make_shared<rclcpp::Client<ServiceT>>(
        node_base_.get(), resolved_group, service_name, qos_profile);
    resolved_group->add_readable(client);
    return client;
  }

  /// Create a timer on the steady clock.
  /**
   * \throws std::invalid_argument "timer period cannot be negative", or
   *   "timer period must be less than std::chrono::nanoseconds::max()"
   */
  template <typename DurationRepT = int64_t, typename DurationT = std::milli, typename CallbackT>
  typename rclcpp::WallTimer<CallbackT>::SharedPtr create_wall_timer(
      std::chrono::duration<DurationRepT, DurationT> period, CallbackT callback,
      rclcpp::CallbackGroup::SharedPtr group = nullptr)
  {
    return rclcpp::create_wall_timer(
        period, std::move(callback), group, node_base_.get(), node_timers_.get());
  }

  /// Declare a parameter with a default; returns its value (the override, if any).
  /**
   * \throws ParameterAlreadyDeclaredException, InvalidParameterTypeException,
   *   InvalidParameterValueException, InvalidParametersException as rclcpp does
   */
  const rclcpp::ParameterValue & declare_parameter(
      const std::string & name, const rclcpp::ParameterValue & default_value,
      const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor(),
      bool ignore_override = false);

  /// Declare a statically typed parameter without a default.
  const rclcpp::ParameterValue & declare_parameter(
      const std::string & name, rclcpp::ParameterType type,
      const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor{},
      bool ignore_override = false);

  /// Declare a parameter typed by its default; returns the value as ParameterT
  /// yields it (integers as int64_t, floating point as double).
  template <typename ParameterT>
  auto declare_parameter(
      const std::string & name, const ParameterT & default_value,
      const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor(),
      bool ignore_override = false)
  {
    return client_layer::declare_parameter(
        *node_parameters_, name, default_value, parameter_descriptor, ignore_override);
  }

  /// Declare a parameter of ParameterT's type without a default.
  /**
   * \throws UninitializedStaticallyTypedParameterException without an override
   */
  template <typename ParameterT>
  auto declare_parameter(
      const std::string & name,
      const rcl_interfaces::msg::ParameterDescriptor & parameter_descriptor =
          rcl_interfaces::msg::ParameterDescriptor(),
      bool ignore_override = false)
  {
    return client_layer::declare_parameter<ParameterT>(
        *node_parameters_, name, parameter_descriptor, ignore_override);
  }

  template <typename ParameterT>
  std::vector<ParameterT> declare_parameters(
      const std::string & namespace_, const std::map<std::string, ParameterT> & parameters,
      bool ignore_overrides = false)
  {
    return client_layer::declare_parameters(
        *node_parameters_, namespace_, parameters, ignore_overrides);
  }

  void undeclare_parameter(const std::string & name);

  bool has_parameter(const std::string & name) const;

  rcl_interfaces::msg::SetParametersResult set_parameter(const rclcpp::Parameter & parameter);

  std::vector<rcl_interfaces::msg::SetParametersResult> set_parameters(
      const std::vector<rclcpp::Parameter> & parameters);

  rcl_interfaces::msg::SetParametersResult set_parameters_atomically(
      const std::vector<rclcpp::Parameter> & parameters);

  /// \throws ParameterNotDeclaredException, ParameterUninitializedException
  rclcpp::Parameter get_parameter(const std::string & name) const;

  /// False when the parameter is not declared or not set.
  bool get_parameter(const std::string & name, rclcpp::Parameter & parameter) const;

  template <typename ParameterT>
  bool get_parameter(const std::string & name, ParameterT & parameter) const
  {
    return client_layer::get_parameter(*node_parameters_, name, parameter);
  }

  template <typename ParameterT>
  bool get_parameter_or(
      const std::string & name, ParameterT & parameter, const ParameterT & alternative_value) const
  {
    return client_layer::get_parameter_or(*node_parameters_, name, parameter, alternative_value);
  }

  template <typename ParameterT>
  ParameterT get_parameter_or(const std::string & name, const ParameterT & alternative_value) const
  {
    ParameterT parameter;
    get_parameter_or(name, parameter, alternative_value);
    return parameter;
  }

  std::vector<rclcpp::Parameter> get_parameters(const std::vector<std::string> & names) const;

  template <typename ParameterT>
  bool get_parameters(const std::string & prefix, std::map<std::string, ParameterT> & values) const
  {
    return client_layer::get_parameters(*node_parameters_, prefix, values);
  }

  rcl_interfaces::msg::ParameterDescriptor describe_parameter(const std::string & name) const;

  std::vector<rcl_interfaces::msg::ParameterDescriptor> describe_parameters(
      const std::vector<std::string> & names) const;

  std::vector<uint8_t> get_parameter_types(const std::vector<std::string> & names) const;

  rcl_interfaces::msg::ListParametersResult list_parameters(
      const std::vector<std::string> & prefixes, uint64_t depth) const;

  using OnSetParametersCallbackHandle = rclcpp::node_interfaces::OnSetParametersCallbackHandle;
  using OnParametersSetCallbackType = OnSetParametersCallbackHandle::OnParametersSetCallbackType;

  [[nodiscard]] OnSetParametersCallbackHandle::SharedPtr add_on_set_parameters_callback(
      OnParametersSetCallbackType callback);

  void remove_on_set_parameters_callback(const OnSetParametersCallbackHandle * const handler);

  rclcpp::Clock::SharedPtr get_clock();
  rclcpp::Clock::ConstSharedPtr get_clock() const;

  /// The current time of the node's clock.
  Time now() const;

  /// Fully qualified names of the nodes discovered so far, this one included.
  /** Graph queries see discovery's state, which converges only eventually. */
  std::vector<std::string> get_node_names() const;

  /// Topic names and their types ("pkg/msg/Type"), e.g. {"/chatter": {"std_msgs/msg/String"}}.
  std::map<std::string, std::vector<std::string>> get_topic_names_and_types() const;

  /// Service names and their types ("pkg/srv/Type").
  std::map<std::string, std::vector<std::string>> get_service_names_and_types() const;

  /// Publishers on the topic (expanded, not remapped), in any process.
  /** \throws InvalidTopicNameError for an invalid name */
  size_t count_publishers(const std::string & topic_name) const;

  /// Subscriptions on the topic (expanded, not remapped), in any process.
  /** \throws InvalidTopicNameError for an invalid name */
  size_t count_subscribers(const std::string & topic_name) const;

  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr get_node_base_interface();
  rclcpp::node_interfaces::NodeClockInterface::SharedPtr get_node_clock_interface();
  rclcpp::node_interfaces::NodeTimersInterface::SharedPtr get_node_timers_interface();

  const rclcpp::NodeOptions & get_node_options() const;

private:
  RCLCPP_DISABLE_COPY(Node)

  // `group`, or the default group when null; throws std::runtime_error(error)
  // when the group belongs to another node.
  rclcpp::CallbackGroup::SharedPtr group_or_default(
      const rclcpp::CallbackGroup::SharedPtr & group, const char * error);

  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_base_;
  std::shared_ptr<client_layer::RosoutPublisher> rosout_publisher_;
  rclcpp::node_interfaces::NodeClockInterface::SharedPtr node_clock_;
  rclcpp::node_interfaces::NodeTimersInterface::SharedPtr node_timers_;
  std::shared_ptr<client_layer::NodeParameters> node_parameters_;
  std::shared_ptr<client_layer::ParameterService> parameter_service_;
  OnSetParametersCallbackHandle::SharedPtr use_sim_time_check_;
  std::shared_ptr<rclcpp::SubscriptionBase> parameter_event_subscription_;
  const rclcpp::NodeOptions node_options_;
};

}  // namespace rclcpp

#endif  // RCLCPP__NODE_HPP_
