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

// A test fixture with an initialised context and one node, spun on demand.
// Each test gets a fresh default context (init in SetUp, shutdown in
// TearDown), so a node, timer or subscription cannot leak into the next test.
#ifndef NODE_FIXTURE_HPP_
#define NODE_FIXTURE_HPP_

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "rclcpp/rclcpp.hpp"

class NodeFixture : public ::testing::Test
{
protected:
  explicit NodeFixture(std::string node_name) : node_name_(std::move(node_name)) {}

  void SetUp() override
  {
    rclcpp::init(0, nullptr);
    node_ = std::make_shared<rclcpp::Node>(node_name_);
  }

  void TearDown() override
  {
    node_.reset();
    rclcpp::shutdown();
  }

  // Spins the node on the calling thread in steps of at most 10 ms until `done`
  // holds (true) or the timeout passes (false). The executor is the call's
  // own: no other thread may spin node_ meanwhile.
  bool spin_until(
      const std::function<bool()> & done, std::chrono::seconds timeout = std::chrono::seconds(10))
  {
    rclcpp::executors::SingleThreadedExecutor executor;
    executor.add_node(node_);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) {
        return false;
      }
      executor.spin_once(std::chrono::milliseconds(10));
    }
    return true;
  }

  rclcpp::Node::SharedPtr node_;

private:
  std::string node_name_;
};

#endif  // NODE_FIXTURE_HPP_
