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

// The forwarder's dice: whether a frame is lost and, if not, how long it is
// held back. Seeded, so that a run's draws can be repeated.
#ifndef INTEROP__NETWORK__FORWARDER__FAULT_DRAWS_HPP_
#define INTEROP__NETWORK__FORWARDER__FAULT_DRAWS_HPP_

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>

#include "forwarder_options.hpp"

namespace link_forwarder {

class FaultDraws
{
public:
  explicit FaultDraws(std::uint64_t seed) : engine_(seed) {}

  // How long to hold the next frame under `impairment`, or nothing when it
  // is lost.
  std::optional<std::chrono::microseconds> Draw(const Impairment & impairment);

private:
  std::mt19937_64 engine_;
};

}  // namespace link_forwarder

#endif  // INTEROP__NETWORK__FORWARDER__FAULT_DRAWS_HPP_
