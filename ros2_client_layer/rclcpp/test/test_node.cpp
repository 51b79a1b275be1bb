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

// The node's names, remapping from the command line and from NodeOptions,
// its logger, and the errors rclcpp reports for bad names and arguments.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "client_layer_test_interfaces/msg/event.hpp"
#include "client_layer_test_interfaces/srv/query.hpp"
#include "layer_test_support.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;
using client_layer_test_interfaces::msg::Event;
using client_layer_test_interfaces::srv::Query;
using layer_test::what_of;

namespace {

// Initialises the global context with the given command line.
class ContextGuard
{
public:
  explicit ContextGuard(std::vector<const char *> argv)
  {
    rclcpp::init(static_cast<int>(argv.size()), argv.data());
  }
  ~ContextGuard() { rclcpp::shutdown(); }
};

TEST(NodeTest, NamesNamespacesAndLogger)
{
  ContextGuard context({"prog"});
  auto root = std::make_shared<rclcpp::Node>("plain");
  EXPECT_STREQ("plain", root->get_name());
  EXPECT_STREQ("/", root->get_namespace());
  EXPECT_STREQ("/plain", root->get_fully_qualified_name());
  EXPECT_STREQ("plain", root->get_logger().get_name());

  auto nested = std::make_shared<rclcpp::Node>("arm", "robot/left");
  EXPECT_STREQ("/robot/left", nested->get_namespace());
  EXPECT_STREQ("/robot/left/arm", nested->get_fully_qualified_name());
  EXPECT_STREQ("robot.left.arm", nested->get_logger().get_name());
  EXPECT_EQ(RCL_ROS_TIME, nested->get_clock()->get_clock_type());
  EXPECT_GT(nested->now().nanoseconds(), 0);

  EXPECT_THROW(rclcpp::Node("bad-name"), rclcpp::exceptions::InvalidNodeNameError);
  EXPECT_THROW(rclcpp::Node("1st"), rclcpp::exceptions::InvalidNodeNameError);
  EXPECT_THROW(rclcpp::Node("ok", "/bad//ns"), rclcpp::exceptions::InvalidNamespaceError);
  EXPECT_THROW(
      root->create_publisher<Event>("bad topic", 10), rclcpp::exceptions::InvalidTopicNameError);
  EXPECT_THROW(root->create_client<Query>("bad srv"), rclcpp::exceptions::InvalidServiceNameError);
}

TEST(NodeTest, CommandLineRemapsNodeTopicsAndServices)
{
  ContextGuard context(
      {"prog", "--ros-args", "-r", "__node:=renamed", "-r", "__ns:=/remapped", "-r",
       "chatter:=talk", "-r", "srv:=/elsewhere/srv", "--", "plain_arg"});
  auto node = std::make_shared<rclcpp::Node>("original");
  EXPECT_STREQ("renamed", node->get_name());
  EXPECT_STREQ("/remapped", node->get_namespace());
  EXPECT_STREQ("remapped.renamed", node->get_logger().get_name());

  auto publisher = node->create_publisher<Event>("chatter", 10);
  EXPECT_STREQ("/remapped/talk", publisher->get_topic_name());
  auto service = node->create_service<Query>(
      "srv", [](std::shared_ptr<Query::Request>, std::shared_ptr<Query::Response>) {});
  EXPECT_STREQ("/elsewhere/srv", service->get_service_name());

  // A node that ignores the command line keeps its names; its own arguments apply.
  rclcpp::NodeOptions options;
  options.use_global_arguments(false).arguments({"--ros-args", "-r", "chatter:=/mine"});
  auto own = std::make_shared<rclcpp::Node>("original", options);
  EXPECT_STREQ("original", own->get_name());
  EXPECT_STREQ("/", own->get_namespace());
  auto own_publisher = own->create_publisher<Event>("chatter", 10);
  EXPECT_STREQ("/mine", own_publisher->get_topic_name());

  // The remapped topic carries messages end to end.
  std::vector<int32_t> received;
  auto listener = own->create_subscription<Event>(
      "/remapped/talk", 10, [&](const Event & m) { received.push_back(m.code); });
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(own);
  ASSERT_TRUE(layer_test::wait_until([&] { return publisher->get_subscription_count() == 1u; }));
  Event event;
  event.code = 77;
  publisher->publish(event);
  ASSERT_TRUE(layer_test::wait_until([&] {
    executor.spin_some();
    return !received.empty();
  }));
  EXPECT_EQ((std::vector<int32_t>{77}), received);
}

TEST(NodeTest, ArgumentErrors)
{
  const char * unknown[] = {"prog", "--ros-args", "--not-an-option"};
  try {
    rclcpp::init(3, unknown);
    ADD_FAILURE() << "unknown ROS argument accepted";
    rclcpp::shutdown();
  } catch (const rclcpp::exceptions::UnknownROSArgsError & e) {
    EXPECT_STREQ("found unknown ROS arguments: '--not-an-option'", e.what());
  }
  EXPECT_FALSE(rclcpp::ok());

  const char * malformed[] = {"prog", "--ros-args", "-r", "no_separator"};
  EXPECT_THROW(rclcpp::init(4, malformed), rclcpp::exceptions::RCLInvalidROSArgsError);
  EXPECT_FALSE(rclcpp::ok());

  const char * mixed[] = {"prog", "a", "--ros-args", "-r", "x:=y", "--", "b"};
  EXPECT_EQ((std::vector<std::string>{"prog", "a", "b"}), rclcpp::remove_ros_arguments(7, mixed));

  ContextGuard context({"prog"});
  rclcpp::NodeOptions options;
  options.arguments({"--ros-args", "--bogus"});
  EXPECT_THROW(rclcpp::Node("node", options), rclcpp::exceptions::UnknownROSArgsError);
}

// rcl accepts these remappings; the middleware then refuses the node they make.
TEST(NodeTest, RemappingToANameTheMiddlewareRefusesFailsTheNode)
{
  const std::string long_namespace = "__ns:=/" + std::string(300, 'a');
  const std::string long_name = "__node:=" + std::string(300, 'a');
  for (const std::string & rule : {std::string("__ns:=/robot1/"), long_namespace, long_name}) {
    ContextGuard context({"prog", "--ros-args", "-r", rule.c_str()});
    const std::string what =
        what_of<rclcpp::exceptions::RCLError>([] { rclcpp::Node node("original"); });
    EXPECT_TRUE(layer_test::starts_with(
        what, "failed to initialize rcl node: rcl node's rmw handle is invalid, at "))
        << rule << ": " << what;
  }
}

TEST(NodeTest, ParametersComeFromTheCommandLineFilesAndOptions)
{
  const std::string params_file = testing::TempDir() + "rclcpp_node_params.yaml";
  {
    std::ofstream file(params_file);
    file << "/**:\n  ros__parameters:\n    shared: from_file\n    period: 1\n"
            "center:\n  ros__parameters:\n    period: 3\n";
  }
  ContextGuard context(
      {"prog", "--ros-args", "-p", "diag_event_list:=[1001, 1002]", "--params-file",
       params_file.c_str()});
  rclcpp::NodeOptions options;
  options.append_parameter_override("from_options", 2.5);
  auto node = std::make_shared<rclcpp::Node>("center", options);

  EXPECT_EQ(
      (std::vector<int64_t>{1001, 1002}),
      node->declare_parameter<std::vector<int64_t>>("diag_event_list"));
  EXPECT_EQ(3, node->declare_parameter<int64_t>("period", 10));  // node key beats "/**"
  EXPECT_EQ("from_file", node->declare_parameter<std::string>("shared", "default"));
  EXPECT_EQ(7, node->declare_parameter("untouched", 7));
  EXPECT_DOUBLE_EQ(2.5, node->declare_parameter("from_options", 0.0));
  EXPECT_EQ(
      rclcpp::ParameterValue(int64_t{5}),
      node->declare_parameter("by_value", rclcpp::ParameterValue(int64_t{5})));

  EXPECT_TRUE(node->has_parameter("period"));
  EXPECT_FALSE(node->has_parameter("never_declared"));
  EXPECT_EQ(3, node->get_parameter("period").as_int());
  int64_t period = 0;
  EXPECT_TRUE(node->get_parameter("period", period));
  EXPECT_EQ(3, period);
  std::remove(params_file.c_str());
}

TEST(NodeTest, UseSimTimeIsDeclaredAndCannotBeSwitchedOn)
{
  {
    ContextGuard context({"prog"});
    auto node = std::make_shared<rclcpp::Node>("wall_clock");
    EXPECT_FALSE(node->get_parameter("use_sim_time").as_bool());
    const auto to_true = node->set_parameter(rclcpp::Parameter("use_sim_time", true));
    EXPECT_FALSE(to_true.successful);
    EXPECT_NE(std::string::npos, to_true.reason.find("simulated time is not supported"));
    EXPECT_FALSE(node->set_parameter(rclcpp::Parameter("use_sim_time", 1)).successful);
    EXPECT_TRUE(node->set_parameter(rclcpp::Parameter("use_sim_time", false)).successful);
  }
  // Given as anything but a bool, it stops the node as rclcpp's time source does
  // (A node that declares its overrides itself has it declared with their type.)
  for (const char * rule : {"use_sim_time:=1", "use_sim_time:=hello"}) {
    ContextGuard context({"prog", "--ros-args", "-p", rule});
    EXPECT_EQ(
        what_of<std::invalid_argument>([] {
          rclcpp::Node node(
              "mistyped_clock",
              rclcpp::NodeOptions().automatically_declare_parameters_from_overrides(true));
        }),
        "Invalid type for parameter 'use_sim_time', should be 'bool'")
        << rule;
  }
  // Asked for on the command line, it stops the node rather than run on the
  // wrong clock.
  ContextGuard context({"prog", "--ros-args", "-p", "use_sim_time:=true"});
  EXPECT_NE(std::string::npos, what_of<std::runtime_error>([] {
                                 rclcpp::Node node("sim_clock");
                               }).find("'use_sim_time'"));
}

}  // namespace
