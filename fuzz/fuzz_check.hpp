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

// Broken invariants in a fuzz target: say which, then abort, so that
// libFuzzer keeps the input that broke it as a crash.
#ifndef FUZZ__FUZZ_CHECK_HPP_
#define FUZZ__FUZZ_CHECK_HPP_

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

[[noreturn]] inline void fail(const std::string & what)
{
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what.c_str());
  std::abort();
}

// The message is put together from `parts` only when the check fails, so
// that checking costs nothing on the inputs that pass.
template <typename... Parts>
void check(bool condition, const Parts &... parts)
{
  if (!condition) {
    std::string what;
    (what += ... += parts);
    fail(what);
  }
}

}  // namespace fuzz

#endif  // FUZZ__FUZZ_CHECK_HPP_
