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

// The ROS domain id as ROS_DOMAIN_ID gives it.
#ifndef CLIENT_LAYER__DOMAIN_ID_HPP_
#define CLIENT_LAYER__DOMAIN_ID_HPP_

#include <cstdint>
#include <string>

namespace client_layer {

// Highest domain id that DDS port mapping allows.
constexpr std::uint32_t kMaxDomainId = 232;

// Parses a ROS_DOMAIN_ID value; an empty value means 0.
// Throws std::runtime_error naming the problem for anything else than a
// decimal number in [0, kMaxDomainId].
std::uint32_t parse_domain_id(const std::string & value);

// The domain id from the environment (0 when ROS_DOMAIN_ID is unset).
std::uint32_t domain_id_from_environment();

}  // namespace client_layer

#endif  // CLIENT_LAYER__DOMAIN_ID_HPP_
