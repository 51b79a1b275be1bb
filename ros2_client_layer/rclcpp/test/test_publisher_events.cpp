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

// The endpoints' event callbacks: a publisher warns of a subscription that
// requests incompatible QoS, a subscription of a publisher that offers it,
// each in its own callback group.
#include <gtest/gtest.h>

#include <algorithm>
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

class PublisherEventsTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    rclcpp::init(0, nullptr);
    node_ = std::make_shared<rclcpp::Node>("talker");
    listener_ =
        std::make_shared<rclcpp::Node>("listener", rclcpp::NodeOptions().enable_rosout(false));
    rosout_ = listener_->create_subscription<Log>(
        "/rosout", rclcpp::QoS(100).reliable().transient_local(), [this](const Log & line) {
          std::lock_guard<std::mutex> lock(mutex_);
          lines_.push_back(line.name + ": " + line.msg);
        });
    executor_.add_node(listener_);
  }

  void TearDown() override
  {
    node_.reset();
    listener_.reset();
    rclcpp::shutdown();
  }

  // Spins until `line` was logged to /rosout (10 s at most).
  bool logged(const std::string & line)
  {
    return layer_test::wait_until([&] {
      executor_.spin_some(50ms);
      std::lock_guard<std::mutex> lock(mutex_);
      return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
    });
  }

  rclcpp::Node::SharedPtr node_;
  rclcpp::Node::SharedPtr listener_;
  rclcpp::Subscription<Log>::SharedPtr rosout_;
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

TEST_F(PublisherEventsTest, IncompatibleSubscriptionIsReportedInThePublishersGroup)
{
  // Only this group of the talker is spun: the warning must run in it.
  auto group = node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, false);
  executor_.add_callback_group(group, node_->get_node_base_interface());
  rclcpp::PublisherOptions options;
  options.callback_group = group;
  auto publisher = node_->create_publisher<Log>("watched", rclcpp::QoS(1), options);
  auto volatile_only = node_->create_publisher<Log>("other", rclcpp::QoS(1));

  auto durable = listener_->create_subscription<Log>(
      "watched", rclcpp::QoS(1).transient_local(), [](const Log &) {});
  EXPECT_TRUE(logged(
      "talker: New subscription discovered on topic '/watched', requesting incompatible QoS. "
      "No messages will be sent to it. Last incompatible policy: DURABILITY_QOS_POLICY"));

  // A publisher in the default group, not spun so far, reports once it is.
  auto durable_other = listener_->create_subscription<Log>(
      "other", rclcpp::QoS(1).transient_local(), [](const Log &) {});
  executor_.add_node(node_);
  EXPECT_TRUE(
      logged("talker: New subscription discovered on topic '/other', requesting incompatible QoS. "
             "No messages will be sent to it. Last incompatible policy: DURABILITY_QOS_POLICY"));
}

TEST_F(PublisherEventsTest, IncompatiblePublisherIsReportedInTheSubscriptionsGroup)
{
  auto group = node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, false);
  executor_.add_callback_group(group, node_->get_node_base_interface());
  rclcpp::SubscriptionOptions options;
  options.callback_group = group;
  auto durable = node_->create_subscription<Log>(
      "watched", rclcpp::QoS(1).transient_local(), [](const Log &) {}, options);

  auto volatile_only = listener_->create_publisher<Log>("watched", rclcpp::QoS(1));
  EXPECT_TRUE(
      logged("talker: New publisher discovered on topic '/watched', offering incompatible QoS. "
             "No messages will be sent to it. Last incompatible policy: DURABILITY_QOS_POLICY"));
}

TEST_F(PublisherEventsTest, GroupOfAnotherNodeIsRefused)
{
  rclcpp::PublisherOptions options;
  options.callback_group = listener_->create_callback_group(rclcpp::CallbackGroupType::Reentrant);
  EXPECT_EQ(
      layer_test::what_of<std::runtime_error>(
          [&] { node_->create_publisher<Log>("watched", rclcpp::QoS(1), options); }),
      "Cannot create publisher, callback group not in node.");
}

}  // namespace
