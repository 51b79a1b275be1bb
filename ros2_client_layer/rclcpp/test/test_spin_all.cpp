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

// Executor::spin_all: runs work until none is left or the time limit passed.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>

#include "layer_test_support.hpp"
#include "node_fixture.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;

namespace {

class SpinAllTest : public NodeFixture
{
protected:
  SpinAllTest() : NodeFixture("spin_all_test") {}

  void SetUp() override
  {
    NodeFixture::SetUp();
    executor_.add_node(node_);
  }

  // A timer that is always ready until it ran `runs` times (0: never stops).
  void add_busy_timer(int runs)
  {
    timer_ = node_->create_wall_timer(0ns, [this, runs] {
      if (++runs_ == runs) {
        timer_->cancel();
      }
    });
  }

  rclcpp::executors::SingleThreadedExecutor executor_;
  rclcpp::TimerBase::SharedPtr timer_;
  int runs_ = 0;
};

TEST_F(SpinAllTest, ZeroMaxDurationRunsUntilNothingIsReady)
{
  add_busy_timer(50);
  executor_.spin_all(0ns);
  EXPECT_EQ(runs_, 50);
  executor_.spin_all(0ns);  // nothing is ready: returns at once
  EXPECT_EQ(runs_, 50);
}

TEST_F(SpinAllTest, StopsOnceMaxDurationPassed)
{
  add_busy_timer(0);
  executor_.spin_all(20ms);  // returning at all is the point
  EXPECT_GT(runs_, 1);
}

TEST_F(SpinAllTest, NegativeMaxDurationIsRefusedAndLeavesTheExecutorUsable)
{
  EXPECT_EQ(
      layer_test::what_of<std::invalid_argument>([&] { executor_.spin_all(-1ns); }),
      "max_duration must be greater than or equal to 0");
  add_busy_timer(3);
  executor_.spin_all(0ns);
  EXPECT_EQ(runs_, 3);
}

}  // namespace
