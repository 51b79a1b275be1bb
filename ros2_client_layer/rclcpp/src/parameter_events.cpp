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

#include "parameter_events.hpp"

#include <array>
#include <memory>
#include <stdexcept>
#include <utility>

#include "node_base.hpp"
#include "rcl_interfaces/msg/parameter_event.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/publisher.hpp"

namespace client_layer {
namespace {

const char kParameterPrefix[] = "qos_overrides./parameter_events.publisher.";
// rclcpp's order, which is the order of the declarations and their events.
const std::array<const char *, 4> kPolicies = {"depth", "durability", "history", "reliability"};

struct PolicyName
{
  int value;
  const char * name;
};

const std::array<PolicyName, 3> kDurabilityNames = {{
    {RMW_QOS_POLICY_DURABILITY_SYSTEM_DEFAULT, "system_default"},
    {RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL, "transient_local"},
    {RMW_QOS_POLICY_DURABILITY_VOLATILE, "volatile"},
}};
const std::array<PolicyName, 3> kHistoryNames = {{
    {RMW_QOS_POLICY_HISTORY_SYSTEM_DEFAULT, "system_default"},
    {RMW_QOS_POLICY_HISTORY_KEEP_LAST, "keep_last"},
    {RMW_QOS_POLICY_HISTORY_KEEP_ALL, "keep_all"},
}};
const std::array<PolicyName, 3> kReliabilityNames = {{
    {RMW_QOS_POLICY_RELIABILITY_SYSTEM_DEFAULT, "system_default"},
    {RMW_QOS_POLICY_RELIABILITY_RELIABLE, "reliable"},
    {RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT, "best_effort"},
}};

const char * name_of(const std::array<PolicyName, 3> & names, int value)
{
  for (const auto & entry : names) {
    if (entry.value == value) {
      return entry.name;
    }
  }
  return "unknown";
}

int value_of(const std::array<PolicyName, 3> & names, const char * policy, const std::string & name)
{
  for (const auto & entry : names) {
    if (name == entry.name) {
      return entry.value;
    }
  }
  throw std::invalid_argument(std::string("unknown QoS policy ") + policy + " value: " + name);
}

rclcpp::ParameterValue policy_value(const std::string & policy, const rclcpp::QoS & qos)
{
  const rmw_qos_profile_t & profile = qos.get_rmw_qos_profile();
  if (policy == "depth") {
    return rclcpp::ParameterValue(static_cast<int64_t>(profile.depth));
  }
  if (policy == "durability") {
    return rclcpp::ParameterValue(name_of(kDurabilityNames, profile.durability));
  }
  if (policy == "history") {
    return rclcpp::ParameterValue(name_of(kHistoryNames, profile.history));
  }
  return rclcpp::ParameterValue(name_of(kReliabilityNames, profile.reliability));
}

void apply(const std::string & policy, const rclcpp::ParameterValue & value, rclcpp::QoS & qos)
{
  rmw_qos_profile_t & profile = qos.get_rmw_qos_profile();
  if (policy == "depth") {
    profile.depth = static_cast<size_t>(value.get<int64_t>());
  } else if (policy == "durability") {
    profile.durability = static_cast<rmw_qos_durability_policy_t>(
        value_of(kDurabilityNames, "durability", value.get<std::string>()));
  } else if (policy == "history") {
    profile.history = static_cast<rmw_qos_history_policy_t>(
        value_of(kHistoryNames, "history", value.get<std::string>()));
  } else {
    profile.reliability = static_cast<rmw_qos_reliability_policy_t>(
        value_of(kReliabilityNames, "reliability", value.get<std::string>()));
  }
}

}  // namespace

NodeParameters::ParameterEventHandler create_parameter_event_publisher(
    NodeBase & node_base, rclcpp::Clock::SharedPtr clock, const rclcpp::QoS & qos)
{
  using rcl_interfaces::msg::ParameterEvent;
  auto publisher = std::make_shared<rclcpp::Publisher<ParameterEvent>>(
      &node_base, "/parameter_events", qos, rclcpp::PublisherOptions());
  node_base.get_default_callback_group()->add_readable(publisher);
  return [publisher, clock = std::move(clock)](ParameterEvent event) {
    event.stamp = clock->now();
    publisher->publish(event);
  };
}

rclcpp::QoS parameter_event_qos_with_overrides(
    const rclcpp::QoS & qos, const std::map<std::string, rclcpp::ParameterValue> & overrides)
{
  rclcpp::QoS result = qos;
  for (const char * policy : kPolicies) {
    auto it = overrides.find(kParameterPrefix + std::string(policy));
    if (it != overrides.end()) {
      apply(policy, it->second, result);
    }
  }
  return result;
}

void declare_parameter_event_qos_parameters(NodeParameters & parameters, const rclcpp::QoS & qos)
{
  for (const char * policy : kPolicies) {
    rcl_interfaces::msg::ParameterDescriptor descriptor;
    descriptor.description =
        std::string("qos policy {") + policy + "} for publisher {/parameter_events}";
    descriptor.read_only = true;
    try {
      parameters.declare_parameter(
          kParameterPrefix + std::string(policy), policy_value(policy, qos), descriptor);
    } catch (const rclcpp::exceptions::ParameterAlreadyDeclaredException &) {
      // Declared from the overrides already: rclcpp leaves it as it is.
    }
  }
}

}  // namespace client_layer
