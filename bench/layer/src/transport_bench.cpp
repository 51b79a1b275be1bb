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

// The transport alone (raw readers and writers, no rclcpp), to tell the
// transport's share from the rest of the layer's:
//   transport_bench pong                        echoes bench/ping to bench/pong
//   transport_bench ping --rate=1000 --size=64 --seconds=10
//   transport_bench sub --seconds=12            counts bench/throughput
//   transport_bench pub --size=64 --seconds=10  writes as fast as it can
//   transport_bench config                      prints the layer's Cyclone config
// Domain: ROS_DOMAIN_ID. Samples are laid out like bench Payload messages.
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "bench_support.hpp"
#include "client_layer/rmw/transport.hpp"
#include "rmw/qos_profiles.h"

namespace {

using client_layer::rmw::Participant;
using client_layer::rmw::RawReader;
using client_layer::rmw::RawWriter;
using layer_bench::monotonic_ns;

constexpr const char * kType = "layer_bench_msgs::msg::dds_::Payload_";

// A wake-up flag the reader's data callback sets.
class Signal
{
public:
  void notify()
  {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pending_ = true;
    }
    cv_.notify_one();
  }
  // False on timeout.
  bool wait(std::chrono::milliseconds timeout)
  {
    std::unique_lock<std::mutex> lock(mutex_);
    const bool woken = cv_.wait_for(lock, timeout, [this] { return pending_; });
    pending_ = false;
    return woken;
  }

private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool pending_ = false;
};

// encapsulation | uint32 seq | pad | int64 stamp | uint32 length | bytes;
// `size` counts all but the encapsulation header, as ddsperf does.
std::vector<std::uint8_t> make_sample(std::uint32_t seq, std::int64_t stamp, std::size_t size)
{
  size = std::max<std::size_t>(size, 20) - 20;
  std::vector<std::uint8_t> sample(24 + size, 0xA5);
  const std::uint8_t header[4] = {0x00, 0x01, 0x00, 0x00};
  std::memcpy(sample.data(), header, 4);
  std::memcpy(sample.data() + 4, &seq, 4);
  std::memset(sample.data() + 8, 0, 4);
  std::memcpy(sample.data() + 12, &stamp, 8);
  const auto length = static_cast<std::uint32_t>(size);
  std::memcpy(sample.data() + 20, &length, 4);
  return sample;
}

std::uint32_t seq_of(const std::vector<std::uint8_t> & sample)
{
  std::uint32_t seq = 0;
  std::memcpy(&seq, sample.data() + 4, 4);
  return seq;
}

std::int64_t stamp_of(const std::vector<std::uint8_t> & sample)
{
  std::int64_t stamp = 0;
  std::memcpy(&stamp, sample.data() + 12, 8);
  return stamp;
}

rmw_qos_profile_t keep_last(std::size_t depth)
{
  rmw_qos_profile_t qos = rmw_qos_profile_default;
  qos.depth = depth;
  return qos;
}

rmw_qos_profile_t keep_all()
{
  rmw_qos_profile_t qos = rmw_qos_profile_default;
  qos.history = RMW_QOS_POLICY_HISTORY_KEEP_ALL;
  return qos;
}

std::uint32_t domain_id()
{
  const char * value = std::getenv("ROS_DOMAIN_ID");
  return value != nullptr ? static_cast<std::uint32_t>(std::stoul(value)) : 0;
}

bool wait_for_match(const RawWriter & writer, double seconds)
{
  const auto deadline = monotonic_ns() + static_cast<std::int64_t>(seconds * 1e9);
  while (writer.matched_count() == 0) {
    if (monotonic_ns() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

int pong(double seconds)
{
  auto participant = Participant::create(domain_id());
  Signal signal;
  RawWriter writer(participant, "rt/bench/pong", kType, keep_last(1));
  RawReader reader(participant, "rt/bench/ping", kType, keep_last(1), [&] { signal.notify(); });
  const auto end = monotonic_ns() + static_cast<std::int64_t>(seconds * 1e9);
  std::vector<std::uint8_t> sample;
  while (monotonic_ns() < end) {
    signal.wait(std::chrono::milliseconds(100));
    while (reader.take(sample)) {
      writer.write(sample.data(), sample.size());
    }
  }
  return 0;
}

int ping(double rate, std::size_t size, double seconds)
{
  auto participant = Participant::create(domain_id());
  Signal signal;
  RawWriter writer(participant, "rt/bench/ping", kType, keep_last(1));
  RawReader reader(participant, "rt/bench/pong", kType, keep_last(1), [&] { signal.notify(); });
  if (!wait_for_match(writer, 10.0)) {
    std::printf("transport ping: no pong\n");
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));

  std::vector<double> rtt_us;
  std::atomic<bool> running{true};
  const std::int64_t warmup_end = monotonic_ns() + 1000000000LL;
  std::thread receiver([&] {
    std::vector<std::uint8_t> sample;
    while (running) {
      signal.wait(std::chrono::milliseconds(100));
      while (reader.take(sample)) {
        const std::int64_t now = monotonic_ns();
        if (stamp_of(sample) >= warmup_end) {
          rtt_us.push_back(static_cast<double>(now - stamp_of(sample)) / 1000.0);
        }
      }
    }
  });
  const auto period = std::chrono::nanoseconds(static_cast<std::int64_t>(1e9 / rate));
  auto next = std::chrono::steady_clock::now();
  const auto end =
      next + std::chrono::milliseconds(static_cast<std::int64_t>((seconds + 1) * 1000));
  std::uint32_t seq = 0;
  while (next < end) {
    const auto sample = make_sample(seq++, monotonic_ns(), size);
    writer.write(sample.data(), sample.size());
    next += period;
    std::this_thread::sleep_until(next);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  running = false;
  receiver.join();
  std::printf(
      "transport ping/pong: size %zu rate %.0f Hz: rtt p50 %.1f us p99 %.1f us (%zu round trips)\n",
      size, rate, layer_bench::quantile(rtt_us, 0.5), layer_bench::quantile(rtt_us, 0.99),
      rtt_us.size());
  return 0;
}

int sub(double seconds)
{
  auto participant = Participant::create(domain_id());
  Signal signal;
  RawReader reader(participant, "rt/bench/throughput", kType, keep_all(), [&] { signal.notify(); });
  std::uint64_t received = 0, lost = 0;
  std::uint32_t expected = 0;
  std::int64_t first = 0, last = 0;
  const auto end = monotonic_ns() + static_cast<std::int64_t>(seconds * 1e9);
  std::vector<std::uint8_t> sample;
  while (monotonic_ns() < end) {
    signal.wait(std::chrono::milliseconds(100));
    while (reader.take(sample)) {
      const std::uint32_t seq = seq_of(sample);
      if (received == 0) {
        first = monotonic_ns();
      } else if (seq != expected) {
        lost += seq - expected;
      }
      expected = seq + 1;
      received++;
      last = monotonic_ns();
    }
  }
  const double active = static_cast<double>(last - first) * 1e-9;
  std::printf(
      "transport throughput: %llu samples in %.2f s = %.1f kS/s, lost %llu\n",
      static_cast<unsigned long long>(received), active,
      active > 0 ? static_cast<double>(received) / active / 1000.0 : 0.0,
      static_cast<unsigned long long>(lost));
  return 0;
}

int pub(std::size_t size, double seconds)
{
  auto participant = Participant::create(domain_id());
  RawWriter writer(participant, "rt/bench/throughput", kType, keep_all());
  if (!wait_for_match(writer, 10.0)) {
    std::printf("transport pub: no subscriber\n");
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto end = monotonic_ns() + static_cast<std::int64_t>(seconds * 1e9);
  std::uint32_t seq = 0;
  auto sample = make_sample(0, 0, size);
  while (monotonic_ns() < end) {
    std::memcpy(sample.data() + 4, &seq, 4);
    writer.write(sample.data(), sample.size());
    seq++;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // let the reader drain
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  const std::string mode = argc > 1 ? argv[1] : "";
  const double seconds = layer_bench::option_number(argc, argv, "seconds", 10);
  const auto size = static_cast<std::size_t>(layer_bench::option_number(argc, argv, "size", 64));
  if (mode == "config") {
    std::printf("%s\n", client_layer::rmw::loopback_domain_configuration().c_str());
    return 0;
  } else if (mode == "pong") {
    return pong(seconds);
  } else if (mode == "ping") {
    return ping(layer_bench::option_number(argc, argv, "rate", 1000), size, seconds);
  } else if (mode == "sub") {
    return sub(seconds);
  } else if (mode == "pub") {
    return pub(size, seconds);
  }
  std::fprintf(
      stderr, "usage: %s ping|pong|pub|sub [--size=N] [--rate=HZ] [--seconds=S]\n", argv[0]);
  return 2;
}
