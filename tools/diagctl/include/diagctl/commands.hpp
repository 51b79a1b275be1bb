// The sub-commands of diagctl. Each takes the global options and the
// arguments after its name, prints its own --help, and returns an exit status.
#ifndef DIAGCTL__COMMANDS_HPP_
#define DIAGCTL__COMMANDS_HPP_

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

int run_records(const GlobalOptions & global, const std::vector<std::string> & arguments);

}  // namespace diagctl

#endif  // DIAGCTL__COMMANDS_HPP_
