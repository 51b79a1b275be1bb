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

// Helpers shared by the client layer's tests; stateless, usable from any
// thread.
#ifndef LAYER_TEST_SUPPORT_HPP_
#define LAYER_TEST_SUPPORT_HPP_

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace layer_test {

// The what() of the `Exception` that `function` throws, or "<no exception>".
// Exceptions of other types pass through and fail the test.
template <typename Exception, typename Function>
std::string what_of(Function function)
{
  try {
    function();
  } catch (const Exception & error) {
    return error.what();
  }
  return "<no exception>";
}

// True when `text` begins with `prefix` (std::string has no starts_with in C++17).
inline bool starts_with(const std::string & text, const std::string & prefix)
{
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Polls `condition` every millisecond until it holds (true) or `timeout`
// passes (false). `condition` runs on the caller's thread.
inline bool wait_until(
    const std::function<bool()> & condition,
    std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace layer_test

#endif  // LAYER_TEST_SUPPORT_HPP_
