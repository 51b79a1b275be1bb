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
