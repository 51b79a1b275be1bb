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

// diagctl query: the current root causes, from the node's query service.
#include <iostream>

#include "diagctl/commands.hpp"
#include "diagctl/root_cause_output.hpp"
#include "diagctl/root_cause_query.hpp"

namespace diagctl {

int run_query(const GlobalOptions & global, const std::vector<std::string> & arguments)
{
  ArgParser parser(
      "diagctl query [options]",
      "Ask diagnostic_srv for the current root causes and print them. With the\n"
      "node's parameter file, each comes with its description and the faults\n"
      "configured as its consequences. Fails (status 1) when the service does not\n"
      "answer within the timeout.",
      {
          {"params", 'p', "FILE", "the node's parameter file, for descriptions and consequences"},
          {"json", '\0', "", "print JSON: {\"root_causes\": [{\"fault_id\": N, ...}]}"},
      });
  if (const auto exit = parse_or_exit(parser, "query", arguments)) {
    return *exit;
  }
  std::string error;
  std::optional<FaultConfig> config;
  if (const auto params = parser.value("params")) {
    config = FaultConfig::load_file(*params, error);
    if (!config) {
      std::cerr << "diagctl query: " << error << '\n';
      return kExitFailure;
    }
  }

  RosSession session(global);
  const auto root_causes = query_root_causes(session, global.timeout, error);
  if (!root_causes) {
    std::cerr << "diagctl query: " << error << '\n';
    return kExitFailure;
  }
  write_root_causes(
      std::cout, *root_causes, config ? &*config : nullptr,
      parser.has("json") ? OutputFormat::kJson : OutputFormat::kTable);
  return kExitOk;
}

}  // namespace diagctl
