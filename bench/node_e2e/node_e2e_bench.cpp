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

// End-to-end benchmarks of the diagnostic_center process with its default
// periods, driven over DDS as a robot module would. They print figures and
// assert nothing.
//
//   node_e2e_bench idle [seconds]          CPU of the idle node, 100 configured faults
//   node_e2e_bench latency [samples] [seed]
//                                          module raise -> ExceptionHandle at a subscriber;
//                                          the pauses between raises are drawn from `seed`
//                                          (a fresh one, printed, when none is given)
//   node_e2e_bench throughput [seconds]    highest event rate over the twelve module
//                                          topics with every raise answered exactly once
//   node_e2e_bench flood [events] [rate]   1,000,000 events at 40,000/s (defaults)
//   node_e2e_bench soak [seconds] [rate]   600 s at 1,000 events/s (defaults), an RSS
//                                          line every minute
//
// Flood and soak print the events sent and received by the node (lost =
// sent - received, received counted in the node's INFO log after the run),
// handled raises against ExceptionHandle answers, the node's peak and plateau
// RSS and its CPU time (load_run.hpp).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "centre_process.hpp"
#include "diagnostic_center/contract/names.hpp"
#include "diagnostic_center_test/child_process.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"
#include "load_run.hpp"
#include "rclcpp/rclcpp.hpp"
#include "robot_probe.hpp"

namespace {

using namespace std::chrono_literals;
using diagnostic_center::contract::kModuleTopics;
using diagnostic_center_test::ChildProcess;
using diagnostic_center_test::RobotProbe;
using diagnostic_center_test::ScratchDir;
using node_e2e_bench::kConfiguredFaults;
using node_e2e_bench::kFirstFaultId;
using node_e2e_bench::PeakRssMiB;
using node_e2e_bench::ReadThreadsSchedule;
using node_e2e_bench::RunLoad;
using node_e2e_bench::Seconds;
using node_e2e_bench::StartCentre;
using node_e2e_bench::WaitForFirstStatusCheck;
using node_e2e_bench::WallStamp;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration)
{
  return std::chrono::duration<double, std::milli>(duration).count();
}

bool WaitUntilServing(ChildProcess & centre, RobotProbe * probe)
{
  if (probe != nullptr && !probe->WaitForCentre(30s)) {
    std::fprintf(stderr, "the centre never became reachable\n");
    return false;
  }
  return WaitForFirstStatusCheck(centre);
}

// What one wake-up per tick costs on this machine, the floor of any process
// that keeps 10 ms timers: this thread sleeps until each `period` mark for
// `window` and does nothing else. Returns its CPU time and wake-up count.
std::pair<double, int> WakeupFloor(std::chrono::nanoseconds period, double window)
{
  const auto thread_cpu = [] {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
  };
  const auto end = Clock::now() + std::chrono::duration<double>(window);
  const double before = thread_cpu();
  int wakeups = 0;
  for (auto next = Clock::now() + period; next < end; next += period, ++wakeups) {
    std::this_thread::sleep_until(next);
  }
  return {thread_cpu() - before, wakeups};
}

int Idle(double window_seconds)
{
  ScratchDir scratch("bench_idle");
  auto centre = StartCentre(scratch);
  if (!WaitUntilServing(*centre, nullptr)) {
    return 1;
  }
  std::this_thread::sleep_for(1s);  // past start-up work
  const auto before = ReadThreadsSchedule(centre->pid());
  const auto wall_before = Clock::now();
  // The floor is measured meanwhile, so that both see the same minutes of the machine.
  const auto [floor_cpu, floor_wakeups] = WakeupFloor(10ms, window_seconds);
  const auto after = ReadThreadsSchedule(centre->pid());
  const double wall = Seconds(Clock::now() - wall_before);
  const double cpu = after.cpu_seconds - before.cpu_seconds;
  const auto wakeups = static_cast<double>(after.wakeups - before.wakeups);
  std::printf(
      "idle_cpu: %d configured faults, default periods: %.2f %% of one core "
      "(%.2f ms CPU per s of wall time, %.1f s window)\n",
      kConfiguredFaults, 100.0 * cpu / wall, 1000.0 * cpu / wall, wall);
  std::printf(
      "idle_wakeups: %.1f per s, %.1f us CPU per wake-up, %.2f us per timer callback "
      "(13 timers at 10 ms: 1300 callbacks per s)\n",
      wakeups / wall, wakeups > 0 ? 1e6 * cpu / wakeups : 0.0, 1e6 * cpu / (1300 * wall));
  std::printf(
      "idle_floor: a thread that wakes every 10 ms and does nothing else: %.2f %% of one core "
      "(%.1f us CPU per wake-up)\n",
      100.0 * floor_cpu / wall, floor_wakeups > 0 ? 1e6 * floor_cpu / floor_wakeups : 0.0);
  std::printf("max_rss: idle: %.1f MiB\n", PeakRssMiB(centre->pid()));
  return 0;
}

int Latency(int samples, std::uint32_t seed)
{
  ScratchDir scratch("bench_latency");
  RobotProbe probe("latency_probe");
  auto centre = StartCentre(scratch);
  if (!WaitUntilServing(*centre, &probe)) {
    return 1;
  }
  // A random pause between raises, so that publishing does not lock on to
  // the phase of the node's timers. A fixed sequence would: a node that
  // answers a little sooner in every tick shifts all its samples against the
  // tick together, which moves p50 by tenths of a millisecond at 300 samples.
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> pause_us(0, 20'000);
  std::vector<double> latencies_ms;
  int lost = 0;
  for (int i = 0; i < samples; ++i) {
    const std::size_t before = probe.ExceptionHandleCount();
    const auto sent = Clock::now();
    probe.Raise(
        kModuleTopics[i % kModuleTopics.size()], kFirstFaultId + i % kConfiguredFaults, WallStamp(),
        "latency");
    if (!probe.WaitForExceptionHandles(before + 1, 2s)) {
      ++lost;
      continue;
    }
    latencies_ms.push_back(Milliseconds(probe.ExceptionHandles()[before].arrival - sent));
    std::this_thread::sleep_for(std::chrono::microseconds(pause_us(random)));
  }
  if (latencies_ms.empty()) {
    std::printf("latency: no ExceptionHandle arrived\n");
    return 1;
  }
  std::sort(latencies_ms.begin(), latencies_ms.end());
  const auto at = [&](double q) {
    return latencies_ms[std::min(
        latencies_ms.size() - 1,
        static_cast<std::size_t>(q * static_cast<double>(latencies_ms.size())))];
  };
  double sum = 0;
  for (double value : latencies_ms) {
    sum += value;
  }
  std::printf(
      "latency: raise on a module topic -> ExceptionHandle at a subscriber, %zu samples "
      "(%d unanswered, seed %u): p50 %.2f ms, p99 %.2f ms, max %.2f ms, mean %.2f ms, "
      "min %.2f ms\n",
      latencies_ms.size(), lost, seed, at(0.50), at(0.99), latencies_ms.back(),
      sum / static_cast<double>(latencies_ms.size()), latencies_ms.front());
  return 0;
}

struct RateResult
{
  double offered = 0;  // events per second actually published
  std::size_t sent = 0;
  std::size_t answered = 0;
  std::size_t wrong = 0;  // fault ids answered more or less often than raised
};

// Publishes raises at `rate` per second for `seconds`, round robin over the
// module topics and the configured faults, then waits for the answers.
RateResult RunRate(RobotProbe & probe, double rate, double seconds)
{
  const std::size_t before = probe.ExceptionHandleCount();
  std::map<std::int32_t, long> expected;
  const auto total = static_cast<std::size_t>(rate * seconds);
  const auto start = Clock::now();
  std::size_t sent = 0;
  while (sent < total) {
    const auto due =
        std::min(total, static_cast<std::size_t>(rate * Seconds(Clock::now() - start)) + 1);
    for (; sent < due; ++sent) {
      const std::int32_t id = kFirstFaultId + static_cast<std::int32_t>(sent % kConfiguredFaults);
      probe.Raise(kModuleTopics[sent % kModuleTopics.size()], id, WallStamp(), "throughput");
      ++expected[id];
    }
    std::this_thread::sleep_for(200us);
  }
  RateResult result;
  result.offered = static_cast<double>(sent) / Seconds(Clock::now() - start);
  result.sent = sent;
  // Settle: wait until nothing more arrives for a second.
  std::size_t last = 0;
  auto quiet_since = Clock::now();
  while (Clock::now() - quiet_since < 1s) {
    const std::size_t count = probe.ExceptionHandleCount();
    if (count != last) {
      last = count;
      quiet_since = Clock::now();
    }
    std::this_thread::sleep_for(20ms);
  }
  const auto handles = probe.ExceptionHandles();
  result.answered = handles.size() - before;
  for (std::size_t i = before; i < handles.size(); ++i) {
    --expected[handles[i].message.fault_id];
  }
  for (const auto & [id, missing] : expected) {
    result.wrong += missing != 0 ? 1 : 0;
  }
  return result;
}

int Throughput(double seconds)
{
  ScratchDir scratch("bench_throughput");
  RobotProbe probe("throughput_probe");
  auto centre = StartCentre(scratch);
  if (!WaitUntilServing(*centre, &probe)) {
    return 1;
  }
  // Events the node handled, from its INFO lines: tells lost input from lost output.
  const auto handled = [&centre] {
    return diagnostic_center_test::CountOccurrences(centre->Stderr(), "receive failure event : ");
  };
  double best = 0;
  const auto lossless_at = [&](double rate) {
    const std::size_t handled_before = handled();
    const auto result = RunRate(probe, rate, seconds);
    const bool lossless = result.answered == result.sent && result.wrong == 0;
    std::printf(
        "throughput: target %6.0f/s offered %8.1f/s: sent %zu, handled %zu, ExceptionHandle %zu, "
        "fault ids off %zu -> %s\n",
        rate, result.offered, result.sent, handled() - handled_before, result.answered,
        result.wrong, lossless ? "nothing lost" : "LOSS");
    std::fflush(stdout);
    if (lossless) {
      best = std::max(best, result.offered);
    }
    return lossless;
  };
  // Doubling until the first loss, then three halvings of the gap.
  double good = 0;
  double bad = 0;
  for (double rate = 250; rate <= 1024000; rate *= 2) {
    if (!lossless_at(rate)) {
      bad = rate;
      break;
    }
    good = rate;
  }
  for (int step = 0; bad > 0 && step < 3; ++step) {
    const double middle = (good + bad) / 2;
    (lossless_at(middle) ? good : bad) = middle;
  }
  std::printf(
      "throughput: highest sustained rate with every raise answered exactly once: %.0f events/s "
      "(INFO log to a file of %.1f MB)\n",
      best, static_cast<double>(std::filesystem::file_size(centre->stderr_path())) / 1e6);
  std::printf("max_rss: after throughput: %.1f MiB\n", PeakRssMiB(centre->pid()));
  return 0;
}

}  // namespace

int main(int argc, char ** argv)
{
  node_e2e_bench::StayOnLoopbackUnlessConfigured();
  const std::string mode = argc > 1 ? argv[1] : "";
  const char * value = argc > 2 ? argv[2] : nullptr;
  rclcpp::init(1, argv);
  int status = 2;
  if (mode == "idle") {
    status = Idle(value ? std::atof(value) : 10.0);
  } else if (mode == "latency") {
    const auto seed = argc > 3 ? static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10))
                               : std::random_device{}();
    status = Latency(value ? std::atoi(value) : 500, seed);
  } else if (mode == "throughput") {
    status = Throughput(value ? std::atof(value) : 3.0);
  } else if (mode == "flood") {
    status = RunLoad(
        {"flood", value ? std::strtoull(value, nullptr, 10) : 1'000'000,
         argc > 3 ? std::atof(argv[3]) : 40'000.0, 5.0});
  } else if (mode == "soak") {
    const double seconds = value ? std::atof(value) : 600.0;
    const double rate = argc > 3 ? std::atof(argv[3]) : 1'000.0;
    status = RunLoad({"soak", static_cast<std::size_t>(seconds * rate), rate, 60.0});
  } else {
    std::fprintf(
        stderr,
        "usage: %s idle [seconds] | latency [samples] [seed] | throughput [seconds] | "
        "flood [events] [rate] | soak [seconds] [rate]\n",
        argv[0]);
  }
  rclcpp::shutdown();
  return status;
}
