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

// Idle cost of a node: 13 wall timers at 10 ms and 13 subscriptions (on
// topics nobody publishes) on a 4-thread MultiThreadedExecutor. Prints the
// process's CPU time (user + system, middleware threads included) per second
// of wall time.
//   layer_idle_cpu [--seconds=10]
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.hpp"
#include "layer_bench_msgs/msg/payload.hpp"
#include "rclcpp/rclcpp.hpp"

int main(int argc, char ** argv)
{
  const double seconds = layer_bench::option_number(argc, argv, "seconds", 10);
  rclcpp::init(argc, argv);
  auto node = std::make_shared<rclcpp::Node>("idle_bench");

  constexpr int kTimers = 13;
  constexpr int kSubscriptions = 13;
  std::atomic<std::uint64_t> ticks{0};
  std::vector<rclcpp::TimerBase::SharedPtr> timers;
  for (int i = 0; i < kTimers; i++) {
    timers.push_back(node->create_wall_timer(std::chrono::milliseconds(10), [&ticks] { ++ticks; }));
  }
  std::vector<rclcpp::Subscription<layer_bench_msgs::msg::Payload>::SharedPtr> subscriptions;
  for (int i = 0; i < kSubscriptions; i++) {
    subscriptions.push_back(node->create_subscription<layer_bench_msgs::msg::Payload>(
        "idle_topic_" + std::to_string(i), 10,
        [](layer_bench_msgs::msg::Payload::ConstSharedPtr) {}));
  }

  rclcpp::executors::MultiThreadedExecutor executor(rclcpp::ExecutorOptions(), 4);
  executor.add_node(node);
  std::thread spinner([&executor] { executor.spin(); });

  std::this_thread::sleep_for(std::chrono::seconds(1));  // discovery and start-up settle
  const std::uint64_t ticks_before = ticks;
  const double cpu_before = layer_bench::process_cpu_seconds();
  const std::int64_t wall_before = layer_bench::monotonic_ns();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const double cpu = layer_bench::process_cpu_seconds() - cpu_before;
  const double wall = static_cast<double>(layer_bench::monotonic_ns() - wall_before) * 1e-9;
  const std::uint64_t fired = ticks - ticks_before;

  rclcpp::shutdown();
  spinner.join();
  std::printf(
      "layer idle: %d timers @10ms + %d subscriptions, 4-thread executor: "
      "CPU %.2f%% of one core over %.1f s (timer callbacks %llu, expected %.0f)\n",
      kTimers, kSubscriptions, 100.0 * cpu / wall, wall, static_cast<unsigned long long>(fired),
      kTimers * 100.0 * wall);
  return 0;
}
