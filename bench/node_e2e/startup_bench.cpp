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

// Start-up of the diagnostic_center process with many configured faults: the
// time from starting the process to its first answer on "diagnostic_srv",
// and the CPU time the process used by then. Prints figures, asserts nothing.
//
//   startup_bench [fault count...]        default: 10000 50000 100000
//
// Every fault has its three parameters in the file (root cause, time
// distance, description); every tenth fault is the root cause of the nine
// after it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "centre_process.hpp"
#include "diagnostic_center/contract/names.hpp"
#include "diagnostic_center_test/child_process.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"
#include "rclcpp/rclcpp.hpp"
#include "robot_probe.hpp"

namespace {

using namespace std::chrono_literals;
namespace contract = diagnostic_center::contract;
using diagnostic_center_test::ChildProcess;
using diagnostic_center_test::ExecutableFromEnvironment;
using diagnostic_center_test::RobotProbe;
using diagnostic_center_test::ScratchDir;
using Clock = std::chrono::steady_clock;

constexpr std::int64_t kFirstFaultId = 100000;
constexpr auto kGiveUpAfter = 600s;

std::filesystem::path WriteParameters(const ScratchDir & scratch, std::int64_t faults)
{
  const auto path = scratch / "parameters.yaml";
  std::ofstream out(path);
  out << contract::kNodeName << ":\n  ros__parameters:\n    " << contract::kFaultListParam << ": [";
  for (std::int64_t i = 0; i < faults; ++i) {
    out << (i == 0 ? "" : ", ") << kFirstFaultId + i;
  }
  out << "]\n";
  for (std::int64_t i = 0; i < faults; ++i) {
    const std::int64_t id = kFirstFaultId + i;
    out << "    " << id << contract::kRootCauseSuffix << ": " << id - i % 10 << "\n"
        << "    " << id << contract::kRootCauseTimeDisSuffix << ": 300\n"
        << "    " << id << contract::kDescriptionSuffix << ": \"fault number " << i << "\"\n";
  }
  out << "    " << contract::kRecordDirParam << ": \"" << (scratch / "records").string() << "\"\n";
  return path;
}

void MeasureStartUp(RobotProbe & probe, std::int64_t faults)
{
  ScratchDir scratch("startup_bench");
  const auto parameters = WriteParameters(scratch, faults);
  const auto start = Clock::now();
  ChildProcess centre(
      ExecutableFromEnvironment("DIAGNOSTIC_CENTER_EXECUTABLE", DIAGNOSTIC_CENTER_EXECUTABLE),
      {"--ros-args", "--params-file", parameters.string()}, scratch.path(),
      std::map<std::string, std::string>{{"RCUTILS_COLORIZED_OUTPUT", "0"}});
  while (!probe.QueryRootCauses(100ms).has_value()) {
    if (!centre.running() || Clock::now() - start > kGiveUpAfter) {
      std::printf(
          "startup: %lld faults: no answer\n%s\n", static_cast<long long>(faults),
          centre.Stderr().c_str());
      return;
    }
  }
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf(
      "startup: %7lld faults: first answer after %6.2f s, %6.2f s CPU, max_rss %.1f MiB\n",
      static_cast<long long>(faults), wall, node_e2e_bench::CpuSeconds(centre.pid()),
      node_e2e_bench::PeakRssMiB(centre.pid()));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char ** argv)
{
  node_e2e_bench::StayOnLoopbackUnlessConfigured();
  std::vector<std::int64_t> counts;
  for (int i = 1; i < argc; ++i) {
    counts.push_back(std::atoll(argv[i]));
  }
  if (counts.empty()) {
    counts = {10000, 50000, 100000};
  }
  rclcpp::init(1, argv);
  {
    RobotProbe probe("startup_bench");
    for (const std::int64_t faults : counts) {
      MeasureStartUp(probe, faults);
    }
  }
  rclcpp::shutdown();
  return 0;
}
