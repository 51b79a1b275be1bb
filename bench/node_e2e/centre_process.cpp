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

#include "centre_process.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "diagnostic_center/contract/names.hpp"
#include "robot_probe.hpp"

namespace node_e2e_bench {
namespace {

using namespace std::chrono_literals;
using diagnostic_center::contract::kDescriptionSuffix;
using diagnostic_center::contract::kFaultListParam;
using diagnostic_center::contract::kNodeName;
using diagnostic_center::contract::kRecordDirParam;
using diagnostic_center::contract::kRootCauseSuffix;
using diagnostic_center_test::ChildProcess;
using diagnostic_center_test::ScratchDir;

std::filesystem::path WriteParameters(const ScratchDir & scratch)
{
  const auto path = scratch / "parameters.yaml";
  std::ofstream out(path);
  out << kNodeName << ":\n  ros__parameters:\n    " << kFaultListParam << ": [";
  for (int i = 0; i < kConfiguredFaults; ++i) {
    out << (i == 0 ? "" : ", ") << kFirstFaultId + i;
  }
  out << "]\n";
  for (int i = 0; i < kConfiguredFaults; ++i) {
    const std::int32_t id = kFirstFaultId + i;
    out << "    " << id << kRootCauseSuffix << ": " << kFirstFaultId + i / 10 * 10 << "\n";
    out << "    " << id << kDescriptionSuffix << ": \"benchmark fault " << i << "\"\n";
  }
  out << "    " << kRecordDirParam << ": \"" << (scratch / "records").string() << "\"\n";
  return path;
}

// A number of a /proc status file ("VmRSS:   1234 kB" gives 1234); 0 if absent.
double StatusNumber(const std::filesystem::path & status_file, const std::string & key)
{
  std::ifstream in(status_file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key + ":", 0) == 0) {
      return std::stod(line.substr(key.size() + 1));
    }
  }
  return 0;
}

// The value of the "<key>:" line of /proc/<pid>/status, in kB; 0 when absent.
double StatusKiB(pid_t pid, const std::string & key)
{
  return StatusNumber("/proc/" + std::to_string(pid) + "/status", key);
}

}  // namespace

void StayOnLoopbackUnlessConfigured()
{
  setenv("CYCLONEDDS_URI", "file://" LOOPBACK_CONFIG, /*overwrite=*/0);
}

std::unique_ptr<ChildProcess> StartCentre(const ScratchDir & scratch)
{
  // DIAGNOSTIC_CENTER_EXECUTABLE picks another build of the node (run.sh and
  // side_by_side.py use it to compare builds).
  return std::make_unique<ChildProcess>(
      diagnostic_center_test::ExecutableFromEnvironment(
          "DIAGNOSTIC_CENTER_EXECUTABLE", DIAGNOSTIC_CENTER_EXECUTABLE),
      std::vector<std::string>{"--ros-args", "--params-file", WriteParameters(scratch).string()},
      scratch.path(), std::map<std::string, std::string>{{"RCUTILS_COLORIZED_OUTPUT", "0"}});
}

bool WaitForFirstStatusCheck(ChildProcess & centre)
{
  if (!centre.WaitForStderr("diag robot status 1 to 2", 15s)) {
    std::fprintf(stderr, "the centre did not start:\n%s\n", centre.Stderr().c_str());
    return false;
  }
  return true;
}

double CpuSeconds(pid_t pid)
{
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (content.find(')') == std::string::npos) {
    return 0;  // the process is gone
  }
  // Fields after the command name, which is in parentheses and may hold spaces.
  std::istringstream fields(content.substr(content.rfind(')') + 2));
  std::string field;
  unsigned long long utime = 0;
  unsigned long long stime = 0;
  for (int index = 3; fields >> field; ++index) {
    if (index == 14) {
      utime = std::stoull(field);
    } else if (index == 15) {
      stime = std::stoull(field);
      break;
    }
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

ThreadsSchedule ReadThreadsSchedule(pid_t pid)
{
  ThreadsSchedule schedule;
  unsigned long long nanoseconds = 0;
  std::error_code error;
  std::filesystem::directory_iterator tasks("/proc/" + std::to_string(pid) + "/task", error);
  for (; !error && tasks != std::filesystem::directory_iterator(); tasks.increment(error)) {
    std::ifstream schedstat(tasks->path() / "schedstat");
    unsigned long long on_cpu = 0;
    if (schedstat >> on_cpu) {
      nanoseconds += on_cpu;
    }
    schedule.wakeups += static_cast<unsigned long long>(
        StatusNumber(tasks->path() / "status", "voluntary_ctxt_switches"));
  }
  schedule.cpu_seconds = static_cast<double>(nanoseconds) / 1e9;
  return schedule;
}

double RssMiB(pid_t pid) { return StatusKiB(pid, "VmRSS") / 1024.0; }

double PeakRssMiB(pid_t pid) { return StatusKiB(pid, "VmHWM") / 1024.0; }

double LoadAverage()
{
  std::ifstream in("/proc/loadavg");
  double one_minute = 0;
  in >> one_minute;
  return one_minute;
}

builtin_interfaces::msg::Time WallStamp()
{
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
  return diagnostic_center_test::Stamp(
      static_cast<std::int32_t>(ns / 1'000'000'000),
      static_cast<std::uint32_t>(ns % 1'000'000'000));
}

}  // namespace node_e2e_bench
