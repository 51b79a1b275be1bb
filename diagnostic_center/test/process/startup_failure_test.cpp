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

// Configurations that the client library rejects end the start-up in order:
// the library's message at ERROR, "diagnostic center init failed" on
// standard output, exit status 255.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "centre_run.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"
#include "log_text.hpp"

namespace diagnostic_center_test {
namespace {

using namespace std::chrono_literals;

struct StartupCase
{
  std::string name;
  std::vector<std::string> parameters;
  std::string expected_error;  // part of the library's message
  std::vector<std::string> extra_ros_args = {};
};

TEST(StartupFailure, EveryRejectedConfigurationEndsWithStatus255)
{
  ScratchDir scratch("startup_failure");
  const std::string record_dir = "fault_record_dir:=" + (scratch.path() / "records").string();
  const std::string huge = "9223372036854775807";
  const std::vector<StartupCase> cases{
      {"missing_list",
       {record_dir},
       "Statically typed parameter 'diag_event_list' must be initialized."},
      {"list_of_strings",
       {"diag_event_list:=[a, b]", record_dir},
       "parameter 'diag_event_list' has invalid type"},
      {"list_not_an_array",
       {"diag_event_list:=7", record_dir},
       "parameter 'diag_event_list' has invalid type"},
      {"root_cause_not_an_integer",
       {"diag_event_list:=[7]", "7_root_cause:=arm", record_dir},
       "parameter '7_root_cause' has invalid type"},
      {"description_not_a_string",
       {"diag_event_list:=[7]", "7_description:=12", record_dir},
       "parameter '7_description' has invalid type"},
      {"repeated_id",
       {"diag_event_list:=[7, 8, 7]", record_dir},
       "parameter '7_root_cause' has already been declared"},
      {"repeated_id_modulo_2_32",
       {"diag_event_list:=[7, 4294967303]", record_dir},
       "parameter '7_root_cause' has already been declared"},
      {"negative_control_period",
       {"diag_event_list:=[7]", "ctrl_handle_space:=-10", record_dir},
       "timer period cannot be negative"},
      {"negative_handle_period",
       {"diag_event_list:=[7]", "center_handle_space:=-1", record_dir},
       "timer period cannot be negative"},
      {"negative_refresh_period",
       {"diag_event_list:=[7]", "fault_record_refresh_space:=-1", record_dir},
       "timer period cannot be negative"},
      {"overflowing_handle_period",
       {"diag_event_list:=[7]", "center_handle_space:=" + huge, record_dir},
       "timer period must be less than std::chrono::nanoseconds::max()"},
      {"overflowing_publish_period",
       {"diag_event_list:=[7]", "cur_failure_pub_space:=" + huge, record_dir},
       "timer period must be less than std::chrono::nanoseconds::max()"},
      {"negative_history_depth",
       {"diag_event_list:=[7]", "diag_keep_his:=-1", record_dir},
       "parameter 'diag_keep_his': history depth must be from 0 to 2147483647, not -1"},
      {"history_depth_beyond_32_bits",
       {"diag_event_list:=[7]", "diag_keep_his:=4294967297", record_dir},
       "parameter 'diag_keep_his': history depth must be from 0 to 2147483647, not 4294967297"},
      // Refused while the command line is parsed.
      {"alias_in_params_file",
       {"diag_event_list:=[7]", record_dir},
       "Will not support aliasing at line 4",
       {"--params-file", WriteFile(
                             scratch.path() / "alias.yaml",
                             "/**:\n  ros__parameters:\n    l: &l [1, 1]\n    m: [*l, *l]\n")
                             .string()}},
      {"params_file_is_a_directory",
       {"diag_event_list:=[7]", record_dir},
       "Couldn't parse params file: '--params-file " + scratch.path().string() +
           "'. Error: Error parsing a event near line 0",
       {"--params-file", scratch.path().string()}},
      {"params_file_never_ends",
       {"diag_event_list:=[7]", record_dir},
       "Error parsing a event near line 0",
       {"--params-file", "/dev/zero"}},
      {"params_file_not_utf8",
       {"diag_event_list:=[7]", record_dir},
       "Error parsing a event near line 0",
       {"--params-file",
        WriteFile(scratch.path() / "latin1.yaml", "/**:\n  ros__parameters:\n    s: \"\xe9\"\n")
            .string()}},
      {"invalid_node_name_remap",
       {"diag_event_list:=[7]", record_dir},
       "Couldn't parse remap rule: '-r __node:=9x'",
       {"-r", "__node:=9x"}},
      {"invalid_topic_remap",
       {"diag_event_list:=[7]", record_dir},
       "Couldn't parse remap rule: '-r arm_driver_diag_topic:=9bad'",
       {"-r", "arm_driver_diag_topic:=9bad"}},
      {"invalid_service_remap",
       {"diag_event_list:=[7]", record_dir},
       "Couldn't parse remap rule: '-r rosservice://diagnostic_srv:=9x'",
       {"-r", "rosservice://diagnostic_srv:=9x"}},
      // Accepted by the parser, refused when the node takes its overrides.
      {"empty_map_value",
       {"diag_event_list:=[7]", record_dir},
       "No parameter value set",
       {"--params-file",
        WriteFile(scratch.path() / "empty_map.yaml", "/**:\n  ros__parameters:\n    key: {}\n")
            .string()}},
  };

  // All at once: each fails on its own during start-up.
  std::vector<std::unique_ptr<ChildProcess>> centres;
  for (const auto & startup : cases) {
    const auto output_dir = scratch.path() / startup.name;
    std::filesystem::create_directories(output_dir);
    centres.push_back(StartCentre(output_dir, startup.parameters, startup.extra_ros_args));
  }
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    ChildProcess & centre = *centres[i];
    const auto status = centre.WaitForExit(20s);
    ASSERT_TRUE(status.has_value()) << "still running; log:\n" << StderrTail(centre);
    EXPECT_TRUE(status->exited && status->code == 255) << status->Describe();
    EXPECT_EQ(centre.Stdout(), "diagnostic center init failed\n");

    const auto errors = LogMessages(centre.Stderr(), "ERROR");
    bool named = false;
    for (const auto & error : errors) {
      named = named || error.find(cases[i].expected_error) != std::string::npos;
    }
    EXPECT_TRUE(named) << "no ERROR line with \"" << cases[i].expected_error << "\"; log:\n"
                       << StderrTail(centre);
  }
}

}  // namespace
}  // namespace diagnostic_center_test
