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

// /rosout: a node's log lines arrive as rcl_interfaces/msg/Log with their
// name, level, text and source location; other loggers' lines, disabled
// levels and nodes with rosout turned off publish nothing; late joiners get
// the history.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "layer_test_support.hpp"
#include "rcl_interfaces/msg/log.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;
using rcl_interfaces::msg::Log;

namespace {

rclcpp::QoS rosout_qos()
{
  return rclcpp::QoS(rclcpp::KeepLast(1000)).reliable().transient_local();
}

// Collects /rosout on a node of its own.
class RosoutListener
{
public:
  explicit RosoutListener(const rclcpp::QoS & qos = rosout_qos())
      : node_(std::make_shared<rclcpp::Node>(
            "rosout_listener", rclcpp::NodeOptions().enable_rosout(false)))
  {
    subscription_ = node_->create_subscription<Log>("/rosout", qos, [this](const Log & message) {
      std::lock_guard<std::mutex> lock(mutex_);
      messages_.push_back(message);
    });
    executor_.add_node(node_);
  }

  ~RosoutListener() { executor_.remove_node(node_); }

  // Everything received once a message with text `last` has arrived (or after 10 s).
  std::vector<Log> until(const std::string & last)
  {
    EXPECT_TRUE(layer_test::wait_until([&] {
      executor_.spin_some(100ms);
      std::lock_guard<std::mutex> lock(mutex_);
      return !messages_.empty() && messages_.back().msg == last;
    })) << "\""
        << last << "\" did not arrive";
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }

private:
  rclcpp::Node::SharedPtr node_;
  rclcpp::Subscription<Log>::SharedPtr subscription_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::mutex mutex_;
  std::vector<Log> messages_;
};

std::vector<std::string> texts(const std::vector<Log> & messages)
{
  std::vector<std::string> result;
  for (const auto & message : messages) {
    result.push_back(message.name + ": " + message.msg);
  }
  return result;
}

class RosoutTest : public ::testing::Test
{
protected:
  void TearDown() override { rclcpp::shutdown(); }
};

TEST_F(RosoutTest, NodeLoggerLinesArriveWithTheirSourceAndNothingElseDoes)
{
  rclcpp::init(0, nullptr);
  RosoutListener listener;
  auto talker = std::make_shared<rclcpp::Node>("talker", "/robot");
  auto muted = std::make_shared<rclcpp::Node>("muted", rclcpp::NodeOptions().enable_rosout(false));

  // clang-format off
  const uint32_t line = __LINE__; RCLCPP_WARN(talker->get_logger(), "hello %d", 42);
  // clang-format on
  RCLCPP_DEBUG(talker->get_logger(), "below the level");
  RCLCPP_INFO(rclcpp::get_logger("other"), "not a node's logger");
  // rcl in this release publishes only the node's own logger name, not its children.
  RCLCPP_INFO(talker->get_logger().get_child("child"), "a child logger");
  RCLCPP_INFO(muted->get_logger(), "rosout disabled");
  RCLCPP_ERROR_STREAM(talker->get_logger(), "last " << 1);

  const auto messages = listener.until("last 1");
  ASSERT_EQ(
      (std::vector<std::string>{"robot.talker: hello 42", "robot.talker: last 1"}),
      texts(messages));
  const Log & hello = messages[0];
  EXPECT_EQ(Log::WARN, hello.level);
  EXPECT_EQ(__FILE__, hello.file);
  EXPECT_EQ("TestBody", hello.function);
  EXPECT_EQ(line, hello.line);
  EXPECT_GT(rclcpp::Time(hello.stamp).nanoseconds(), 0);
  EXPECT_EQ(Log::ERROR, messages[1].level);

  // Transient local with a deep history: a late subscriber still gets both.
  RosoutListener late;
  EXPECT_EQ(texts(messages), texts(late.until("last 1")));
}

TEST_F(RosoutTest, DisableRosoutLogsArgumentTurnsItOffForEveryNode)
{
  const char * argv[] = {"prog", "--ros-args", "--disable-rosout-logs"};
  rclcpp::init(3, argv);
  RosoutListener listener;
  auto quiet = std::make_shared<rclcpp::Node>("quiet");
  auto marker = quiet->create_publisher<Log>("/rosout", rosout_qos());
  RCLCPP_ERROR(quiet->get_logger(), "must not arrive");
  // Samples of this process arrive as they are written: a /rosout publisher
  // of the node would have delivered its line before this marker.
  Log message;
  message.msg = "marker";
  marker->publish(message);
  EXPECT_EQ((std::vector<std::string>{": marker"}), texts(listener.until("marker")));
}

}  // namespace
