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

// This participant's part of the ROS graph, as ROS 2 announces it on the
// "ros_discovery_info" topic: rmw_dds_common/msg/ParticipantEntitiesInfo
// (gid, then per node its namespace, name and reader/writer gids), nodes and
// endpoints in the order they were added.
#ifndef CLIENT_LAYER__RMW__ENTITIES_INFO_HPP_
#define CLIENT_LAYER__RMW__ENTITIES_INFO_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "client_layer/rmw/transport.hpp"
#include "rmw_dds_common/msg/participant_entities_info.hpp"

namespace client_layer::rmw::detail {

constexpr const char * kDiscoveryTopicName = "ros_discovery_info";
constexpr const char * kDiscoveryTypeName = "rmw_dds_common::msg::dds_::ParticipantEntitiesInfo_";

// Not thread-safe; the participant serializes access.
class EntitiesInfo
{
public:
  explicit EntitiesInfo(const Guid & participant);

  // Each returns false when nothing changed (unknown node or endpoint).
  bool add_node(const std::string & node_namespace, const std::string & node_name);
  bool remove_node(const std::string & node_namespace, const std::string & node_name);
  bool add_endpoint(
      const std::string & node_namespace, const std::string & node_name, const Guid & endpoint,
      bool is_reader);
  bool remove_endpoint(
      const std::string & node_namespace, const std::string & node_name, const Guid & endpoint,
      bool is_reader);

  // The ParticipantEntitiesInfo sample: encapsulation header and CDR body.
  std::vector<std::uint8_t> serialize() const;

private:
  using Node = rmw_dds_common::msg::NodeEntitiesInfo;
  Node * find(const std::string & node_namespace, const std::string & node_name);

  rmw_dds_common::msg::ParticipantEntitiesInfo info_;
};

}  // namespace client_layer::rmw::detail

#endif  // CLIENT_LAYER__RMW__ENTITIES_INFO_HPP_
