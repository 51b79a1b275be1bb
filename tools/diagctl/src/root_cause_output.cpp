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

#include "diagctl/root_cause_output.hpp"

#include <string>

#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {

namespace contract = diagnostic_center::contract;

namespace {

constexpr const char * kUnknown = "(not in the configuration)";

std::string description_of(const FaultConfig & config, std::int32_t fault_id)
{
  const FaultEntry * entry = config.find(fault_id);
  return entry ? contract::EscapeRecordText(entry->description) : kUnknown;
}

void write_table(
    std::ostream & out, const std::vector<std::int32_t> & root_causes, const FaultConfig * config)
{
  if (root_causes.empty()) {
    out << "no root causes\n";
    return;
  }
  TextTable table(
      config ? std::vector<std::string>{"ROOT_CAUSE", "DESCRIPTION", "KNOWN_CONSEQUENCES"}
             : std::vector<std::string>{"ROOT_CAUSE"});
  for (const std::int32_t id : root_causes) {
    if (!config) {
      table.add_row({std::to_string(id)});
      continue;
    }
    std::string consequences;
    for (const FaultEntry * entry : config->consequences_of(id)) {
      consequences += (consequences.empty() ? "" : ", ") + std::to_string(entry->fault_id);
      if (!entry->description.empty()) {
        consequences += " (" + contract::EscapeRecordText(entry->description) + ")";
      }
    }
    table.add_row({std::to_string(id), description_of(*config, id), consequences});
  }
  table.print(out);
}

void write_json(
    std::ostream & out, const std::vector<std::int32_t> & root_causes, const FaultConfig * config)
{
  out << "{\"root_causes\": [";
  const char * separator = "";
  for (const std::int32_t id : root_causes) {
    out << separator << "{\"fault_id\": " << id;
    separator = ", ";
    if (!config) {
      out << '}';
      continue;
    }
    const FaultEntry * entry = config->find(id);
    out << ", \"description\": " << (entry ? json_string(entry->description) : "null")
        << ", \"known_consequences\": [";
    const char * inner = "";
    for (const FaultEntry * consequence : config->consequences_of(id)) {
      out << inner << "{\"fault_id\": " << consequence->fault_id
          << ", \"description\": " << json_string(consequence->description) << '}';
      inner = ", ";
    }
    out << "]}";
  }
  out << "]}\n";
}

}  // namespace

void write_root_causes(
    std::ostream & out, const std::vector<std::int32_t> & root_causes, const FaultConfig * config,
    OutputFormat format)
{
  if (format == OutputFormat::kJson) {
    write_json(out, root_causes, config);
  } else {
    write_table(out, root_causes, config);
  }
}

}  // namespace diagctl
