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

// The bridge node: reads /diagnostics, as diagnostic_updater publishes it,
// and reports the mapped faults to the diagnosis centre as
// DiagnosticEvents on its module topics.
//
// Parameter "mapping_file" (string, required): the mapping file (see
// mapping_file.hpp). Run it in the namespace of the centre it feeds.
#ifndef DIAGNOSTICS_BRIDGE__DIAGNOSTICS_BRIDGE_HPP_
#define DIAGNOSTICS_BRIDGE__DIAGNOSTICS_BRIDGE_HPP_

#include <cstddef>
#include <map>
#include <string>

#include "builtin_interfaces/msg/time.hpp"
#include "corvanta_protocol/msg/diagnostic_event.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "diagnostics_bridge/status_edges.hpp"
#include "rclcpp/rclcpp.hpp"

namespace diagnostics_bridge {

inline constexpr char kNodeName[] = "diagnostics_bridge";
inline constexpr char kMappingFileParam[] = "mapping_file";

class DiagnosticsBridge : public rclcpp::Node
{
public:
  // Throws std::runtime_error naming the parameter when the mapping file is
  // missing or refused.
  explicit DiagnosticsBridge(const rclcpp::NodeOptions & options = rclcpp::NodeOptions());

private:
  struct ModuleTopic
  {
    rclcpp::Publisher<corvanta_protocol::msg::DiagnosticEvent>::SharedPtr publisher;
    std::size_t subscribers = 0;
  };

  void OnDiagnostics(const diagnostic_msgs::msg::DiagnosticArray & array);
  // A centre that came (back) gets the current state of its faults.
  void NoticeNewSubscribers();
  // Sends what the centre does not have yet, where it listens.
  void SendUnsent(const builtin_interfaces::msg::Time & stamp);

  StatusEdges edges_;
  std::map<std::string, ModuleTopic> topics_;
  rclcpp::Subscription<diagnostic_msgs::msg::DiagnosticArray>::SharedPtr diagnostics_;
  rclcpp::TimerBase::SharedPtr retry_timer_;
  std::uint64_t untracked_reported_ = 0;
};

}  // namespace diagnostics_bridge

#endif  // DIAGNOSTICS_BRIDGE__DIAGNOSTICS_BRIDGE_HPP_
