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

#include "load_run.hpp"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "centre_process.hpp"
#include "diagnostic_center/contract/names.hpp"
#include "load_accounting.hpp"
#include "load_driver.hpp"

namespace node_e2e_bench {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using diagnostic_center_test::ChildProcess;

// Takes VmRSS of the node once a second on a thread of its own and prints a
// progress line every `report_every_s`.
class RssSampler
{
public:
  RssSampler(
      const LoadPlan & plan, pid_t pid, const LoadDriver & driver,
      const std::atomic<std::size_t> & sent)
      : plan_(plan), pid_(pid), driver_(driver), sent_(sent), start_(Clock::now())
  {
    thread_ = std::thread([this] { Run(); });
  }
  ~RssSampler() { Stop(); }
  RssSampler(const RssSampler &) = delete;
  RssSampler & operator=(const RssSampler &) = delete;

  Clock::time_point start() const { return start_; }

  std::vector<RssSample> Stop()
  {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    stop_.notify_all();
    if (thread_.joinable()) {
      thread_.join();
    }
    return samples_;
  }

private:
  void Run()
  {
    double next_report = plan_.report_every_s;
    double report_min = 1e300;
    double report_max = 0;
    for (int tick = 1;; ++tick) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        if (stop_.wait_until(lock, start_ + tick * 1s, [this] { return stopping_; })) {
          return;
        }
      }
      const double seconds = Seconds(Clock::now() - start_);
      const double mib = RssMiB(pid_);
      samples_.push_back({seconds, mib});
      report_min = std::min(report_min, mib);
      report_max = std::max(report_max, mib);
      if (seconds + 0.5 >= next_report) {
        std::printf(
            "%s: rss at %4.0f s: %.1f MiB (min %.1f, max %.1f since the last line); sent %zu, "
            "ExceptionHandle %zu, node CPU %.1f s\n",
            plan_.name.c_str(), seconds, mib, report_min, report_max, sent_.load(),
            driver_.AnswerCount(), CpuSeconds(pid_));
        std::fflush(stdout);
        next_report += plan_.report_every_s;
        report_min = 1e300;
        report_max = 0;
      }
    }
  }

  const LoadPlan & plan_;
  const pid_t pid_;
  const LoadDriver & driver_;
  const std::atomic<std::size_t> & sent_;
  const Clock::time_point start_;
  std::vector<RssSample> samples_;  // only the sampling thread touches it until Stop
  std::mutex mutex_;
  std::condition_variable stop_;
  bool stopping_ = false;
  std::thread thread_;
};

// Publishes plan.events events at plan.rate, paced from the start so that a
// late wake-up catches up instead of lowering the rate.
void Send(const LoadPlan & plan, LoadDriver & driver, std::atomic<std::size_t> & sent)
{
  const auto start = Clock::now();
  std::size_t index = 0;
  while (index < plan.events) {
    const auto due = std::min(
        plan.events, static_cast<std::size_t>(plan.rate * Seconds(Clock::now() - start)) + 1);
    for (; index < due; ++index) {
      driver.Publish(LoadTopicIndex(index), LoadEvent(index));
    }
    sent.store(index);
    const auto next_due = start + std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(index / plan.rate));
    std::this_thread::sleep_until(std::max(next_due, Clock::now() + 200us));
  }
}

// Waits until neither the node's log nor the answers have grown for three
// seconds (at most five minutes); returns when the last growth was seen.
Clock::time_point WaitForDrain(const ChildProcess & centre, const LoadDriver & driver)
{
  const auto give_up = Clock::now() + 5min;
  auto last_change = Clock::now();
  std::uintmax_t log_size = 0;
  std::size_t answers = 0;
  while (Clock::now() - last_change < 3s && Clock::now() < give_up) {
    const auto size = std::filesystem::file_size(centre.stderr_path());
    const auto count = driver.AnswerCount();
    if (size != log_size || count != answers) {
      log_size = size;
      answers = count;
      last_change = Clock::now();
    }
    std::this_thread::sleep_for(100ms);
  }
  return last_change;
}

std::size_t RaisesAmong(std::size_t events)
{
  std::size_t raises = 0;
  for (std::size_t i = 0; i < events; ++i) {
    raises += LoadEvent(i).status == 1 ? 1 : 0;
  }
  return raises;
}

struct Timing
{
  double send_s = 0;   // first to last publish
  double drain_s = 0;  // last publish to the last growth of log or answers
  double cpu_s = 0;    // node CPU from the first publish to the end of the drain wait
  double cpu_window_s = 0;
  double cpu_total_s = 0;
};

void Report(
    const LoadPlan & plan, const HandledEvents & handled, const std::vector<std::int32_t> & answers,
    const Timing & timing, const std::vector<RssSample> & rss, double rss_before, double hwm,
    double load_before, double load_after)
{
  const char * name = plan.name.c_str();
  const std::size_t raises = RaisesAmong(plan.events);
  const std::size_t received = handled.raise_ids.size() + handled.clears;
  const std::size_t lost = plan.events - std::min(plan.events, received);
  std::printf(
      "%s: sent %zu events (%zu raises, %zu clears) in %.1f s = %.0f/s over %zu module topics, "
      "%d configured faults, default periods\n",
      name, plan.events, raises, plan.events - raises, timing.send_s,
      static_cast<double>(plan.events) / timing.send_s,
      diagnostic_center::contract::kModuleTopics.size(), kConfiguredFaults);
  std::printf(
      "%s: received by the node %zu (its \"receive failure event\" INFO lines, counted in its "
      "stderr file after the run): lost %zu (%.3f %%)\n",
      name, received, lost, 100.0 * static_cast<double>(lost) / static_cast<double>(plan.events));
  const AnswerMatch match = MatchAnswers(handled.raise_ids, answers);
  std::printf(
      "%s: handled raises %zu, ExceptionHandle answers %zu: unanswered %zu, answered more than "
      "once %zu, answers in handling order: %s\n",
      name, handled.raise_ids.size(), answers.size(), match.unanswered, match.surplus,
      match.in_handling_order ? "yes" : "NO");
  if (handled.status_changes != 1) {
    std::printf(
        "%s: %zu robot status changes logged (each re-announces the current failures)\n", name,
        handled.status_changes);
  }
  std::printf(
      "%s: node CPU %.1f s from the first event to 3 s after its last output (%.1f s, %.0f %% of "
      "one core); %.1f s since its start; done %.1f s after the last event was sent\n",
      name, timing.cpu_s, timing.cpu_window_s, 100.0 * timing.cpu_s / timing.cpu_window_s,
      timing.cpu_total_s, timing.drain_s);
  const RssSummary summary = SummariseRss(rss, timing.send_s / 2, timing.send_s);
  std::printf(
      "%s: node RSS before the load %.1f MiB, peak %.1f MiB (VmRSS once a second; kernel's "
      "VmHWM %.1f MiB)\n",
      name, rss_before, summary.peak_mib, hwm);
  std::printf(
      "%s: node RSS plateau %.1f MiB = median of the %zu once-a-second VmRSS samples in the "
      "second half of the sending; slope over that half %+.3f MiB/min\n",
      name, summary.plateau_mib, summary.plateau_samples, summary.slope_mib_per_min);
  std::printf(
      "%s: machine load average (1 min) %.2f before, %.2f after\n", name, load_before, load_after);
}

}  // namespace

int RunLoad(const LoadPlan & plan)
{
  diagnostic_center_test::ScratchDir scratch("bench_" + plan.name);
  LoadDriver driver(RaisesAmong(plan.events));
  auto centre = StartCentre(scratch);
  if (!driver.WaitForCentre(30s)) {
    std::fprintf(stderr, "the centre never became reachable:\n%s\n", centre->Stderr().c_str());
    return 1;
  }
  if (!WaitForFirstStatusCheck(*centre)) {
    return 1;
  }
  const pid_t pid = centre->pid();
  const double load_before = LoadAverage();
  const double rss_before = RssMiB(pid);
  const double cpu_before = CpuSeconds(pid);
  std::atomic<std::size_t> sent{0};
  RssSampler sampler(plan, pid, driver, sent);
  Send(plan, driver, sent);
  const auto sent_at = Clock::now();
  const auto drained_at = WaitForDrain(*centre, driver);
  Timing timing;
  timing.cpu_total_s = CpuSeconds(pid);
  timing.cpu_s = timing.cpu_total_s - cpu_before;
  timing.cpu_window_s = Seconds(Clock::now() - sampler.start());
  timing.send_s = Seconds(sent_at - sampler.start());
  timing.drain_s = Seconds(drained_at - sent_at);
  const auto rss = sampler.Stop();
  const double hwm = PeakRssMiB(pid);
  const double load_after = LoadAverage();
  // A node that died on the way must not pass for one that lost events.
  if (const auto ended = centre->WaitForExit(0ms)) {
    std::printf(
        "%s: THE NODE ENDED DURING THE RUN: %s\n", plan.name.c_str(), ended->Describe().c_str());
  }
  centre->Kill();  // the log is complete: the node's stderr is unbuffered
  std::ifstream log(centre->stderr_path());
  const HandledEvents handled = ReadHandledEvents(log);
  Report(plan, handled, driver.Answers(), timing, rss, rss_before, hwm, load_before, load_after);
  return 0;
}

}  // namespace node_e2e_bench
