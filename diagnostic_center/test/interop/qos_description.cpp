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

#include "qos_description.hpp"

#include <sstream>
#include <stdexcept>

namespace protocol_peer {
namespace {

constexpr const char * kKeepLast = "keep_last:";

std::size_t ParseDepth(const std::string & word)
{
  const std::string digits = word.substr(std::string(kKeepLast).size());
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
    throw std::invalid_argument("QoS: bad history depth in '" + word + "'");
  }
  return std::stoul(digits);
}

}  // namespace

rclcpp::QoS ParseQos(const std::string & description)
{
  rclcpp::QoS qos(rclcpp::KeepAll{});
  bool reliability = false, history = false, durability = false;
  std::istringstream words(description);
  for (std::string word; std::getline(words, word, ',');) {
    if (word == "reliable" || word == "best_effort") {
      qos.reliability(
          word == "reliable" ? rclcpp::ReliabilityPolicy::Reliable
                             : rclcpp::ReliabilityPolicy::BestEffort);
      reliability = true;
    } else if (word == "keep_all") {
      qos.keep_all();
      history = true;
    } else if (word.rfind(kKeepLast, 0) == 0) {
      qos.keep_last(ParseDepth(word));
      history = true;
    } else if (word == "volatile" || word == "transient_local") {
      qos.durability(
          word == "volatile" ? rclcpp::DurabilityPolicy::Volatile
                             : rclcpp::DurabilityPolicy::TransientLocal);
      durability = true;
    } else {
      throw std::invalid_argument("QoS: unknown word '" + word + "' in '" + description + "'");
    }
  }
  if (!reliability || !history || !durability) {
    throw std::invalid_argument(
        "QoS: '" + description + "' must name reliability, history and durability");
  }
  return qos;
}

}  // namespace protocol_peer
