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

// Samples from the network that the layer could not decode. They are
// dropped, counted here and never reach a callback.
#ifndef CLIENT_LAYER__SAMPLE_COUNTERS_HPP_
#define CLIENT_LAYER__SAMPLE_COUNTERS_HPP_

#include <cstdint>

namespace client_layer {

// Malformed samples dropped by subscriptions, services and clients of this process.
std::uint64_t dropped_malformed_samples();

void count_malformed_sample();

}  // namespace client_layer

#endif  // CLIENT_LAYER__SAMPLE_COUNTERS_HPP_
