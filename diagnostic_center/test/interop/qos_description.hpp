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

// QoS profiles written as text on a command line, e.g.
// "reliable,keep_last:3,transient_local" or "best_effort,keep_all,volatile":
// reliability, history and durability, in any order; the rest stays at the
// rclcpp defaults.
#ifndef DIAGNOSTIC_CENTER__TEST__INTEROP__QOS_DESCRIPTION_HPP_
#define DIAGNOSTIC_CENTER__TEST__INTEROP__QOS_DESCRIPTION_HPP_

#include <string>

#include "rclcpp/qos.hpp"

namespace protocol_peer {

// Throws std::invalid_argument naming the word it does not understand, or
// the policy that is missing.
rclcpp::QoS ParseQos(const std::string & description);

}  // namespace protocol_peer

#endif  // DIAGNOSTIC_CENTER__TEST__INTEROP__QOS_DESCRIPTION_HPP_
