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

// Cost of the RCLCPP_* macros: a disabled severity (the level check alone) and
// an enabled one written to /dev/null. Run on demand; prints its figures.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "rclcpp/logging.hpp"

namespace {

void disabled_debug(benchmark::State & state)
{
  const rclcpp::Logger logger = rclcpp::get_logger("bench.disabled");
  int value = 0;
  for (auto _ : state) {
    RCLCPP_DEBUG(logger, "receive event %d", ++value);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(disabled_debug);

void enabled_info_to_dev_null(benchmark::State & state)
{
  const rclcpp::Logger logger = rclcpp::get_logger("bench.enabled");
  int value = 0;
  for (auto _ : state) {
    RCLCPP_INFO(logger, "receive failure event : %d, desc: %s, status : %d", ++value, "text", 1);
  }
}
BENCHMARK(enabled_info_to_dev_null);

}  // namespace

int main(int argc, char ** argv)
{
  // Log lines go to stderr by default; keep them off the figures.
  if (std::freopen("/dev/null", "w", stderr) == nullptr) {
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks(benchmark::CreateDefaultDisplayReporter());
  return 0;
}
