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

// Starting the diagnosis centre binary for a test and waiting until it serves.
// For the test's main thread; the returned ChildProcess is the caller's, and
// its destructor kills a centre the test left running.
#ifndef DIAGNOSTIC_CENTER__TEST__PROCESS__CENTRE_RUN_HPP_
#define DIAGNOSTIC_CENTER__TEST__PROCESS__CENTRE_RUN_HPP_

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "diagnostic_center_test/child_process.hpp"
#include "robot_probe.hpp"

namespace diagnostic_center_test {

// The node binary under test, as the build passes it in
// (DIAGNOSTIC_CENTER_EXECUTABLE overrides it).
std::filesystem::path CentreExecutable();

// Starts the centre with "--ros-args", a parameter file setting `parameters`
// (each "name:=value", the value in YAML) for every node, then
// `extra_ros_args`. Its output goes
// to files in `output_dir`. The child runs with TZ=UTC and the default
// console log format, uncoloured, on standard error, and `environment` on top.
std::unique_ptr<ChildProcess> StartCentre(
    const std::filesystem::path & output_dir, const std::vector<std::string> & parameters,
    const std::vector<std::string> & extra_ros_args = {},
    const std::map<std::string, std::string> & environment = {});

// Waits until `probe` reaches the centre both ways and the centre has made
// its first robot-status check ("diag robot status 1 to 2", its task-centre
// status being all zeros until one arrives), after which no status change
// re-announces failures unless the test publishes one.
[[nodiscard]] testing::AssertionResult WaitUntilServing(ChildProcess & centre, RobotProbe & probe);

// The last `lines` lines of the centre's standard error so far, for failure
// messages.
std::string StderrTail(const ChildProcess & centre, std::size_t lines = 40);

}  // namespace diagnostic_center_test

#endif  // DIAGNOSTIC_CENTER__TEST__PROCESS__CENTRE_RUN_HPP_
