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

#include "domain_id.hpp"

#include <cstdlib>
#include <stdexcept>

namespace client_layer {

std::uint32_t parse_domain_id(const std::string & value)
{
  if (value.empty()) {
    return 0;
  }
  std::uint64_t number = 0;
  for (char c : value) {
    if (c < '0' || c > '9') {
      throw std::runtime_error("ROS_DOMAIN_ID is not an integral number: '" + value + "'");
    }
    number = number * 10 + static_cast<std::uint64_t>(c - '0');
    if (number > kMaxDomainId) {
      throw std::runtime_error(
          "ROS_DOMAIN_ID is out of range: '" + value + "' (valid: 0 to " +
          std::to_string(kMaxDomainId) + ")");
    }
  }
  return static_cast<std::uint32_t>(number);
}

std::uint32_t domain_id_from_environment()
{
  const char * value = std::getenv("ROS_DOMAIN_ID");
  return parse_domain_id(value == nullptr ? std::string() : std::string(value));
}

}  // namespace client_layer
