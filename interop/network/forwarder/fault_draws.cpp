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

#include "fault_draws.hpp"

namespace link_forwarder {

std::optional<std::chrono::microseconds> FaultDraws::Draw(const Impairment & impairment)
{
  // Both draws always happen, so that a frame's fate does not shift the
  // dice of every later frame when the loss probability is 0 or 1.
  const bool lost = std::uniform_real_distribution<double>(0.0, 1.0)(engine_) < impairment.loss;
  const auto spread = impairment.jitter.count();
  const auto offset = std::uniform_int_distribution<std::int64_t>(-spread, spread)(engine_);
  if (lost) {
    return std::nullopt;
  }
  return impairment.delay + std::chrono::microseconds(offset);
}

}  // namespace link_forwarder
