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

// Scripted scenarios: a timed list of diagnostic events and task-centre
// states, replayed by `diagctl replay`.
//
//   description: arm overheat cascade        # optional
//   steps:
//     - {at: 0.0, raise: 1001, module: arm_driver, msg: "motor 3 at 92 C"}
//     - {at: 0.2, clear: 1001, module: arm_driver}
//     - {at: 1.0, fsm: [2, 2]}                # fsm_state, fsm_sub_state
//
// `at` is in seconds from the start of the replay, in non-decreasing order.
#ifndef DIAGCTL__SCENARIO_HPP_
#define DIAGCTL__SCENARIO_HPP_

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace diagctl {

struct ScenarioStep
{
  enum class Kind
  {
    kEvent,
    kFsm,
  };

  std::chrono::nanoseconds at{0};
  Kind kind = Kind::kEvent;
  // kEvent
  std::string topic;
  std::int32_t fault_id = 0;
  std::int32_t status = 0;  // 1 raise, 0 clear
  std::string message;
  // kFsm
  std::int32_t fsm_state = 0;
  std::int32_t fsm_sub_state = 0;
};

struct Scenario
{
  std::string description;
  std::vector<ScenarioStep> steps;
};

// On failure returns nothing and sets `error`, naming the step.
std::optional<Scenario> parse_scenario(const std::string & yaml_text, std::string & error);
std::optional<Scenario> load_scenario(const std::string & path, std::string & error);

// One line describing a step, e.g. "raise 1001 on arm_driver_diag_topic: msg".
std::string describe_step(const ScenarioStep & step);

}  // namespace diagctl

#endif  // DIAGCTL__SCENARIO_HPP_
