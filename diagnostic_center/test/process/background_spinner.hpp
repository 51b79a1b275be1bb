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

// An executor spinning one node on a thread of its own, for test and
// benchmark programs that wait on the main thread for what their callbacks
// see. Stops and joins the thread when it goes away.
#ifndef DIAGNOSTIC_CENTER__TEST__PROCESS__BACKGROUND_SPINNER_HPP_
#define DIAGNOSTIC_CENTER__TEST__PROCESS__BACKGROUND_SPINNER_HPP_

#include <future>
#include <thread>

#include "rclcpp/rclcpp.hpp"

namespace diagnostic_center_test {

class BackgroundSpinner
{
public:
  // Adds `node` to a single-threaded executor of its own and spins it at
  // once; the executor keeps the node alive until this object goes away.
  // Throws what add_node throws (a node already added elsewhere).
  explicit BackgroundSpinner(const rclcpp::Node::SharedPtr & node);
  // Cancels the spin, repeating the cancel until spin() has returned (one
  // sent before spin() began would be lost), and joins the thread.
  ~BackgroundSpinner();
  BackgroundSpinner(const BackgroundSpinner &) = delete;
  BackgroundSpinner & operator=(const BackgroundSpinner &) = delete;

private:
  rclcpp::executors::SingleThreadedExecutor executor_;
  std::future<void> spin_ended_;
  std::thread thread_;
};

}  // namespace diagnostic_center_test

#endif  // DIAGNOSTIC_CENTER__TEST__PROCESS__BACKGROUND_SPINNER_HPP_
