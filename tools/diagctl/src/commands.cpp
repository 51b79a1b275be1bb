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

#include "diagctl/commands.hpp"

#include <iostream>

namespace diagctl {

const std::vector<CommandInfo> & all_commands()
{
  static const std::vector<CommandInfo> commands = {
      {"query", "ask diagnostic_srv for the current root causes", &run_query},
      {"tree", "the current diagnosis tree: root causes and what they caused", &run_tree},
      {"watch", "live view of current failures, root causes and exception handling", &run_watch},
      {"raise", "raise a fault on a module topic", &run_raise},
      {"clear", "clear a fault on a module topic", &run_clear},
      {"replay", "replay a scripted scenario of events and task-centre states", &run_replay},
      {"fsm", "publish a task-centre state-machine status", &run_fsm},
      {"records", "print fault-record files, filtered, as a table, CSV or JSON", &run_records},
      {"dashboard", "serve a read-only web page of the node and its fault records", &run_dashboard},
      {"fleet", "every diagnosis centre on the given domains, with its state", &run_fleet},
  };
  return commands;
}

std::optional<int> parse_or_exit(
    ArgParser & parser, const std::string & name, const std::vector<std::string> & arguments)
{
  std::string error;
  if (!parser.parse(arguments, error)) {
    std::cerr << "diagctl " << name << ": " << error << "\nTry 'diagctl " << name << " --help'.\n";
    return kExitUsage;
  }
  if (parser.help_requested()) {
    std::cout << parser.help_text();
    return kExitOk;
  }
  return std::nullopt;
}

}  // namespace diagctl
