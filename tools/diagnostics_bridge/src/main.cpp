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

// Process entry of the diagnostics bridge: one node, one thread.
#include <cstdlib>
#include <exception>
#include <memory>

#include "diagnostics_bridge/diagnostics_bridge.hpp"
#include "rclcpp/rclcpp.hpp"

int main(int argc, char ** argv)
{
  std::shared_ptr<diagnostics_bridge::DiagnosticsBridge> node;
  try {
    rclcpp::init(argc, argv);
    node = std::make_shared<diagnostics_bridge::DiagnosticsBridge>();
  } catch (const std::exception & error) {
    RCLCPP_FATAL(rclcpp::get_logger(diagnostics_bridge::kNodeName), "%s", error.what());
    rclcpp::shutdown();
    return EXIT_FAILURE;
  }
  rclcpp::spin(node);
  rclcpp::shutdown();
  return EXIT_SUCCESS;
}
