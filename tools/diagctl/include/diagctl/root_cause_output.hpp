// Printing of the root causes the query service reports, with their
// descriptions and known consequences when the node's configuration is known.
#ifndef DIAGCTL__ROOT_CAUSE_OUTPUT_HPP_
#define DIAGCTL__ROOT_CAUSE_OUTPUT_HPP_

#include <cstdint>
#include <ostream>
#include <vector>

#include "diagctl/fault_config.hpp"
#include "diagctl/output_format.hpp"

namespace diagctl {

// `config` may be null. Table output lists one root cause per line; JSON is
// {"root_causes": [{"fault_id": N, "description": "...",
//   "known_consequences": [{"fault_id": M, "description": "..."}]}]},
// descriptions and consequences only with a configuration.
void write_root_causes(
    std::ostream & out, const std::vector<std::int32_t> & root_causes, const FaultConfig * config,
    OutputFormat format);

}  // namespace diagctl

#endif  // DIAGCTL__ROOT_CAUSE_OUTPUT_HPP_
