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

#include "diagctl/scenario.hpp"

#include <yaml-cpp/yaml.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "diagctl/event_values.hpp"
#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {

namespace contract = diagnostic_center::contract;

namespace {

// Thrown inside the parser only; turned into the error text at its edge.
struct StepError : std::runtime_error
{
  using std::runtime_error::runtime_error;
};

std::int32_t as_int32(const YAML::Node & node, const std::string & what)
{
  try {
    return node.as<std::int32_t>();
  } catch (const YAML::Exception &) {
    throw StepError(what + " must be a 32-bit integer");
  }
}

void read_event(const YAML::Node & node, const char * key, std::int32_t status, ScenarioStep & step)
{
  step.kind = ScenarioStep::Kind::kEvent;
  step.status = status;
  step.fault_id = as_int32(node[key], std::string("\"") + key + "\"");
  if (!node["module"]) {
    throw StepError("\"module\" is missing");
  }
  const std::string module = node["module"].as<std::string>();
  const auto topic = module_topic(module);
  if (!topic) {
    throw StepError("unknown module \"" + module + "\" (one of " + module_names() + ")");
  }
  step.topic = *topic;
  if (node["msg"]) {
    step.message = node["msg"].as<std::string>();
  }
}

void read_fsm(const YAML::Node & fsm, ScenarioStep & step)
{
  step.kind = ScenarioStep::Kind::kFsm;
  if (fsm.IsSequence() && fsm.size() == 2) {
    step.fsm_state = as_int32(fsm[0], "\"fsm\" state");
    step.fsm_sub_state = as_int32(fsm[1], "\"fsm\" sub-state");
  } else if (fsm.IsMap() && fsm["state"]) {
    step.fsm_state = as_int32(fsm["state"], "\"fsm\" state");
    step.fsm_sub_state = fsm["sub_state"] ? as_int32(fsm["sub_state"], "\"fsm\" sub_state") : 0;
  } else {
    throw StepError("\"fsm\" must be [state, sub_state] or {state: S, sub_state: T}");
  }
}

ScenarioStep read_step(const YAML::Node & node)
{
  if (!node.IsMap()) {
    throw StepError("is not a map");
  }
  ScenarioStep step;
  double at = 0;
  try {
    at = node["at"].as<double>();
  } catch (const YAML::Exception &) {
    throw StepError("\"at\" (seconds from the start) is missing or not a number");
  }
  if (!std::isfinite(at) || at < 0 || at > 86400) {
    throw StepError("\"at\" must be between 0 and 86400 seconds");
  }
  step.at = std::chrono::nanoseconds(std::llround(at * 1e9));
  const int kinds = (node["raise"] ? 1 : 0) + (node["clear"] ? 1 : 0) + (node["fsm"] ? 1 : 0);
  if (kinds != 1) {
    throw StepError("needs exactly one of \"raise\", \"clear\" or \"fsm\"");
  }
  if (node["raise"]) {
    read_event(node, "raise", 1, step);
  } else if (node["clear"]) {
    read_event(node, "clear", 0, step);
  } else {
    read_fsm(node["fsm"], step);
  }
  return step;
}

}  // namespace

std::optional<Scenario> parse_scenario(const std::string & yaml_text, std::string & error)
{
  YAML::Node root;
  try {
    root = YAML::Load(yaml_text);
  } catch (const YAML::Exception & e) {
    error = e.what();
    return std::nullopt;
  }
  if (!root.IsMap() || !root["steps"] || !root["steps"].IsSequence()) {
    error = "a scenario is a map with a list \"steps\"";
    return std::nullopt;
  }
  Scenario scenario;
  if (root["description"]) {
    scenario.description = root["description"].as<std::string>();
  }
  std::size_t index = 0;
  try {
    for (const auto & node : root["steps"]) {
      ++index;
      ScenarioStep step = read_step(node);
      if (!scenario.steps.empty() && step.at < scenario.steps.back().at) {
        throw StepError("\"at\" is earlier than the step before");
      }
      scenario.steps.push_back(std::move(step));
    }
  } catch (const std::exception & e) {
    error = "step " + std::to_string(index) + ": " + e.what();
    return std::nullopt;
  }
  return scenario;
}

std::optional<Scenario> load_scenario(const std::string & path, std::string & error)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot be opened";
    return std::nullopt;
  }
  std::ostringstream text;
  text << in.rdbuf();
  auto scenario = parse_scenario(text.str(), error);
  if (!scenario) {
    error = path + ": " + error;
  }
  return scenario;
}

std::string describe_step(const ScenarioStep & step)
{
  if (step.kind == ScenarioStep::Kind::kFsm) {
    return "fsm " + std::to_string(step.fsm_state) + " " + std::to_string(step.fsm_sub_state) +
           " on fsm_status";
  }
  std::string text = std::string(step.status == 1 ? "raise " : "clear ") +
                     std::to_string(step.fault_id) + " on " + step.topic;
  if (!step.message.empty()) {
    text += ": " + contract::EscapeRecordText(step.message);
  }
  return text;
}

}  // namespace diagctl
