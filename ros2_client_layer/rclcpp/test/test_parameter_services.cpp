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

// A node's parameter services, called by a client in a second node: the
// service names, the replies for known, unknown and refused parameters, bad
// requests from the network, and NodeOptions::start_parameter_services(false).
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "layer_test_support.hpp"
#include "rcl_interfaces/srv/describe_parameters.hpp"
#include "rcl_interfaces/srv/get_parameter_types.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters_atomically.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;
namespace srv = rcl_interfaces::srv;
using rcl_interfaces::msg::ParameterType;

namespace {

rcl_interfaces::msg::Parameter parameter_msg(const std::string & name, rclcpp::ParameterValue value)
{
  return rclcpp::Parameter(name, value).to_parameter_msg();
}

class ParameterServiceTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    rclcpp::init(0, nullptr);
    server_ = std::make_shared<rclcpp::Node>("server", "/robot");
    rcl_interfaces::msg::ParameterDescriptor ranged;
    ranged.integer_range.resize(1);
    ranged.integer_range[0].from_value = 0;
    ranged.integer_range[0].to_value = 10;
    ranged.integer_range[0].step = 1;
    server_->declare_parameter("limits.count", 3, ranged);
    server_->declare_parameter("limits.scale", 0.5);
    rcl_interfaces::msg::ParameterDescriptor read_only;
    read_only.read_only = true;
    server_->declare_parameter("name", "left", read_only);
    server_->declare_parameter("unset", rclcpp::PARAMETER_STRING);

    client_node_ = std::make_shared<rclcpp::Node>("client");
    executor_.add_node(server_);
    executor_.add_node(client_node_);
  }

  void TearDown() override
  {
    executor_.remove_node(client_node_);
    executor_.remove_node(server_);
    client_node_.reset();
    server_.reset();
    rclcpp::shutdown();
  }

  // Calls "/robot/server/<service>" and returns the response (an empty one,
  // with the test failed, on timeout).
  template <typename ServiceT>
  typename ServiceT::Response call(const std::string & service, typename ServiceT::Request request)
  {
    auto client = client_node_->create_client<ServiceT>("/robot/server/" + service);
    if (!client->wait_for_service(10s)) {
      ADD_FAILURE() << service << " is not offered";
      return typename ServiceT::Response();
    }
    auto future = client->async_send_request(std::make_shared<typename ServiceT::Request>(request));
    if (executor_.spin_until_future_complete(future, 10s) != rclcpp::FutureReturnCode::SUCCESS) {
      ADD_FAILURE() << service << " did not answer";
      return typename ServiceT::Response();
    }
    return *future.get();
  }

  rclcpp::Node::SharedPtr server_;
  rclcpp::Node::SharedPtr client_node_;
  rclcpp::executors::SingleThreadedExecutor executor_;
};

// Other ROS 2 tools find the services by these names and types.
TEST_F(ParameterServiceTest, ServicesCarryTheNamesAndTypesOfRos2)
{
  const std::map<std::string, std::string> expected = {
      {"/robot/server/describe_parameters", "rcl_interfaces/srv/DescribeParameters"},
      {"/robot/server/get_parameter_types", "rcl_interfaces/srv/GetParameterTypes"},
      {"/robot/server/get_parameters", "rcl_interfaces/srv/GetParameters"},
      {"/robot/server/list_parameters", "rcl_interfaces/srv/ListParameters"},
      {"/robot/server/set_parameters", "rcl_interfaces/srv/SetParameters"},
      {"/robot/server/set_parameters_atomically", "rcl_interfaces/srv/SetParametersAtomically"},
  };
  std::map<std::string, std::string> found;
  layer_test::wait_until([&] {
    found.clear();
    for (const auto & [name, types] : client_node_->get_service_names_and_types()) {
      if (name.rfind("/robot/server/", 0) == 0 && types.size() == 1) {
        found[name] = types.front();
      }
    }
    return found.size() >= expected.size();
  });
  EXPECT_EQ(expected, found);
}

TEST_F(ParameterServiceTest, GetAndDescribeAnswerForKnownNamesOnly)
{
  srv::GetParameters::Request get;
  get.names = {"limits.count", "name"};
  auto values = call<srv::GetParameters>("get_parameters", get);
  ASSERT_EQ(2u, values.values.size());
  EXPECT_EQ(3, values.values[0].integer_value);
  EXPECT_EQ("left", values.values[1].string_value);

  // One unknown name empties the whole reply, as in rclcpp; a declared but
  // uninitialised one comes back unset.
  get.names = {"limits.count", "missing"};
  values = call<srv::GetParameters>("get_parameters", get);
  EXPECT_TRUE(values.values.empty());
  get.names = {"limits.count", "unset"};
  values = call<srv::GetParameters>("get_parameters", get);
  ASSERT_EQ(2u, values.values.size());
  EXPECT_EQ(rcl_interfaces::msg::ParameterType::PARAMETER_NOT_SET, values.values[1].type);

  srv::GetParameterTypes::Request types;
  types.names = {"limits.scale", "unset"};
  auto type_reply = call<srv::GetParameterTypes>("get_parameter_types", types);
  EXPECT_EQ(
      (std::vector<uint8_t>{ParameterType::PARAMETER_DOUBLE, ParameterType::PARAMETER_NOT_SET}),
      type_reply.types);

  srv::DescribeParameters::Request describe;
  describe.names = {"name", "missing"};
  auto descriptors = call<srv::DescribeParameters>("describe_parameters", describe);
  EXPECT_TRUE(descriptors.descriptors.empty());
  describe.names = {"name"};
  descriptors = call<srv::DescribeParameters>("describe_parameters", describe);
  ASSERT_EQ(1u, descriptors.descriptors.size());
  EXPECT_TRUE(descriptors.descriptors[0].read_only);

  srv::ListParameters::Request list;
  list.prefixes = {"limits"};
  auto listed = call<srv::ListParameters>("list_parameters", list);
  EXPECT_EQ((std::vector<std::string>{"limits.count", "limits.scale"}), listed.result.names);
  EXPECT_EQ((std::vector<std::string>{"limits"}), listed.result.prefixes);
}

// "ok", or the reason of the refusal, for each result.
std::vector<std::string> outcomes(
    const std::vector<rcl_interfaces::msg::SetParametersResult> & results)
{
  std::vector<std::string> texts;
  for (const auto & result : results) {
    texts.push_back(result.successful ? "ok" : result.reason);
  }
  return texts;
}

TEST_F(ParameterServiceTest, SetParametersGivesOneResultEachWithRclcppReasons)
{
  auto unknown_type = parameter_msg("limits.count", rclcpp::ParameterValue(1));
  unknown_type.value.type = 42;
  srv::SetParameters::Request set;
  set.parameters = {
      parameter_msg("limits.count", rclcpp::ParameterValue(7)),
      parameter_msg("missing", rclcpp::ParameterValue(1)),
      parameter_msg("name", rclcpp::ParameterValue("right")),
      parameter_msg("limits.count", rclcpp::ParameterValue("seven")),
      parameter_msg("limits.count", rclcpp::ParameterValue(11)),
      unknown_type,  // malformed requests are refused, not thrown out of the callback
      parameter_msg("", rclcpp::ParameterValue(1)),
  };
  auto reply = call<srv::SetParameters>("set_parameters", set);
  const std::string type_refusal =
      "Wrong parameter type, parameter {limits.count} is of type {integer}, setting it to "
      "{string} is not allowed.";
  EXPECT_EQ(
      (std::vector<std::string>{
          "ok", "parameter 'missing' cannot be set because it was not declared",
          "parameter 'name' cannot be set because it is read-only", type_refusal,
          "Parameter {limits.count} doesn't comply with integer range.", "Unknown type: 42",
          "parameter name must not be empty"}),
      outcomes(reply.results));
  EXPECT_EQ(7, server_->get_parameter("limits.count").as_int());
  EXPECT_EQ("left", server_->get_parameter("name").as_string());
}

TEST_F(ParameterServiceTest, SetAtomicallyIsAllOrNothing)
{
  srv::SetParametersAtomically::Request set;
  set.parameters = {
      parameter_msg("limits.count", rclcpp::ParameterValue(9)),
      parameter_msg("missing", rclcpp::ParameterValue(1)),
  };
  auto reply = call<srv::SetParametersAtomically>("set_parameters_atomically", set);
  EXPECT_EQ(
      std::vector<std::string>{"One or more parameters were not declared before setting"},
      outcomes({reply.result}));
  EXPECT_EQ(3, server_->get_parameter("limits.count").as_int());

  set.parameters.back() = parameter_msg("limits.scale", rclcpp::ParameterValue(2.0));
  reply = call<srv::SetParametersAtomically>("set_parameters_atomically", set);
  EXPECT_TRUE(reply.result.successful);
  EXPECT_EQ(9, server_->get_parameter("limits.count").as_int());
  EXPECT_EQ(2.0, server_->get_parameter("limits.scale").as_double());
}

template <typename ServiceT>
bool is_offered(rclcpp::Node & node, const std::string & name)
{
  return node.create_client<ServiceT>(name)->wait_for_service(100ms);
}

TEST(ParameterServiceOptionsTest, StartParameterServicesFalseOffersNone)
{
  rclcpp::init(0, nullptr);
  {
    auto offering = std::make_shared<rclcpp::Node>("offering");
    auto silent = std::make_shared<rclcpp::Node>(
        "silent", rclcpp::NodeOptions().start_parameter_services(false));
    auto client_node = std::make_shared<rclcpp::Node>("client");
    // Both servers share the process's participant, so once the offering
    // node's service is seen, the silent node's would be seen too.
    auto offered = client_node->create_client<srv::ListParameters>("/offering/list_parameters");
    ASSERT_TRUE(offered->wait_for_service(10s));
    EXPECT_FALSE(is_offered<srv::GetParameters>(*client_node, "/silent/get_parameters"));
    EXPECT_FALSE(is_offered<srv::SetParameters>(*client_node, "/silent/set_parameters"));
    EXPECT_FALSE(is_offered<srv::ListParameters>(*client_node, "/silent/list_parameters"));
  }
  rclcpp::shutdown();
}

}  // namespace
