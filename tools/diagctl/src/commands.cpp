#include "diagctl/commands.hpp"

namespace diagctl {

const std::vector<CommandInfo> & all_commands()
{
  static const std::vector<CommandInfo> commands = {
      {"records", "print fault-record files, filtered, as a table, CSV or JSON", &run_records},
  };
  return commands;
}

}  // namespace diagctl
