// Starting the diagnosis centre binary for a test and waiting until it serves.
#ifndef DIAGNOSTIC_CENTER__TEST__PROCESS__CENTRE_RUN_HPP_
#define DIAGNOSTIC_CENTER__TEST__PROCESS__CENTRE_RUN_HPP_

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "node_process.hpp"
#include "robot_probe.hpp"

namespace diagnostic_center_test {

// The node binary under test, as the build passes it in.
std::filesystem::path CentreExecutable();

// Starts the centre with "--ros-args", a parameter file holding `parameters`
// (each "name:=value", the value as a "-p" rule would give it) for every
// node, then `extra_ros_args`. The file and the centre's output go to
// `output_dir`. The child runs with TZ=UTC and the default
// console log format, uncoloured, on standard error.
std::unique_ptr<NodeProcess> StartCentre(
    const std::filesystem::path & output_dir, const std::vector<std::string> & parameters,
    const std::vector<std::string> & extra_ros_args = {});

// Waits until `probe` reaches the centre both ways and the centre has made
// its first robot-status check ("diag robot status 1 to 2", its task-centre
// status being all zeros until one arrives), after which no status change
// re-announces failures unless the test publishes one.
testing::AssertionResult WaitUntilServing(NodeProcess & centre, RobotProbe & probe);

// The last lines of the centre's standard error, for failure messages.
std::string StderrTail(const NodeProcess & centre, std::size_t lines = 40);

}  // namespace diagnostic_center_test

#endif  // DIAGNOSTIC_CENTER__TEST__PROCESS__CENTRE_RUN_HPP_
