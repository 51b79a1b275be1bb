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

// The node's fault table, read from its ROS parameter file.
//
// The file is the usual `<node>: ros__parameters:` YAML; every block that
// applies to the node (contract/parameter_file.hpp) is taken, later blocks
// overriding earlier ones. Names, defaults and the 32-bit truncation come from
// the node's contract, so the table here is the table the node runs with.
#ifndef DIAGCTL__FAULT_CONFIG_HPP_
#define DIAGCTL__FAULT_CONFIG_HPP_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "diagnostic_center/contract/names.hpp"

namespace YAML {
class Node;
}

namespace diagctl {

struct FaultEntry
{
  std::int32_t fault_id = 0;
  std::int32_t root_cause = 0;
  std::int64_t root_cause_time_dis_ms = diagnostic_center::contract::kDefaultRootCauseTimeDisMs;
  std::string description;
};

class FaultConfig
{
public:
  // On failure returns nothing and sets `error` (naming the file or parameter).
  static std::optional<FaultConfig> load_file(const std::string & path, std::string & error);
  static std::optional<FaultConfig> parse(const std::string & yaml_text, std::string & error);

  const std::vector<FaultEntry> & entries() const { return entries_; }
  const FaultEntry * find(std::int32_t fault_id) const;
  // Faults configured with `fault_id` as their root cause, itself excluded,
  // in configuration order.
  std::vector<const FaultEntry *> consequences_of(std::int32_t fault_id) const;
  const std::string & record_dir() const { return record_dir_; }

private:
  static std::optional<FaultConfig> from_yaml(const YAML::Node & root, std::string & error);

  std::vector<FaultEntry> entries_;
  std::string record_dir_ = diagnostic_center::contract::kDefaultRecordDir;
};

}  // namespace diagctl

#endif  // DIAGCTL__FAULT_CONFIG_HPP_
