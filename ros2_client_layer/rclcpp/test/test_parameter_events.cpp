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

// The /parameter_events a node publishes when parameters are declared, set
// and deleted, and NodeOptions::start_parameter_event_publisher(false).
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "layer_test_support.hpp"
#include "rcl_interfaces/msg/parameter_event.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;
using rcl_interfaces::msg::ParameterEvent;

namespace {

std::vector<std::string> names(const std::vector<rcl_interfaces::msg::Parameter> & parameters)
{
  std::vector<std::string> result;
  for (const auto & parameter : parameters) {
    result.push_back(parameter.name);
  }
  return result;
}

class ParameterEventsTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    rclcpp::init(0, nullptr);
    listener_ = std::make_shared<rclcpp::Node>("listener");
    subscription_ = listener_->create_subscription<ParameterEvent>(
        "/parameter_events", rclcpp::ParameterEventsQoS(), [this](const ParameterEvent & event) {
          std::lock_guard<std::mutex> lock(mutex_);
          events_.push_back(event);
        });
    executor_.add_node(listener_);
  }

  void TearDown() override
  {
    executor_.remove_node(listener_);
    subscription_.reset();
    listener_.reset();
    rclcpp::shutdown();
  }

  // The events of node `fqn`, once `count` of them have arrived (or after 10 s).
  std::vector<ParameterEvent> events_of(const std::string & fqn, size_t count)
  {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    std::vector<ParameterEvent> of_node;
    while (std::chrono::steady_clock::now() < deadline) {
      executor_.spin_some(100ms);
      of_node.clear();
      std::lock_guard<std::mutex> lock(mutex_);
      for (const auto & event : events_) {
        if (event.node == fqn) {
          of_node.push_back(event);
        }
      }
      if (of_node.size() >= count) {
        break;
      }
    }
    return of_node;
  }

  rclcpp::Node::SharedPtr listener_;
  rclcpp::Subscription<ParameterEvent>::SharedPtr subscription_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::mutex mutex_;
  std::vector<ParameterEvent> events_;
};

TEST_F(ParameterEventsTest, DeclareSetAndDeleteArePublishedAsRclcppDoes)
{
  auto talker = std::make_shared<rclcpp::Node>(
      "talker", "/robot",
      rclcpp::NodeOptions()
          .parameter_overrides({rclcpp::Parameter("from_override", 5)})
          .automatically_declare_parameters_from_overrides(true));
  talker->declare_parameter("count", 1);
  talker->declare_parameter("uninitialised", rclcpp::PARAMETER_STRING);
  talker->set_parameter(rclcpp::Parameter("count", 2));
  EXPECT_FALSE(talker->set_parameter(rclcpp::Parameter("count", "two")).successful);
  rcl_interfaces::msg::ParameterDescriptor dynamic;
  dynamic.dynamic_typing = true;
  talker->declare_parameter("dynamic", true, dynamic);
  talker->set_parameter(rclcpp::Parameter("dynamic"));  // a value of type "not set" deletes it
  talker->declare_parameter("temporary", 1.5, dynamic);
  talker->undeclare_parameter("temporary");  // rclcpp publishes nothing for this
  talker->set_parameter(rclcpp::Parameter("count", 3));

  auto events = events_of("/robot/talker", 13);
  ASSERT_EQ(13u, events.size());
  using Names = std::vector<std::string>;
  EXPECT_EQ(Names{"from_override"}, names(events[0].new_parameters));
  EXPECT_EQ(5, events[0].new_parameters[0].value.integer_value);
  // Every node declares use_sim_time, after the parameters from overrides,
  // and then the QoS of its parameter event publisher.
  EXPECT_EQ(Names{"use_sim_time"}, names(events[1].new_parameters));
  const std::string qos = "qos_overrides./parameter_events.publisher.";
  EXPECT_EQ(Names{qos + "depth"}, names(events[2].new_parameters));
  EXPECT_EQ(Names{qos + "durability"}, names(events[3].new_parameters));
  EXPECT_EQ(Names{qos + "history"}, names(events[4].new_parameters));
  EXPECT_EQ(Names{qos + "reliability"}, names(events[5].new_parameters));
  events.erase(events.begin() + 2, events.begin() + 6);
  EXPECT_EQ(Names{"count"}, names(events[2].new_parameters));
  // Declaring without a value still publishes, with nothing in it.
  EXPECT_TRUE(events[3].new_parameters.empty());
  EXPECT_TRUE(events[3].changed_parameters.empty());
  EXPECT_TRUE(events[3].deleted_parameters.empty());
  ASSERT_EQ(Names{"count"}, names(events[4].changed_parameters));
  EXPECT_EQ(2, events[4].changed_parameters[0].value.integer_value);
  EXPECT_EQ(Names{"dynamic"}, names(events[5].new_parameters));
  EXPECT_EQ(Names{"dynamic"}, names(events[6].deleted_parameters));
  EXPECT_TRUE(events[6].changed_parameters.empty());
  EXPECT_EQ(Names{"temporary"}, names(events[7].new_parameters));
  // The refused set and the undeclare published nothing: the last set follows.
  ASSERT_EQ(Names{"count"}, names(events[8].changed_parameters));
  EXPECT_EQ(3, events[8].changed_parameters[0].value.integer_value);
  for (const auto & event : events) {
    EXPECT_GT(rclcpp::Time(event.stamp).nanoseconds(), 0);
  }
}

TEST_F(ParameterEventsTest, StartParameterEventPublisherFalsePublishesNothing)
{
  auto quiet = std::make_shared<rclcpp::Node>(
      "quiet", rclcpp::NodeOptions().start_parameter_event_publisher(false));
  auto loud = std::make_shared<rclcpp::Node>("loud");
  quiet->declare_parameter("value", 1);
  quiet->set_parameter(rclcpp::Parameter("value", 2));
  loud->declare_parameter("value", 1);

  // Samples of this process reach the listener as they are written, so a
  // publisher of the quiet node would have delivered before the loud one.
  // use_sim_time, the publisher's QoS, then value
  ASSERT_EQ(6u, events_of("/loud", 6).size());
  EXPECT_TRUE(events_of("/quiet", 0).empty());
}

// rclcpp shows the QoS of the event publisher as read-only parameters, and
// creates the publisher with their overrides.
TEST_F(ParameterEventsTest, PublisherQosIsReadOnlyParametersThatOverridesSet)
{
  const std::string prefix = "qos_overrides./parameter_events.publisher.";
  auto plain = std::make_shared<rclcpp::Node>("plain");
  EXPECT_EQ(1000, plain->get_parameter(prefix + "depth").as_int());
  EXPECT_EQ("volatile", plain->get_parameter(prefix + "durability").as_string());
  EXPECT_EQ("keep_last", plain->get_parameter(prefix + "history").as_string());
  EXPECT_EQ("reliable", plain->get_parameter(prefix + "reliability").as_string());
  const auto descriptor = plain->describe_parameter(prefix + "durability");
  EXPECT_TRUE(descriptor.read_only);
  EXPECT_EQ("qos policy {durability} for publisher {/parameter_events}", descriptor.description);
  EXPECT_FALSE(plain->set_parameter(rclcpp::Parameter(prefix + "depth", 5)).successful);

  // Transient local: a reader that comes later still gets the declarations.
  auto kept = std::make_shared<rclcpp::Node>(
      "kept", rclcpp::NodeOptions().parameter_overrides(
                  {rclcpp::Parameter(prefix + "durability", "transient_local")}));
  EXPECT_EQ("transient_local", kept->get_parameter(prefix + "durability").as_string());
  kept->declare_parameter("value", 1);
  std::mutex late_mutex;
  bool late_got_value = false;
  auto late = listener_->create_subscription<ParameterEvent>(
      "/parameter_events", rclcpp::ParameterEventsQoS().transient_local(),
      [&](const ParameterEvent & event) {
        std::lock_guard<std::mutex> lock(late_mutex);
        late_got_value |= event.node == "/kept" &&
                          names(event.new_parameters) == std::vector<std::string>{"value"};
      });
  EXPECT_TRUE(layer_test::wait_until([&] {
    executor_.spin_some(100ms);
    std::lock_guard<std::mutex> lock(late_mutex);
    return late_got_value;
  }));

  EXPECT_EQ(
      layer_test::what_of<std::invalid_argument>([&] {
        rclcpp::Node bad(
            "bad", rclcpp::NodeOptions().parameter_overrides(
                       {rclcpp::Parameter(prefix + "reliability", "sometimes")}));
      }),
      "unknown QoS policy reliability value: sometimes");
}

}  // namespace
