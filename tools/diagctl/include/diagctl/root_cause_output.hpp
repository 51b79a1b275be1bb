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
