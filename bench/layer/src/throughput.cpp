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

// Small-message throughput through the layer across two processes, reliable
// keep-all so that nothing is lost: pub publishes as fast as publish()
// returns, sub counts what arrives and checks the sequence numbers.
//   layer_throughput sub [--seconds=12]
//   layer_throughput pub [--size=64] [--seconds=10]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "bench_support.hpp"
#include "layer_bench_msgs/msg/payload.hpp"
#include "rclcpp/rclcpp.hpp"

namespace {

using layer_bench_msgs::msg::Payload;

rclcpp::QoS lossless_qos() { return rclcpp::QoS(rclcpp::KeepAll()).reliable(); }

int sub(double seconds)
{
  auto node = std::make_shared<rclcpp::Node>("throughput_sub");
  std::uint64_t received = 0, lost = 0;
  std::uint32_t expected = 0;
  std::int64_t first = 0, last = 0;
  auto subscription = node->create_subscription<Payload>(
      "bench/throughput", lossless_qos(), [&](Payload::ConstSharedPtr message) {
        const std::int64_t now = layer_bench::monotonic_ns();
        if (received == 0) {
          first = now;
        } else if (message->seq != expected) {
          lost += message->seq - expected;
        }
        expected = message->seq + 1;
        received++;
        last = now;
      });
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  std::thread spinner([&executor] { executor.spin(); });
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  rclcpp::shutdown();
  spinner.join();
  const double active = static_cast<double>(last - first) * 1e-9;
  std::printf(
      "layer throughput: %llu samples in %.2f s = %.1f kS/s, lost %llu\n",
      static_cast<unsigned long long>(received), active,
      active > 0 ? static_cast<double>(received) / active / 1000.0 : 0.0,
      static_cast<unsigned long long>(lost));
  return 0;
}

int pub(std::size_t size, double seconds)
{
  auto node = std::make_shared<rclcpp::Node>("throughput_pub");
  auto publisher = node->create_publisher<Payload>("bench/throughput", lossless_qos());
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (publisher->get_subscription_count() == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (publisher->get_subscription_count() == 0) {
    std::printf("layer pub: no subscriber\n");
    rclcpp::shutdown();
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Payload message;
  message.data.assign(size > 20 ? size - 20 : 0, 0xA5);  // as latency.cpp counts size
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  std::uint32_t seq = 0;
  while (std::chrono::steady_clock::now() < end) {
    message.seq = seq++;
    publisher->publish(message);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // let the reader drain
  rclcpp::shutdown();
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  const std::string mode = argc > 1 ? argv[1] : "";
  const double seconds = layer_bench::option_number(argc, argv, "seconds", 10);
  rclcpp::init(argc, argv);
  if (mode == "sub") {
    return sub(seconds);
  } else if (mode == "pub") {
    return pub(
        static_cast<std::size_t>(layer_bench::option_number(argc, argv, "size", 64)), seconds);
  }
  std::fprintf(stderr, "usage: %s pub|sub [--size=N] [--seconds=S]\n", argv[0]);
  rclcpp::shutdown();
  return 2;
}
