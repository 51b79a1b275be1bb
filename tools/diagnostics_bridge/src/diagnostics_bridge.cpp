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

#include "diagnostics_bridge/diagnostics_bridge.hpp"

#include <chrono>
#include <stdexcept>
#include <utility>

#include "diagnostic_center/contract/names.hpp"
#include "diagnostics_bridge/mapping_file.hpp"

namespace diagnostics_bridge {

namespace {

namespace contract = diagnostic_center::contract;
using corvanta_protocol::msg::DiagnosticEvent;

// Reliable and deep enough for a burst of edges; the centre's subscriptions
// are reliable and volatile.
constexpr std::size_t kEventDepth = 100;
constexpr std::size_t kDiagnosticsDepth = 100;
// How often an event that found no centre is tried again, between arrays.
constexpr std::chrono::seconds kRetryPeriod{1};

std::vector<Mapping> LoadMappings(rclcpp::Node & node)
{
  const std::string path = node.declare_parameter<std::string>(kMappingFileParam, "");
  if (path.empty()) {
    throw std::runtime_error(
        std::string("parameter '") + kMappingFileParam + "' is not set: give the mapping file");
  }
  try {
    return LoadMappingFile(path);
  } catch (const MappingError & error) {
    throw std::runtime_error(std::string("parameter '") + kMappingFileParam + "': " + error.what());
  }
}

bool IsZero(const builtin_interfaces::msg::Time & stamp)
{
  return stamp.sec == 0 && stamp.nanosec == 0;
}

}  // namespace

DiagnosticsBridge::DiagnosticsBridge(const rclcpp::NodeOptions & options)
    : rclcpp::Node(kNodeName, options), edges_(LoadMappings(*this))
{
  for (const Mapping & mapping : edges_.mappings()) {
    if (topics_.count(mapping.topic) == 0) {
      topics_[mapping.topic].publisher =
          create_publisher<DiagnosticEvent>(mapping.topic, rclcpp::QoS(kEventDepth).reliable());
    }
  }
  diagnostics_ = create_subscription<diagnostic_msgs::msg::DiagnosticArray>(
      contract::kDiagnosticsTopic, rclcpp::SystemDefaultsQoS().keep_last(kDiagnosticsDepth),
      [this](const diagnostic_msgs::msg::DiagnosticArray & array) { OnDiagnostics(array); });
  retry_timer_ = create_wall_timer(kRetryPeriod, [this]() {
    NoticeNewSubscribers();
    SendUnsent(now());
  });
  RCLCPP_INFO(
      get_logger(), "bridging %zu mapped faults from %s onto %zu module topics",
      edges_.mappings().size(), contract::kDiagnosticsTopic, topics_.size());
}

void DiagnosticsBridge::OnDiagnostics(const diagnostic_msgs::msg::DiagnosticArray & array)
{
  edges_.Observe(array.status);
  if (edges_.untracked_statuses() != untracked_reported_) {
    untracked_reported_ = edges_.untracked_statuses();
    RCLCPP_WARN(
        get_logger(),
        "%llu statuses not tracked: more than %zu selected by one mapping, or name and "
        "hardware id longer than %zu bytes",
        static_cast<unsigned long long>(untracked_reported_), StatusEdges::kMaxStatusesPerFault,
        StatusEdges::kMaxStatusKeyBytes);
  }
  NoticeNewSubscribers();
  // Updaters stamp their arrays: the centre then orders causes by when the
  // driver saw them, not by when they got here.
  SendUnsent(
      IsZero(array.header.stamp) ? builtin_interfaces::msg::Time(now()) : array.header.stamp);
}

void DiagnosticsBridge::NoticeNewSubscribers()
{
  for (auto & [name, topic] : topics_) {
    const std::size_t subscribers = topic.publisher->get_subscription_count();
    if (topic.subscribers == 0 && subscribers > 0) {
      edges_.ForgetSent(name);
    }
    topic.subscribers = subscribers;
  }
}

void DiagnosticsBridge::SendUnsent(const builtin_interfaces::msg::Time & stamp)
{
  for (const FaultChange & change : edges_.Unsent()) {
    const ModuleTopic & topic = topics_.at(change.topic);
    if (topic.subscribers == 0) {
      continue;  // nobody to tell yet: offered again when the centre comes
    }
    DiagnosticEvent event;
    event.stamp = stamp;
    event.source = change.source;
    event.fault_id = change.fault_id;
    event.status =
        change.present ? DiagnosticEvent::STATUS_PRESENT : DiagnosticEvent::STATUS_PASSED;
    event.event_msg = change.event_msg;
    topic.publisher->publish(event);
    edges_.MarkSent(change);
    RCLCPP_INFO(
        get_logger(), "fault %d %s on %s: %s", change.fault_id,
        change.present ? "raised" : "cleared", change.topic.c_str(), change.event_msg.c_str());
  }
}

}  // namespace diagnostics_bridge
