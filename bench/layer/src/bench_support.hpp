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

// Small helpers shared by the layer benchmarks.
#ifndef BENCH__LAYER__BENCH_SUPPORT_HPP_
#define BENCH__LAYER__BENCH_SUPPORT_HPP_

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace layer_bench {

inline std::int64_t monotonic_ns()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// User + system CPU time of this process so far, in seconds.
inline double process_cpu_seconds()
{
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The q-quantile (0..1) of `values`, nearest rank; 0 when empty.
inline double quantile(std::vector<double> values, double q)
{
  if (values.empty()) {
    return 0.0;
  }
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(rank, values.size() - 1)];
}

// Value of "--name=value" among the arguments, else `fallback`.
inline std::string option(
    int argc, char ** argv, const std::string & name, const std::string & fallback)
{
  const std::string prefix = "--" + name + "=";
  for (int i = 1; i < argc; i++) {
    const std::string arg = argv[i];
    if (arg.rfind(prefix, 0) == 0) {
      return arg.substr(prefix.size());
    }
  }
  return fallback;
}

inline double option_number(int argc, char ** argv, const std::string & name, double fallback)
{
  return std::stod(option(argc, argv, name, std::to_string(fallback)));
}

}  // namespace layer_bench

#endif  // BENCH__LAYER__BENCH_SUPPORT_HPP_
