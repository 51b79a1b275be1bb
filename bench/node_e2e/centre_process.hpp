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

// The node under benchmark as a child process: started with the benchmarks'
// fault table and default periods, and read from outside through /proc.
#ifndef BENCH__NODE_E2E__CENTRE_PROCESS_HPP_
#define BENCH__NODE_E2E__CENTRE_PROCESS_HPP_

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <memory>

#include "builtin_interfaces/msg/time.hpp"
#include "diagnostic_center_test/child_process.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"

namespace node_e2e_bench {

// Faults kFirstFaultId .. kFirstFaultId + kConfiguredFaults - 1; every tenth
// one is the root cause of the nine after it.
constexpr int kConfiguredFaults = 100;
constexpr std::int32_t kFirstFaultId = 5001;

// Keeps the benchmark and the nodes it starts on loopback: names the
// repository's loopback configuration as CYCLONEDDS_URI unless one is set.
// Call it first in main.
void StayOnLoopbackUnlessConfigured();

// Starts the node (DIAGNOSTIC_CENTER_EXECUTABLE picks another build of it)
// with its output and record directory in `scratch`.
std::unique_ptr<diagnostic_center_test::ChildProcess> StartCentre(
    const diagnostic_center_test::ScratchDir & scratch);

// Waits for the node's first robot status check, which follows its start-up.
bool WaitForFirstStatusCheck(diagnostic_center_test::ChildProcess & centre);

// user + system CPU time of `pid`, in seconds, at the clock tick's resolution.
double CpuSeconds(pid_t pid);
// What the scheduler counted for the threads of `pid` now alive: for small
// figures such as an idle node's, where clock ticks are too coarse.
struct ThreadsSchedule
{
  double cpu_seconds = 0;          // time on a CPU, to the nanosecond
  unsigned long long wakeups = 0;  // voluntary context switches: sleeps ended
};
ThreadsSchedule ReadThreadsSchedule(pid_t pid);
// Current (VmRSS) and peak (VmHWM) resident set of `pid`, in MiB; 0 when it
// cannot be read.
double RssMiB(pid_t pid);
double PeakRssMiB(pid_t pid);

// The 1-minute load average of the machine.
double LoadAverage();

builtin_interfaces::msg::Time WallStamp();

inline double Seconds(std::chrono::steady_clock::duration duration)
{
  return std::chrono::duration<double>(duration).count();
}

}  // namespace node_e2e_bench

#endif  // BENCH__NODE_E2E__CENTRE_PROCESS_HPP_
