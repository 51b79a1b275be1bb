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

// Scenario files, event values and the query/watch printers.
#include <gtest/gtest.h>

#include <sstream>

#include "diagctl/event_values.hpp"
#include "diagctl/root_cause_output.hpp"
#include "diagctl/scenario.hpp"
#include "diagctl/watch_view.hpp"

namespace diagctl {
namespace {

using std::chrono::milliseconds;

TEST(Scenario, ReadsEventsAndFsmSteps)
{
  std::string error;
  const auto scenario = parse_scenario(
      R"(
description: cascade
steps:
  - {at: 0, raise: 1001, module: arm_driver, msg: "hot\nmotor"}
  - {at: 0.25, clear: -5, module: monitor_diag_topic}
  - {at: 0.25, fsm: [2, 2]}
  - {at: 1.5, fsm: {state: 3}}
)",
      error);
  ASSERT_TRUE(scenario) << error;
  EXPECT_EQ(scenario->description, "cascade");
  std::vector<std::string> steps;
  for (const ScenarioStep & step : scenario->steps) {
    const auto at = std::chrono::duration_cast<milliseconds>(step.at).count();
    steps.push_back(std::to_string(at) + " ms " + describe_step(step));
  }
  EXPECT_EQ(
      steps, (std::vector<std::string>{
                 "0 ms raise 1001 on arm_driver_diag_topic: hot\\nmotor",
                 "250 ms clear -5 on monitor_diag_topic", "250 ms fsm 2 2 on fsm_status",
                 "1500 ms fsm 3 0 on fsm_status"}));
  EXPECT_EQ(scenario->steps[0].message, "hot\nmotor");  // a newline, escaped when described
  EXPECT_EQ(scenario->steps[0].status, 1);
  EXPECT_EQ(scenario->steps[1].status, 0);
}

TEST(Scenario, NamesTheFaultyStep)
{
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"steps: 3", "list \"steps\""},
      {"steps: [{raise: 1, module: arm_driver}]", "step 1: \"at\""},
      {"steps: [{at: -1, raise: 1, module: arm_driver}]", "step 1: \"at\" must be"},
      {"steps: [{at: 0, raise: 1, module: arm_driver}, {at: 1, raise: 1}]", "step 2: \"module\""},
      {"steps: [{at: 0, raise: 1, module: leg_driver}]", "unknown module \"leg_driver\""},
      {"steps: [{at: 0, raise: 1, clear: 1, module: arm_driver}]", "exactly one"},
      {"steps: [{at: 0, raise: 4294967296, module: arm_driver}]", "32-bit"},
      {"steps: [{at: 0, fsm: [1]}]", "\"fsm\" must be"},
      {"steps: [{at: 1, fsm: [1, 1]}, {at: 0.5, fsm: [1, 1]}]", "step 2: \"at\" is earlier"},
      {"steps: [unclosed", ""},
  };
  for (const auto & [text, expected] : cases) {
    std::string error;
    EXPECT_FALSE(parse_scenario(text, error)) << text;
    EXPECT_NE(error.find(expected), std::string::npos) << text << " -> " << error;
  }
}

TEST(EventValues, ModulesAndStamps)
{
  EXPECT_EQ(module_topic("chassis_loc"), "chassis_loc_diag_topic");
  EXPECT_EQ(module_topic("task_center_diag_topic"), "task_center_diag_topic");
  EXPECT_FALSE(module_topic("arm"));
  EXPECT_FALSE(module_topic("fsm_status"));

  const auto whole = parse_stamp("1780000000");
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->sec, 1780000000);
  EXPECT_EQ(whole->nanosec, 0u);
  const auto fraction = parse_stamp("12.000000005");
  ASSERT_TRUE(fraction);
  EXPECT_EQ(fraction->nanosec, 5u);
  const auto negative = parse_stamp("-1.25");
  ASSERT_TRUE(negative);
  EXPECT_EQ(negative->sec, -2);
  EXPECT_EQ(negative->nanosec, 750000000u);
  EXPECT_EQ(parse_stamp("-2147483648")->sec, INT32_MIN);
  for (const char * bad : {"", "2147483648", "1.", ".5", "1.0000000001", "1e9", "soon", "-"}) {
    EXPECT_FALSE(parse_stamp(bad)) << bad;
  }
  EXPECT_TRUE(parse_stamp("now"));
}

FaultConfig sample_config()
{
  std::string error;
  auto config = FaultConfig::parse(
      "diagnostic_center:\n  ros__parameters:\n    diag_event_list: [1001, 1002, 1003]\n"
      "    1001_description: \"arm \\\"hot\\\"\"\n    1002_root_cause: 1001\n"
      "    1002_description: joint\n    1003_root_cause: 1001\n",
      error);
  EXPECT_TRUE(config) << error;
  return config.value_or(FaultConfig{});
}

TEST(RootCauseOutput, TableAndJson)
{
  const FaultConfig config = sample_config();
  std::ostringstream table;
  write_root_causes(table, {1001, 7}, &config, OutputFormat::kTable);
  EXPECT_EQ(
      table.str(),
      "ROOT_CAUSE  DESCRIPTION                 KNOWN_CONSEQUENCES\n"
      "1001        arm \"hot\"                   1002 (joint), 1003\n"
      "7           (not in the configuration)\n");

  std::ostringstream json;
  write_root_causes(json, {1001, 7}, &config, OutputFormat::kJson);
  EXPECT_EQ(
      json.str(),
      R"({"root_causes": [{"fault_id": 1001, "description": "arm \"hot\"", "known_consequences": )"
      R"([{"fault_id": 1002, "description": "joint"}, {"fault_id": 1003, "description": ""}]}, )"
      R"({"fault_id": 7, "description": null, "known_consequences": []}]})"
      "\n");

  std::ostringstream bare;
  write_root_causes(bare, {-5}, nullptr, OutputFormat::kJson);
  EXPECT_EQ(bare.str(), "{\"root_causes\": [{\"fault_id\": -5}]}\n");
  std::ostringstream none;
  write_root_causes(none, {}, nullptr, OutputFormat::kTable);
  EXPECT_EQ(none.str(), "no root causes\n");
}

TEST(WatchView, ScreenMarksRootsAndKeepsTheLastRequests)
{
  const FaultConfig config = sample_config();
  WatchState state;
  ScreenOptions options{"/", "09:05:07.000", false};
  EXPECT_NE(
      render_watch_screen(state, &config, options).find("waiting for current_failure"),
      std::string::npos);

  state.current_failures = std::vector<std::int32_t>{1002, 1001};
  state.root_causes = std::vector<std::int32_t>{1001};
  for (int i = 0; i < 12; ++i) {
    state.add_exception_handle({"09:05:0" + std::to_string(i % 10), 1000 + i});
  }
  EXPECT_EQ(state.exception_handles.size(), WatchState::kExceptionHandlesKept);
  EXPECT_EQ(state.exception_handles.front().fault_id, 1002);

  const std::string screen = render_watch_screen(state, &config, options);
  EXPECT_NE(screen.find("  <-  1002  joint\n"), std::string::npos) << screen;
  EXPECT_NE(screen.find("ROOT  1001  arm \"hot\"\n"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("\x1b[1;31m"), std::string::npos);  // no colour asked
  options.colour = true;
  EXPECT_NE(
      render_watch_screen(state, &config, options).find("\x1b[1;31mROOT  1001\x1b[0m"),
      std::string::npos);

  state.root_causes.reset();
  EXPECT_NE(
      render_watch_screen(state, &config, options).find("service not answering"),
      std::string::npos);
  EXPECT_EQ(plain_watch_line("t", "current_failure", {1, -2}), "t current_failure 1 -2");
}

}  // namespace
}  // namespace diagctl
