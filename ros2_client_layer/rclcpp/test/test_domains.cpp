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

// Several contexts in one process, each on a domain of its own (as a tool
// watching robots on several domains has them): each context's nodes talk
// and see the graph of their own domain only, and one context's shutdown
// leaves the others running. Runs on ROS_DOMAIN_ID and the next domain.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "client_layer_test_interfaces/msg/event.hpp"
#include "layer_test_support.hpp"
#include "rclcpp/rclcpp.hpp"

using client_layer_test_interfaces::msg::Event;
using layer_test::wait_until;

namespace {

constexpr char kTopic[] = "/domain_probe";

// A context on `domain`, a node in it and an executor spinning it.
struct DomainSide
{
  explicit DomainSide(size_t domain)
  {
    context = std::make_shared<rclcpp::Context>();
    rclcpp::InitOptions options;
    options.set_domain_id(domain);
    context->init(0, nullptr, options);
    node = std::make_shared<rclcpp::Node>(
        "domains_" + std::to_string(domain), "/", rclcpp::NodeOptions().context(context));
    subscription = node->create_subscription<Event>(
        kTopic, rclcpp::QoS(10), [this](Event::ConstSharedPtr) { ++received; });
    rclcpp::ExecutorOptions executor_options;
    executor_options.context = context;
    executor = std::make_unique<rclcpp::executors::SingleThreadedExecutor>(executor_options);
    executor->add_node(node);
    thread = std::thread([this] { executor->spin(); });
  }

  ~DomainSide()
  {
    context->shutdown("test done");  // ends the spin
    thread.join();
  }

  rclcpp::Context::SharedPtr context;
  rclcpp::Node::SharedPtr node;
  rclcpp::Subscription<Event>::SharedPtr subscription;
  std::unique_ptr<rclcpp::executors::SingleThreadedExecutor> executor;
  std::thread thread;
  std::atomic<int> received{0};
};

size_t domain_from_environment()
{
  const char * text = std::getenv("ROS_DOMAIN_ID");
  return text != nullptr && *text != '\0' ? std::stoul(text) : 0;
}

}  // namespace

TEST(DomainsTest, ContextsOnTwoDomainsKeepToTheirOwn)
{
  const size_t domain = domain_from_environment();
  DomainSide a(domain);
  DomainSide b(domain + 1);
  EXPECT_EQ(a.context->get_domain_id(), domain);
  EXPECT_EQ(b.context->get_domain_id(), domain + 1);

  auto publisher = a.node->create_publisher<Event>(kTopic, rclcpp::QoS(10));
  ASSERT_TRUE(wait_until([&] { return publisher->get_subscription_count() == 1; }));
  EXPECT_EQ(a.node->count_publishers(kTopic), 1u);
  EXPECT_EQ(b.node->count_publishers(kTopic), 0u);  // b's own subscription is there, no writer

  ASSERT_TRUE(wait_until([&] {
    publisher->publish(Event());
    return a.received > 0;
  }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(b.received, 0);

  // One domain's end is not the other's.
  a.context->shutdown("a done");
  EXPECT_TRUE(b.context->is_valid());
  auto b_publisher = b.node->create_publisher<Event>(kTopic, rclcpp::QoS(10));
  ASSERT_TRUE(wait_until([&] {
    b_publisher->publish(Event());
    return b.received > 0;
  }));
}
