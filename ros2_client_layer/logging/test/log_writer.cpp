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

// Writes known log lines so that tests can check the console output under a
// given environment. Usage: client_layer_log_writer basic|threads
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/logging.hpp"

namespace {

void write_basic()
{
  const rclcpp::Logger logger = rclcpp::get_logger("writer");
  RCLCPP_DEBUG(logger, "debug %d", 1);
  RCLCPP_INFO(logger, "hello %d", 42);
  RCLCPP_WARN(logger, "warn %s", "text");
  RCLCPP_ERROR(logger.get_child("child"), "error");
  RCLCPP_FATAL(logger, "fatal");
}

void write_from_threads()
{
  const std::string payload(200, 'x');
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &payload]() {
      const rclcpp::Logger logger = rclcpp::get_logger("thread" + std::to_string(t));
      for (int i = 0; i < 250; ++i) {
        RCLCPP_INFO(logger, "line %d %s end", i, payload.c_str());
      }
    });
  }
  // Level changes race with the level checks of the writers; INFO stays enabled either way.
  std::thread toggler([]() {
    rclcpp::Logger logger = rclcpp::get_logger("thread0");
    for (int i = 0; i < 500; ++i) {
      logger.set_level(i % 2 ? rclcpp::Logger::Level::Debug : rclcpp::Logger::Level::Info);
    }
  });
  for (auto & thread : threads) {
    thread.join();
  }
  toggler.join();
}

}  // namespace

int main(int argc, char ** argv)
{
  if (argc > 1 && std::strcmp(argv[1], "threads") == 0) {
    write_from_threads();
  } else {
    write_basic();
  }
  return 0;
}
