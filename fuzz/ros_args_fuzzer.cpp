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

// The --ros-args parser on any command line, and what a node then makes of
// it: its name and namespace, its parameter overrides and its topic and
// service names. The input is the argument vector, arguments separated by
// NUL bytes, after the program's name.
//
// A --params-file argument is followed by the text of the file rather than
// its path: the target puts that text into an in-memory file and passes the
// file's path, so that parameter files are fuzzed through the parser without
// ever reading the file system. Refusals are the exceptions rclcpp throws
// for bad arguments; any other exception, crash or hang is a finding.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "client_layer/arguments.hpp"
#include "fuzz_check.hpp"
#include "rclcpp/exceptions.hpp"

namespace {

// In-memory files for the parameter files of one input, reused across inputs.
class ParamsFiles
{
public:
  std::string path_holding(std::size_t index, const std::string & text)
  {
    while (fds_.size() <= index) {
      const int fd = memfd_create("params_file", MFD_CLOEXEC);
      fuzz::check(fd >= 0, "memfd_create failed");
      fds_.push_back(fd);
    }
    const int fd = fds_[index];
    fuzz::check(ftruncate(fd, 0) == 0, "ftruncate failed");
    fuzz::check(
        pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()),
        "writing a parameter file failed");
    return "/proc/self/fd/" + std::to_string(fd);
  }

private:
  std::vector<int> fds_;
};

std::vector<std::string> argument_vector(const std::uint8_t * data, std::size_t size)
{
  static ParamsFiles params_files;
  std::vector<std::string> argv = {"diagnostic_center"};
  const std::string text(reinterpret_cast<const char *>(data), size);
  std::size_t files = 0;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\0', start);
    if (end == std::string::npos) {
      end = text.size();
    }
    std::string argument = text.substr(start, end - start);
    if (argv.back() == "--params-file") {
      argument = params_files.path_holding(files++, argument);
    }
    argv.push_back(std::move(argument));
    start = end + 1;
  }
  return argv;
}

// Names the node and the operator tool use, relative, private and absolute.
const char * const kTopicNames[] = {
    "arm_driver_diag_topic", "exception_handle", "current_failure", "~/status", "/rosout"};
const char * const kServiceNames[] = {"diagnostic_srv", "~/get_parameters"};

void resolve_for_node(const client_layer::Arguments & arguments)
{
  const client_layer::NodeIdentity node =
      client_layer::resolve_node_identity("diagnostic_center", "", nullptr, &arguments);
  fuzz::check(
      !node.name.empty() && !node.namespace_.empty() && node.namespace_.front() == '/',
      "bad node identity");
  client_layer::resolve_parameter_overrides(node.fully_qualified_name, {}, nullptr, &arguments);
  for (const char * name : kTopicNames) {
    client_layer::resolve_topic_or_service_name(name, node, false, nullptr, &arguments);
  }
  for (const char * name : kServiceNames) {
    client_layer::resolve_topic_or_service_name(name, node, true, nullptr, &arguments);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  const std::vector<std::string> argv = argument_vector(data, size);
  try {
    const client_layer::Arguments arguments =
        client_layer::parse_arguments(argv, "failed to initialize rcl");
    client_layer::throw_if_unknown_ros_args(arguments);
    resolve_for_node(arguments);
  } catch (const rclcpp::exceptions::RCLInvalidROSArgsError &) {
  } catch (const rclcpp::exceptions::UnknownROSArgsError &) {
  } catch (const rclcpp::exceptions::NameValidationError &) {
  } catch (const rclcpp::exceptions::InvalidParameterValueException &) {
  }
  return 0;
}
