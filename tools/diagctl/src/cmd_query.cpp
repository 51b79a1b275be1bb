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
