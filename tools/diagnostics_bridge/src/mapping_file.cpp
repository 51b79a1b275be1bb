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

#include "diagnostics_bridge/mapping_file.hpp"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <utility>

#include "diagnostic_center/contract/names.hpp"

namespace diagnostics_bridge {

namespace {

namespace contract = diagnostic_center::contract;

constexpr const char * kMappingKeys[] = {"fault_id",     "topic",       "name",
                                         "name_pattern", "hardware_id", "hardware_id_pattern",
                                         "warn",         "stale"};

// Errors about one place of the file, prefixed with "<origin>:<line>: ".
class Reporter
{
public:
  explicit Reporter(std::string origin) : origin_(std::move(origin)) {}

  [[noreturn]] void Fail(const YAML::Node & where, const std::string & what) const
  {
    const YAML::Mark mark = where.Mark();
    std::string place = origin_;
    if (!mark.is_null()) {
      place += ":" + std::to_string(mark.line + 1);
    }
    throw MappingError(place + ": " + what);
  }

  [[noreturn]] void Fail(const std::string & what) const
  {
    throw MappingError(origin_ + ": " + what);
  }

private:
  std::string origin_;
};

std::string ModuleTopicList()
{
  std::string list;
  for (const char * topic : contract::kModuleTopics) {
    list += list.empty() ? "" : ", ";
    list += topic;
  }
  return list;
}

bool IsModuleTopic(const std::string & topic)
{
  return std::any_of(
      contract::kModuleTopics.begin(), contract::kModuleTopics.end(),
      [&](const char * known) { return topic == known; });
}

std::string ScalarText(const Reporter & report, const YAML::Node & node, const std::string & where)
{
  if (!node.IsScalar()) {
    report.Fail(node, where + " must be a text");
  }
  return node.Scalar();
}

std::int32_t FaultId(const Reporter & report, const YAML::Node & node, const std::string & where)
{
  long long value = 0;
  const std::string text = ScalarText(report, node, where);
  std::size_t used = 0;
  try {
    value = std::stoll(text, &used, 10);
  } catch (const std::exception &) {
    used = 0;
  }
  if (used == 0 || used != text.size() || value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max()) {
    report.Fail(node, where + " must be a 32-bit signed integer, not '" + text + "'");
  }
  return static_cast<std::int32_t>(value);
}

LevelPolicy Policy(const Reporter & report, const YAML::Node & node, const std::string & where)
{
  const std::string text = ScalarText(report, node, where);
  if (text == "raise") {
    return LevelPolicy::kRaise;
  }
  if (text != "ignore") {
    report.Fail(node, where + " must be 'raise' or 'ignore', not '" + text + "'");
  }
  return LevelPolicy::kIgnore;
}

// "name"/"name_pattern" (or the hardware_id pair): at most one of the two.
std::optional<Selector> ReadSelector(
    const Reporter & report, const YAML::Node & mapping, const std::string & where,
    const std::string & field)
{
  const std::string pattern_field = field + "_pattern";
  const YAML::Node exact = mapping[field];
  const YAML::Node pattern = mapping[pattern_field];
  if (exact && pattern) {
    report.Fail(mapping, where + " has both " + field + " and " + pattern_field + ": give one");
  }
  if (exact) {
    return Selector::Exact(ScalarText(report, exact, where + "." + field));
  }
  if (pattern) {
    const std::string text = ScalarText(report, pattern, where + "." + pattern_field);
    try {
      return Selector::Pattern(NamePattern(text));
    } catch (const std::invalid_argument & error) {
      report.Fail(
          pattern,
          where + "." + pattern_field + " '" + text + "' is not a valid pattern: " + error.what());
    }
  }
  return std::nullopt;
}

Mapping ReadMapping(const Reporter & report, const YAML::Node & node, const std::string & where)
{
  if (!node.IsMap()) {
    report.Fail(node, where + " must be a map of fault_id, topic and selectors");
  }
  for (const auto & entry : node) {
    const std::string key = entry.first.as<std::string>();
    if (std::find(std::begin(kMappingKeys), std::end(kMappingKeys), key) ==
        std::end(kMappingKeys)) {
      report.Fail(entry.first, where + " has an unknown key '" + key + "'");
    }
  }
  Mapping mapping;
  if (!node["fault_id"]) {
    report.Fail(node, where + " has no fault_id");
  }
  mapping.fault_id = FaultId(report, node["fault_id"], where + ".fault_id");
  if (!node["topic"]) {
    report.Fail(node, where + " has no topic");
  }
  mapping.topic = ScalarText(report, node["topic"], where + ".topic");
  if (!IsModuleTopic(mapping.topic)) {
    report.Fail(
        node["topic"], where + ".topic '" + mapping.topic +
                           "' is not a module topic of the diagnosis centre (" + ModuleTopicList() +
                           ")");
  }
  mapping.name = ReadSelector(report, node, where, "name");
  mapping.hardware_id = ReadSelector(report, node, where, "hardware_id");
  if (!mapping.name && !mapping.hardware_id) {
    report.Fail(
        node, where +
                  " selects no status: give name, name_pattern, hardware_id or "
                  "hardware_id_pattern");
  }
  if (node["warn"]) {
    mapping.warn = Policy(report, node["warn"], where + ".warn");
  }
  if (node["stale"]) {
    mapping.stale = Policy(report, node["stale"], where + ".stale");
  }
  return mapping;
}

}  // namespace

Selector Selector::Exact(std::string text)
{
  Selector selector;
  selector.exact_ = std::move(text);
  return selector;
}

Selector Selector::Pattern(NamePattern pattern)
{
  Selector selector;
  selector.pattern_ = std::move(pattern);
  return selector;
}

bool Selector::Matches(const std::string & value) const
{
  return pattern_ ? pattern_->Matches(value) : value == exact_;
}

std::string Selector::Describe(const char * field) const
{
  return pattern_ ? std::string(field) + "_pattern '" + pattern_->text() + "'"
                  : std::string(field) + " '" + exact_ + "'";
}

bool Mapping::Selects(const std::string & status_name, const std::string & status_hardware_id) const
{
  return (!name || name->Matches(status_name)) &&
         (!hardware_id || hardware_id->Matches(status_hardware_id));
}

namespace {

std::vector<Mapping> ReadMappings(const std::string & yaml_text, const Reporter & report)
{
  YAML::Node root;
  try {
    root = YAML::Load(yaml_text);
  } catch (const YAML::Exception & error) {
    report.Fail(
        "not valid YAML: " + error.msg + " (line " + std::to_string(error.mark.line + 1) + ")");
  }
  if (!root.IsMap() || !root["mappings"]) {
    report.Fail("the file must be a map with the key 'mappings'");
  }
  for (const auto & entry : root) {
    if (entry.first.as<std::string>() != "mappings") {
      report.Fail(entry.first, "unknown key '" + entry.first.as<std::string>() + "'");
    }
  }
  const YAML::Node list = root["mappings"];
  if (!list.IsSequence() || list.size() == 0) {
    report.Fail(list, "'mappings' must be a list of at least one mapping");
  }
  std::vector<Mapping> mappings;
  std::map<std::int32_t, std::size_t> index_of_fault;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string where = "mappings[" + std::to_string(i) + "]";
    Mapping mapping = ReadMapping(report, list[i], where);
    const auto [first, inserted] = index_of_fault.emplace(mapping.fault_id, i);
    if (!inserted) {
      report.Fail(
          list[i]["fault_id"], where + ".fault_id " + std::to_string(mapping.fault_id) +
                                   " is already mapped by mappings[" +
                                   std::to_string(first->second) + "]");
    }
    mappings.push_back(std::move(mapping));
  }
  return mappings;
}

}  // namespace

std::vector<Mapping> ParseMappings(const std::string & yaml_text, const std::string & origin)
{
  const Reporter report(origin);
  try {
    return ReadMappings(yaml_text, report);
  } catch (const YAML::Exception & error) {  // a key that is not a text, and the like
    report.Fail("not a mapping file: " + error.msg);
  }
}

std::vector<Mapping> LoadMappingFile(const std::string & path)
{
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    throw MappingError(path + ": not a regular file");
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw MappingError(path + ": cannot be read");
  }
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) {
    throw MappingError(path + ": read error");
  }
  return ParseMappings(text.str(), path);
}

}  // namespace diagnostics_bridge
