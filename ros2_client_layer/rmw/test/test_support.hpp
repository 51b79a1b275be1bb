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

// Shared helpers of the transport tests.
#ifndef CLIENT_LAYER__RMW__TEST_SUPPORT_HPP_
#define CLIENT_LAYER__RMW__TEST_SUPPORT_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "layer_test_support.hpp"
#include "rmw/types.h"

namespace client_layer::rmw::test {

// ROS_DOMAIN_ID as set for the test (0 when unset).
std::uint32_t test_domain_id();

using layer_test::wait_until;

rmw_qos_profile_t reliable_keep_last(std::size_t depth);
rmw_qos_profile_t reliable_keep_all();

// An encapsulation header (little-endian CDR) followed by `body`.
std::vector<std::uint8_t> sample_with_body(const std::vector<std::uint8_t> & body);

constexpr const char * kBytesType = "test_msgs::msg::dds_::Bytes_";

}  // namespace client_layer::rmw::test

#endif  // CLIENT_LAYER__RMW__TEST_SUPPORT_HPP_
