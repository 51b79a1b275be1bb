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

#include "test_support.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "rmw/qos_profiles.h"

namespace client_layer::rmw::test {

std::uint32_t test_domain_id()
{
  const char * value = std::getenv("ROS_DOMAIN_ID");
  return value != nullptr ? static_cast<std::uint32_t>(std::stoul(value)) : 0;
}

rmw_qos_profile_t reliable_keep_last(std::size_t depth)
{
  rmw_qos_profile_t qos = rmw_qos_profile_default;
  qos.depth = depth;
  return qos;
}

rmw_qos_profile_t reliable_keep_all()
{
  rmw_qos_profile_t qos = rmw_qos_profile_default;
  qos.history = RMW_QOS_POLICY_HISTORY_KEEP_ALL;
  return qos;
}

std::vector<std::uint8_t> sample_with_body(const std::vector<std::uint8_t> & body)
{
  std::vector<std::uint8_t> sample(4 + body.size(), 0);
  sample[1] = 0x01;
  std::copy(body.begin(), body.end(), sample.begin() + 4);
  return sample;
}

}  // namespace client_layer::rmw::test
