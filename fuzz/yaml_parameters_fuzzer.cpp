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

// The parameter YAML reader on any bytes: as a --params-file file and as the
// value of a -p rule. Refusals are rcl's errors (YamlError); any other
// exception, crash, sanitizer report, over-limit allocation or hang is a
// finding.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "client_layer/parameter_override_set.hpp"
#include "client_layer/yaml_parameters.hpp"

namespace {

using client_layer::ParameterOverrideSet;
namespace yaml_parameters = client_layer::yaml_parameters;

// -p values are short in practice; longer inputs only slow the value path.
constexpr std::size_t kLongestValue = 1024;

// The reader takes a path: each input goes through a file, in memory where
// the machine has /dev/shm.
const std::string & scratch_file()
{
  static const std::string path =
      ((std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                  : std::filesystem::temp_directory_path()) /
       ("yaml_parameters_fuzzer_" + std::to_string(::getpid()) + ".yaml"))
          .string();
  return path;
}

void read_as_file(const std::string & text)
{
  std::ofstream(scratch_file(), std::ios::binary | std::ios::trunc) << text;
  ParameterOverrideSet parameters;
  try {
    yaml_parameters::parse_file(scratch_file(), parameters);
  } catch (const yaml_parameters::YamlError &) {
  }
}

void read_as_value(const std::string & text)
{
  ParameterOverrideSet parameters;
  try {
    yaml_parameters::parse_value("/**", "fuzzed", text, parameters);
  } catch (const yaml_parameters::YamlError &) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  const std::string text(reinterpret_cast<const char *>(data), size);
  read_as_file(text);
  if (size <= kLongestValue) {
    read_as_value(text);
  }
  return 0;
}
