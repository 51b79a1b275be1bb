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

#include "centre_run.hpp"

#include <chrono>
#include <fstream>

#include "log_text.hpp"

namespace diagnostic_center_test {
namespace {

using namespace std::chrono_literals;

// ROS argument rules refuse "-p" for names that start with a digit (every
// per-fault parameter), as rcl does; a parameter file takes any name.
std::filesystem::path WriteParameterFile(
    const std::filesystem::path & output_dir, const std::vector<std::string> & parameters)
{
  auto path = output_dir / "parameters.yaml";  // not const: returned by move
  std::ofstream file(path);
  file << "/**:\n  ros__parameters:\n";
  for (const auto & parameter : parameters) {
    const auto separator = parameter.find(":=");
    file << "    " << parameter.substr(0, separator) << ": "
         << (separator == std::string::npos ? "" : parameter.substr(separator + 2)) << "\n";
  }
  return path;
}

}  // namespace

std::filesystem::path CentreExecutable()
{
  // The same tests also run against the node built on genuine ROS 2.
  return ExecutableFromEnvironment("DIAGNOSTIC_CENTER_EXECUTABLE", DIAGNOSTIC_CENTER_EXECUTABLE);
}

std::unique_ptr<ChildProcess> StartCentre(
    const std::filesystem::path & output_dir, const std::vector<std::string> & parameters,
    const std::vector<std::string> & extra_ros_args,
    const std::map<std::string, std::string> & environment)
{
  std::vector<std::string> arguments{"--ros-args"};
  if (!parameters.empty()) {
    arguments.push_back("--params-file");
    arguments.push_back(WriteParameterFile(output_dir, parameters).string());
  }
  arguments.insert(arguments.end(), extra_ros_args.begin(), extra_ros_args.end());
  std::map<std::string, std::string> child_environment{
      {"TZ", "UTC"},
      {"RCUTILS_CONSOLE_OUTPUT_FORMAT", "[{severity}] [{time}] [{name}]: {message}"},
      {"RCUTILS_COLORIZED_OUTPUT", "0"},
      {"RCUTILS_LOGGING_USE_STDOUT", "0"}};
  for (const auto & entry : environment) {
    child_environment[entry.first] = entry.second;
  }
  return std::make_unique<ChildProcess>(
      CentreExecutable(), arguments, output_dir, child_environment);
}

testing::AssertionResult WaitUntilServing(ChildProcess & centre, RobotProbe & probe)
{
  if (!probe.WaitForCentre(20s)) {
    return testing::AssertionFailure()
           << "the centre never became reachable over DDS ("
           << (centre.running() ? "still running" : "ended") << "); its log ends with:\n"
           << StderrTail(centre);
  }
  if (!centre.WaitForStderr("diag robot status 1 to 2", 10s)) {
    return testing::AssertionFailure() << "no first robot status check; the log ends with:\n"
                                       << StderrTail(centre);
  }
  return testing::AssertionSuccess();
}

std::string StderrTail(const ChildProcess & centre, std::size_t lines)
{
  const auto all = SplitLines(centre.Stderr());
  std::string tail;
  for (std::size_t i = all.size() > lines ? all.size() - lines : 0; i < all.size(); ++i) {
    tail += all[i] + "\n";
  }
  return tail;
}

}  // namespace diagnostic_center_test
