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

// Failures of the middleware surface as rclcpp's RCLError family, with the
// message rclcpp builds: "<what failed>: <error>, at <file>:<line>".
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <regex>
#include <string>

#include "client_layer_test_interfaces/msg/event.hpp"
#include "client_layer_test_interfaces/srv/query.hpp"
#include "node_fixture.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;
using client_layer_test_interfaces::msg::Event;
using client_layer_test_interfaces::srv::Query;

namespace {

class ErrorsTest : public NodeFixture
{
protected:
  ErrorsTest() : NodeFixture("errors_test") {}
};

// Runs `create`, expects an RCLError and checks its fields and what() text.
void expect_rcl_error(
    const std::function<void()> & create, const std::string & prefix, const std::string & reason)
{
  try {
    create();
    ADD_FAILURE() << "no exception for \"" << prefix << "\"";
  } catch (const rclcpp::exceptions::RCLError & error) {
    EXPECT_EQ(1, error.ret);  // RCL_RET_ERROR
    EXPECT_NE(std::string::npos, error.message.find(reason)) << error.message;
    EXPECT_GT(error.line, 0u);
    EXPECT_EQ(
        error.message + ", at " + error.file + ":" + std::to_string(error.line),
        error.formatted_message);
    EXPECT_EQ(prefix + ": " + error.formatted_message, error.what());
    EXPECT_TRUE(std::regex_match(error.what(), std::regex(prefix + ": .+, at .+:[0-9]+")))
        << error.what();
  }
}

// DDS keeps at most INT32_MAX samples per instance: a deeper KEEP_LAST history
// is refused when the reader or writer is created.
TEST_F(ErrorsTest, EndpointsWithAHistoryDdsCannotHoldThrowRclError)
{
  const size_t too_deep = static_cast<size_t>(INT32_MAX) + 1;
  const std::string reason = "unsupported history depth";
  rmw_qos_profile_t service_qos = rmw_qos_profile_services_default;
  service_qos.depth = too_deep;

  expect_rcl_error(
      [&] { node_->create_publisher<Event>("deep", rclcpp::QoS(too_deep)); },
      "could not create publisher", reason);
  expect_rcl_error(
      [&] {
        node_->create_subscription<Event>("deep", rclcpp::QoS(too_deep), [](const Event &) {});
      },
      "could not create subscription", reason);
  expect_rcl_error(
      [&] {
        node_->create_service<Query>(
            "deep_srv",
            [](const std::shared_ptr<Query::Request>, std::shared_ptr<Query::Response>) {},
            service_qos);
      },
      "could not create service", reason);
  expect_rcl_error(
      [&] { node_->create_client<Query>("deep_srv", service_qos); }, "could not create client",
      reason);

  // A failed creation leaves nothing behind: the same names still work.
  auto publisher = node_->create_publisher<Event>("deep", 10);
  auto service = node_->create_service<Query>(
      "deep_srv", [](const std::shared_ptr<Query::Request>, std::shared_ptr<Query::Response>) {});
  auto client = node_->create_client<Query>("deep_srv");
  EXPECT_TRUE(client->wait_for_service(5s));
}

TEST_F(ErrorsTest, TimerOfAShutDownContextThrowsRclError)
{
  rclcpp::shutdown();
  try {
    node_->create_wall_timer(10ms, [] {});
    ADD_FAILURE() << "no exception";
  } catch (const rclcpp::exceptions::RCLError & error) {
    EXPECT_EQ(101, error.ret);  // RCL_RET_NOT_INIT
    EXPECT_EQ(0, std::string(error.what()).rfind("Couldn't initialize rcl timer handle: ", 0))
        << error.what();
  }
}

TEST(ThrowFromRclError, PicksTheExceptionByReturnCode)
{
  const client_layer::ErrorState state{"boom", "here.cpp", 7};
  using rclcpp::exceptions::throw_from_rcl_error;
  EXPECT_THROW(throw_from_rcl_error(0, "p", &state), std::invalid_argument);
  EXPECT_THROW(throw_from_rcl_error(1, "p", nullptr), std::runtime_error);
  EXPECT_THROW(throw_from_rcl_error(10, "p", &state), rclcpp::exceptions::RCLBadAlloc);
  EXPECT_THROW(throw_from_rcl_error(11, "p", &state), rclcpp::exceptions::RCLInvalidArgument);
  EXPECT_THROW(throw_from_rcl_error(1003, "p", &state), rclcpp::exceptions::RCLInvalidROSArgsError);
  try {
    throw_from_rcl_error(11, "p", &state);
  } catch (const std::invalid_argument & error) {
    EXPECT_STREQ("p: boom, at here.cpp:7", error.what());
  }
  try {
    throw_from_rcl_error(2, "", &state);
  } catch (const rclcpp::exceptions::RCLError & error) {
    EXPECT_STREQ("boom, at here.cpp:7", error.what());
    EXPECT_EQ(2, error.ret);
  }
}

}  // namespace
