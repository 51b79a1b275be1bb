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

#include "diagctl/fault_config.hpp"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <map>
#include <stdexcept>

#include "diagnostic_center/contract/parameter_file.hpp"

namespace diagctl {

namespace {

namespace contract = diagnostic_center::contract;
using ParameterMap = std::map<std::string, YAML::Node>;

// Walks nested namespace keys down to every "ros__parameters" block.
void collect_parameters(const YAML::Node & node, const std::string & path, ParameterMap & out)
{
  if (!node.IsMap()) {
    return;
  }
  for (const auto & item : node) {
    const std::string key = item.first.as<std::string>();
    if (key == contract::kParametersKey) {
      if (contract::ParametersBlockApplies(path) && item.second.IsMap()) {
        for (const auto & parameter : item.second) {
          out[parameter.first.as<std::string>()] = parameter.second;
        }
      }
    } else {
      collect_parameters(item.second, path.empty() ? key : path + "/" + key, out);
    }
  }
}

template <typename T>
T value_or(const ParameterMap & parameters, const std::string & name, T fallback)
{
  const auto found = parameters.find(name);
  if (found == parameters.end()) {
    return fallback;
  }
  try {
    return found->second.as<T>();
  } catch (const YAML::Exception &) {
    throw std::runtime_error("parameter \"" + name + "\" has the wrong type");
  }
}

}  // namespace

std::optional<FaultConfig> FaultConfig::load_file(const std::string & path, std::string & error)
{
  YAML::Node root;
  try {
    root = YAML::LoadFile(path);
  } catch (const YAML::Exception & e) {
    error = path + ": " + e.what();
    return std::nullopt;
  }
  auto config = from_yaml(root, error);
  if (!config) {
    error = path + ": " + error;
  }
  return config;
}

std::optional<FaultConfig> FaultConfig::parse(const std::string & yaml_text, std::string & error)
{
  try {
    return from_yaml(YAML::Load(yaml_text), error);
  } catch (const YAML::Exception & e) {
    error = e.what();
    return std::nullopt;
  }
}

std::optional<FaultConfig> FaultConfig::from_yaml(const YAML::Node & root, std::string & error)
{
  try {
    ParameterMap parameters;
    collect_parameters(root, "", parameters);
    const auto list = parameters.find(contract::kFaultListParam);
    if (list == parameters.end() || !list->second.IsSequence()) {
      error = std::string("no integer list \"") + contract::kFaultListParam + "\" for node \"" +
              contract::kNodeName + "\"";
      return std::nullopt;
    }
    FaultConfig config;
    config.record_dir_ =
        value_or<std::string>(parameters, contract::kRecordDirParam, contract::kDefaultRecordDir);
    for (const auto & element : list->second) {
      std::int64_t raw = 0;
      try {
        raw = element.as<std::int64_t>();
      } catch (const YAML::Exception &) {
        error = std::string("\"") + contract::kFaultListParam +
                "\" holds a value that is not an integer";
        return std::nullopt;
      }
      // The node keys everything by the low 32 bits.
      const auto fault_id = static_cast<std::int32_t>(static_cast<std::uint32_t>(raw));
      if (config.find(fault_id) != nullptr) {
        continue;
      }
      const std::string prefix = contract::FaultParamPrefix(raw);
      FaultEntry entry;
      entry.fault_id = fault_id;
      entry.root_cause = static_cast<std::int32_t>(static_cast<std::uint32_t>(
          value_or<std::int64_t>(parameters, prefix + contract::kRootCauseSuffix, fault_id)));
      entry.root_cause_time_dis_ms = value_or<std::int64_t>(
          parameters, prefix + contract::kRootCauseTimeDisSuffix,
          contract::kDefaultRootCauseTimeDisMs);
      entry.description =
          value_or<std::string>(parameters, prefix + contract::kDescriptionSuffix, "");
      config.entries_.push_back(std::move(entry));
    }
    return config;
  } catch (const std::exception & e) {
    error = e.what();
    return std::nullopt;
  }
}

const FaultEntry * FaultConfig::find(std::int32_t fault_id) const
{
  const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const FaultEntry & entry) {
    return entry.fault_id == fault_id;
  });
  return found == entries_.end() ? nullptr : &*found;
}

std::vector<const FaultEntry *> FaultConfig::consequences_of(std::int32_t fault_id) const
{
  std::vector<const FaultEntry *> consequences;
  for (const FaultEntry & entry : entries_) {
    if (entry.root_cause == fault_id && entry.fault_id != fault_id) {
      consequences.push_back(&entry);
    }
  }
  return consequences;
}

}  // namespace diagctl
