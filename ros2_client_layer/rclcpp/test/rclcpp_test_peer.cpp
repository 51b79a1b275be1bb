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

// A second process for the tests: what it does is chosen by its first argument.
//   spin:  a node with a timer; prints "spinning", spins until the context
//          shuts down (a signal), prints "spin returned".
//   serve: echoes "ping" (Event) to "pong", and serves "peer_srv"
//          (Query) answering data = the bytes 0x00 0xFF and the decimal
//          cmd; prints "ready" and spins until a signal.
//   leave: keeps a node with a publisher in a function static, prints
//          "ready" and returns from main without rclcpp::shutdown().
#include <cstdio>
#include <exception>
#include <string>

#include "client_layer_test_interfaces/msg/event.hpp"
#include "client_layer_test_interfaces/srv/query.hpp"
#include "rclcpp/rclcpp.hpp"

namespace {

using client_layer_test_interfaces::msg::Event;
using client_layer_test_interfaces::srv::Query;

void say(const char * line)
{
  std::printf("%s\n", line);
  std::fflush(stdout);
}

int spin_until_signal(int argc, char ** argv)
{
  rclcpp::init(argc, argv);
  auto node = std::make_shared<rclcpp::Node>("peer");
  int ticks = 0;
  auto timer = node->create_wall_timer(std::chrono::milliseconds(5), [&ticks] { ++ticks; });
  rclcpp::executors::MultiThreadedExecutor executor(rclcpp::ExecutorOptions(), 2);
  executor.add_node(node);
  say("spinning");
  executor.spin();
  say("spin returned");
  rclcpp::shutdown();
  return ticks > 0 ? 0 : 3;
}

int serve(int argc, char ** argv)
{
  rclcpp::init(argc, argv);
  auto node = std::make_shared<rclcpp::Node>("peer");
  auto pong = node->create_publisher<Event>("pong", 10);
  auto ping = node->create_subscription<Event>(
      "ping", 10, [&pong](const Event & event) { pong->publish(event); });
  auto service = node->create_service<Query>(
      "peer_srv",
      [](const std::shared_ptr<Query::Request> request, std::shared_ptr<Query::Response> response) {
        response->result = 0;
        response->data = std::string("\x00\xff", 2) + std::to_string(request->cmd);
      });
  say("ready");
  rclcpp::spin(node);
  rclcpp::shutdown();
  return 0;
}

// As a singleton node would: exit() destroys the node, then the default
// context, which shuts itself down.
int leave_without_shutdown(int argc, char ** argv)
{
  rclcpp::init(argc, argv);
  static const auto node = std::make_shared<rclcpp::Node>("peer");
  static const auto publisher = node->create_publisher<Event>("leave", 10);
  say("ready");
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  const std::string mode = argc > 1 ? argv[1] : "";
  // A test reads the reason from standard error rather than from a core dump.
  try {
    if (mode == "spin") {
      return spin_until_signal(argc, argv);
    }
    if (mode == "serve") {
      return serve(argc, argv);
    }
    if (mode == "leave") {
      return leave_without_shutdown(argc, argv);
    }
  } catch (const std::exception & error) {
    std::fprintf(stderr, "rclcpp_test_peer %s: %s\n", mode.c_str(), error.what());
    return 1;
  }
  std::fprintf(stderr, "usage: %s spin|serve|leave [--ros-args ...]\n", argv[0]);
  return 2;
}
