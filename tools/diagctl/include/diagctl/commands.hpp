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

// The sub-commands of diagctl. Each takes the global options and the
// arguments after its name, prints its own --help, and returns an exit status.
#ifndef DIAGCTL__COMMANDS_HPP_
#define DIAGCTL__COMMANDS_HPP_

#include <optional>
#include <string>
#include <vector>

#include "diagctl/arg_parser.hpp"

namespace diagctl {

using CommandFunction = int (*)(const GlobalOptions &, const std::vector<std::string> &);

struct CommandInfo
{
  const char * name;
  const char * summary;
  CommandFunction run;
};

// Every sub-command, in the order the help lists them.
const std::vector<CommandInfo> & all_commands();

// Parses a sub-command's arguments. Returns the exit status when the command
// is already done (a usage error, reported, or --help, printed).
std::optional<int> parse_or_exit(
    ArgParser & parser, const std::string & name, const std::vector<std::string> & arguments);

int run_query(const GlobalOptions & global, const std::vector<std::string> & arguments);
int run_tree(const GlobalOptions & global, const std::vector<std::string> & arguments);
int run_watch(const GlobalOptions & global, const std::vector<std::string> & arguments);
int run_raise(const GlobalOptions & global, const std::vector<std::string> & arguments);
int run_clear(const GlobalOptions & global, const std::vector<std::string> & arguments);
int run_replay(const GlobalOptions & global, const std::vector<std::string> & arguments);
int run_fsm(const GlobalOptions & global, const std::vector<std::string> & arguments);
int run_records(const GlobalOptions & global, const std::vector<std::string> & arguments);
int run_dashboard(const GlobalOptions & global, const std::vector<std::string> & arguments);
int run_fleet(const GlobalOptions & global, const std::vector<std::string> & arguments);

}  // namespace diagctl

#endif  // DIAGCTL__COMMANDS_HPP_
