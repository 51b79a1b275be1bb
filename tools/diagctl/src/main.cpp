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

// diagctl: the operator's command line for a running diagnosis centre.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "diagctl/arg_parser.hpp"
#include "diagctl/commands.hpp"

namespace {

void print_usage(std::ostream & out)
{
  out << "Usage: diagctl [global options] COMMAND [options] [--ros-args ...]\n\n"
         "See and drive a running diagnosis centre.\n\nCommands:\n";
  for (const diagctl::CommandInfo & command : diagctl::all_commands()) {
    const std::string name = command.name;
    out << "  " << name << std::string(name.size() < 10 ? 10 - name.size() : 1, ' ')
        << command.summary << '\n';
  }
  out << "\n"
      << diagctl::global_options_help()
      << "\nRun 'diagctl COMMAND --help' for the options of a command.\n";
}

}  // namespace

int main(int argc, char ** argv)
{
  const std::vector<std::string> arguments(argv, argv + argc);
  std::string error;
  const auto line = diagctl::parse_command_line(arguments, error);
  if (!line) {
    std::cerr << "diagctl: " << error << "\nTry 'diagctl --help'.\n";
    return diagctl::kExitUsage;
  }
  if (line->help || line->command == "help") {
    if (line->command == "help" && !line->arguments.empty()) {
      std::vector<std::string> help_of = {"--help"};
      for (const auto & command : diagctl::all_commands()) {
        if (line->arguments.front() == command.name) {
          return command.run(line->global, help_of);
        }
      }
    }
    print_usage(std::cout);
    return diagctl::kExitOk;
  }
  if (line->command.empty()) {
    print_usage(std::cerr);
    return diagctl::kExitUsage;
  }
  for (const auto & command : diagctl::all_commands()) {
    if (line->command == command.name) {
      try {
        return command.run(line->global, line->arguments);
      } catch (const std::exception & e) {
        std::cerr << "diagctl " << command.name << ": " << e.what() << '\n';
        return diagctl::kExitFailure;
      }
    }
  }
  std::cerr << "diagctl: unknown command \"" << line->command << "\"\nTry 'diagctl --help'.\n";
  return diagctl::kExitUsage;
}
