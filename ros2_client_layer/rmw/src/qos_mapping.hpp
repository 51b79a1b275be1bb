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

// ROS QoS profiles as DDS QoS, mapped the way the ROS 2 Humble Cyclone DDS
// middleware maps them, so that our endpoints match real ROS 2 endpoints.
#ifndef CLIENT_LAYER__RMW__QOS_MAPPING_HPP_
#define CLIENT_LAYER__RMW__QOS_MAPPING_HPP_

#include <memory>
#include <string>

#include "dds/dds.h"
#include "rmw/types.h"

namespace client_layer::rmw::detail {

struct QosDeleter
{
  void operator()(dds_qos_t * qos) const { dds_delete_qos(qos); }
};
using QosPtr = std::unique_ptr<dds_qos_t, QosDeleter>;

// The reader/writer QoS for `profile`:
// - history KEEP_LAST(depth, 1 when 0) or KEEP_ALL; SYSTEM_DEFAULT as KEEP_LAST;
// - reliability RELIABLE (max blocking time infinite) or BEST_EFFORT;
//   SYSTEM_DEFAULT as RELIABLE;
// - durability VOLATILE or TRANSIENT_LOCAL, the latter with a durability
//   service keeping the same history; SYSTEM_DEFAULT as VOLATILE;
// - deadline and lifespan only when specified (RMW_DURATION_INFINITE is
//   infinite); liveliness AUTOMATIC or MANUAL_BY_TOPIC with the lease
//   (unspecified: infinite), SYSTEM_DEFAULT as AUTOMATIC;
// - always writer data lifecycle autodispose off (an instance is not
//   disposed when its writer goes);
// - IGNORELOCAL(participant) when `ignore_local_publications`;
// - USER_DATA `user_data` when not empty.
// Throws std::invalid_argument for UNKNOWN policies or an unusable depth.
QosPtr make_endpoint_qos(
    const rmw_qos_profile_t & profile, bool ignore_local_publications,
    const std::string & user_data);

// The ROS policy kind of a DDS policy id in an incompatible-QoS status
// (RMW_QOS_POLICY_INVALID for a policy ROS does not know).
rmw_qos_policy_kind_t rmw_policy_kind(dds_qos_policy_id_t policy);

}  // namespace client_layer::rmw::detail

#endif  // CLIENT_LAYER__RMW__QOS_MAPPING_HPP_
