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

}  // namespace diagctl

#endif  // DIAGCTL__COMMANDS_HPP_
