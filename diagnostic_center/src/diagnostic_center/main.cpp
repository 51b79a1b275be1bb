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

// Process entry of the diagnosis centre: one node on a 4-thread executor.
#include <cstdlib>
#include <exception>
#include <functional>
#include <iostream>
#include <memory>

#include "diagnostic_center/contract/names.hpp"
#include "diagnostic_center/diagnostic_center.hpp"
#include "diagnostic_center/termination.hpp"
#include "rclcpp/rclcpp.hpp"

namespace {

using diagnostic_center::DiagnosticCenter;

constexpr std::size_t kExecutorThreads = 4;

[[noreturn]] void FailStartUp()
{
  std::cout << "diagnostic center init failed" << std::endl;
  std::cerr << std::flush;
  std::exit(-1);
}

}  // namespace

int main(int argc, char ** argv)
{
  std::shared_ptr<DiagnosticCenter> node;
  rclcpp::executors::MultiThreadedExecutor::SharedPtr executor;
  try {
    rclcpp::init(argc, argv);
    node = DiagnosticCenter::GetInstance();
    executor = std::make_shared<rclcpp::executors::MultiThreadedExecutor>(
        rclcpp::ExecutorOptions(), kExecutorThreads, true);
    executor->add_node(node->get_node_base_interface(), true);
  } catch (const std::exception & error) {
    RCLCPP_ERROR(rclcpp::get_logger(diagnostic_center::contract::kNodeName), "%s", error.what());
    FailStartUp();
  }

  if (!node->Init()) {
    FailStartUp();
  }
  diagnostic_center::InstallTerminationHandling();

  rclcpp::Service<diagnostic_center::DiagnosticSrv>::SharedPtr service;
  try {
    service = node->create_service<diagnostic_center::DiagnosticSrv>(
        diagnostic_center::contract::kQueryService,
        std::bind(
            &DiagnosticCenter::DiagSrvCb, node, std::placeholders::_1, std::placeholders::_2));
  } catch (const std::exception & error) {
    RCLCPP_ERROR(node->get_logger(), "%s", error.what());
    FailStartUp();
  }

  executor->spin();
  rclcpp::shutdown();
  service.reset();
  node.reset();
  executor.reset();
  return 0;
}
