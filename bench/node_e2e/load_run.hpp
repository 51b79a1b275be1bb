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

// Flood and soak: the node under a steady stream of events over the twelve
// module topics, with what it received, what it answered, its resident set
// and its CPU time printed at the end.
#ifndef BENCH__NODE_E2E__LOAD_RUN_HPP_
#define BENCH__NODE_E2E__LOAD_RUN_HPP_

#include <cstddef>
#include <string>

namespace node_e2e_bench {

struct LoadPlan
{
  std::string name;  // prefix of every printed line
  std::size_t events = 0;
  double rate = 0;             // events per second
  double report_every_s = 60;  // period of the RSS progress lines
};

// Runs `plan` against a fresh node; 0 when the run could be made, whatever
// its figures.
int RunLoad(const LoadPlan & plan);

}  // namespace node_e2e_bench

#endif  // BENCH__NODE_E2E__LOAD_RUN_HPP_
