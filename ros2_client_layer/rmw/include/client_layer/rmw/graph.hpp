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

// The ROS graph as one participant has discovered it, and the mapping of DDS
// names back to ROS names.
//
// Every participant keeps one GraphCache, fed by Cyclone DDS's built-in
// topics (DCPSParticipant, DCPSPublication, DCPSSubscription) and by the
// "ros_discovery_info" announcements of ROS 2 participants (node names).
// Discovery is asynchronous, so the cache is only eventually consistent: an
// endpoint or node, local ones included, shows up some time after it was
// created and disappears some time after it was deleted (for a process that
// dies without cleaning up, only once its DDS lease expires). Callers that
// need a particular state poll until it is reached.
#ifndef CLIENT_LAYER__RMW__GRAPH_HPP_
#define CLIENT_LAYER__RMW__GRAPH_HPP_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "client_layer/rmw/transport.hpp"

namespace client_layer::rmw {

// A reader or writer of any participant, local ones included, named as DDS
// names it.
struct DiscoveredEndpoint
{
  std::string topic_name;  // e.g. "rt/chatter"
  std::string type_name;   // e.g. "std_msgs::msg::dds_::String_"
  Guid guid;
  Guid participant;
  bool is_reader = false;
};

// A ROS node some participant announced on "ros_discovery_info".
struct DiscoveredNode
{
  std::string node_namespace;
  std::string node_name;
};

class GraphCache
{
public:
  // Creates the built-in topic readers and the "ros_discovery_info" reader in
  // `dds_participant`. Throws std::runtime_error when DDS refuses one.
  GraphCache(std::int32_t dds_participant, std::int32_t dds_subscriber);
  ~GraphCache();
  GraphCache(const GraphCache &) = delete;
  GraphCache & operator=(const GraphCache &) = delete;

  // Writers (or readers) on this DDS topic.
  std::size_t count(const std::string & dds_topic_name, bool readers) const;
  // Every known reader and writer.
  std::vector<DiscoveredEndpoint> endpoints() const;
  // Every announced node, ordered by participant GUID and then as announced.
  std::vector<DiscoveredNode> nodes() const;
  // "ros_discovery_info" samples that could not be decoded (dropped).
  std::uint64_t malformed_announcements() const;

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// ROS names for DDS names, as ROS 2 Humble's Cyclone DDS middleware demangles
// them. Each returns "" for a DDS name that is not of its kind.
// "rt/a/b" -> "/a/b".
std::string ros_topic_from_dds(const std::string & dds_topic_name);
// "rq/a/bRequest" and "rr/a/bReply" -> "/a/b".
std::string ros_service_from_dds(const std::string & dds_topic_name);
// "pkg::msg::dds_::Name_" -> "pkg/msg/Name"; a name that is not a ROS type
// comes back unchanged.
std::string ros_type_from_dds(const std::string & dds_type_name);
// "pkg::srv::dds_::Name_Request_" and "..._Response_" -> "pkg/srv/Name".
std::string ros_service_type_from_dds(const std::string & dds_type_name);

}  // namespace client_layer::rmw

#endif  // CLIENT_LAYER__RMW__GRAPH_HPP_
