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

// Round trip through the layer across two processes: ping publishes a
// Payload at a fixed rate, pong's subscription callback publishes it back,
// ping's subscription callback records the round trip.
//   layer_latency pong [--seconds=S]
//   layer_latency ping [--rate=1000] [--size=64] [--seconds=10]
// --size is the serialized sample without its encapsulation header, as
// ddsperf counts its "size" (at least 20).
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.hpp"
#include "layer_bench_msgs/msg/payload.hpp"
#include "rclcpp/rclcpp.hpp"

namespace {

using layer_bench_msgs::msg::Payload;

// ddsperf's ping/pong uses reliable keep-last 1 as well.
rclcpp::QoS pingpong_qos() { return rclcpp::QoS(rclcpp::KeepLast(1)).reliable(); }

// seq (4) + alignment (4) + stamp (8) + length (4): the octets fill the rest.
std::size_t payload_bytes(std::size_t size) { return size > 20 ? size - 20 : 0; }

int pong(double seconds)
{
  auto node = std::make_shared<rclcpp::Node>("pong");
  auto publisher = node->create_publisher<Payload>("bench/pong", pingpong_qos());
  auto subscription = node->create_subscription<Payload>(
      "bench/ping", pingpong_qos(),
      [publisher](Payload::UniquePtr message) { publisher->publish(std::move(message)); });
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  std::thread spinner([&executor] { executor.spin(); });
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (rclcpp::ok() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  rclcpp::shutdown();
  spinner.join();
  return 0;
}

int ping(double rate, std::size_t size, double seconds)
{
  auto node = std::make_shared<rclcpp::Node>("ping");
  auto publisher = node->create_publisher<Payload>("bench/ping", pingpong_qos());
  std::vector<double> rtt_us;
  rtt_us.reserve(static_cast<std::size_t>(rate * (seconds + 2)));
  std::atomic<std::int64_t> measure_from{0};  // samples sent before this are warm-up
  std::uint32_t received = 0;
  auto subscription = node->create_subscription<Payload>(
      "bench/pong", pingpong_qos(), [&](Payload::ConstSharedPtr message) {
        const std::int64_t now = layer_bench::monotonic_ns();
        received++;
        const std::int64_t from = measure_from.load();
        if (from != 0 && message->stamp_ns >= from) {
          rtt_us.push_back(static_cast<double>(now - message->stamp_ns) / 1000.0);
        }
      });

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (publisher->get_subscription_count() == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (publisher->get_subscription_count() == 0) {
    std::printf("layer ping: no pong\n");
    rclcpp::shutdown();
    return 1;
  }

  Payload message;
  message.data.assign(payload_bytes(size), 0xA5);
  std::uint32_t sent = 0;
  auto timer =
      node->create_wall_timer(std::chrono::nanoseconds(static_cast<std::int64_t>(1e9 / rate)), [&] {
        message.seq = sent++;
        message.stamp_ns = layer_bench::monotonic_ns();
        publisher->publish(message);
      });

  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node);
  std::thread spinner([&executor] { executor.spin(); });
  std::this_thread::sleep_for(std::chrono::seconds(1));
  measure_from = layer_bench::monotonic_ns();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  timer->cancel();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  rclcpp::shutdown();
  spinner.join();

  std::printf(
      "layer ping/pong: size %zu rate %.0f Hz: rtt p50 %.1f us p99 %.1f us "
      "(%zu round trips measured, %u sent, %u returned)\n",
      size, rate, layer_bench::quantile(rtt_us, 0.5), layer_bench::quantile(rtt_us, 0.99),
      rtt_us.size(), sent, received);
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  const std::string mode = argc > 1 ? argv[1] : "";
  const double seconds = layer_bench::option_number(argc, argv, "seconds", 10);
  rclcpp::init(argc, argv);
  if (mode == "pong") {
    return pong(seconds);
  } else if (mode == "ping") {
    return ping(
        layer_bench::option_number(argc, argv, "rate", 1000),
        static_cast<std::size_t>(layer_bench::option_number(argc, argv, "size", 64)), seconds);
  }
  std::fprintf(stderr, "usage: %s ping|pong [--rate=HZ] [--size=N] [--seconds=S]\n", argv[0]);
  rclcpp::shutdown();
  return 2;
}
