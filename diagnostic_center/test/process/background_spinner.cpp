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

#include "background_spinner.hpp"

#include <chrono>

namespace diagnostic_center_test {

BackgroundSpinner::BackgroundSpinner(const rclcpp::Node::SharedPtr & node)
{
  executor_.add_node(node);
  std::promise<void> spin_ended;
  spin_ended_ = spin_ended.get_future();
  thread_ = std::thread([this, ended = std::move(spin_ended)]() mutable {
    executor_.spin();
    ended.set_value();
  });
}

BackgroundSpinner::~BackgroundSpinner()
{
  // A cancel that comes before spin() has begun is lost, so repeat it.
  do {
    executor_.cancel();
  } while (spin_ended_.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready);
  thread_.join();
}

}  // namespace diagnostic_center_test
