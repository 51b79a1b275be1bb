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

#include "qos_mapping.hpp"

#include <cstdint>
#include <stdexcept>

namespace client_layer::rmw::detail {
namespace {

bool is_unspecified(const rmw_time_t & duration)
{
  return rmw_time_equal(duration, rmw_time_t RMW_DURATION_UNSPECIFIED);
}

dds_duration_t to_dds(const rmw_time_t & duration)
{
  if (rmw_time_equal(duration, rmw_time_t RMW_DURATION_INFINITE)) {
    return DDS_INFINITY;
  }
  return rmw_time_total_nsec(duration);
}

void set_history(dds_qos_t * qos, const rmw_qos_profile_t & profile)
{
  switch (profile.history) {
    case RMW_QOS_POLICY_HISTORY_SYSTEM_DEFAULT:
    case RMW_QOS_POLICY_HISTORY_KEEP_LAST:
      if (profile.depth == RMW_QOS_POLICY_DEPTH_SYSTEM_DEFAULT) {
        dds_qset_history(qos, DDS_HISTORY_KEEP_LAST, 1);
      } else if (profile.depth > INT32_MAX) {
        throw std::invalid_argument("unsupported history depth");
      } else {
        dds_qset_history(qos, DDS_HISTORY_KEEP_LAST, static_cast<std::int32_t>(profile.depth));
      }
      return;
    case RMW_QOS_POLICY_HISTORY_KEEP_ALL:
      dds_qset_history(qos, DDS_HISTORY_KEEP_ALL, DDS_LENGTH_UNLIMITED);
      return;
    default:
      throw std::invalid_argument("unknown history QoS policy");
  }
}

void set_reliability(dds_qos_t * qos, const rmw_qos_profile_t & profile)
{
  switch (profile.reliability) {
    case RMW_QOS_POLICY_RELIABILITY_SYSTEM_DEFAULT:
    case RMW_QOS_POLICY_RELIABILITY_RELIABLE:
      dds_qset_reliability(qos, DDS_RELIABILITY_RELIABLE, DDS_INFINITY);
      return;
    case RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT:
      dds_qset_reliability(qos, DDS_RELIABILITY_BEST_EFFORT, 0);
      return;
    default:
      throw std::invalid_argument("unknown reliability QoS policy");
  }
}

// Needs the history already set: Cyclone keeps historical data for late
// joiners according to the durability service, not the history.
void set_durability(dds_qos_t * qos, const rmw_qos_profile_t & profile)
{
  switch (profile.durability) {
    case RMW_QOS_POLICY_DURABILITY_SYSTEM_DEFAULT:
    case RMW_QOS_POLICY_DURABILITY_VOLATILE:
      dds_qset_durability(qos, DDS_DURABILITY_VOLATILE);
      return;
    case RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL: {
      dds_history_kind_t kind;
      std::int32_t depth;
      dds_qget_history(qos, &kind, &depth);
      dds_qset_durability(qos, DDS_DURABILITY_TRANSIENT_LOCAL);
      dds_qset_durability_service(
          qos, DDS_SECS(0), kind, depth, DDS_LENGTH_UNLIMITED, DDS_LENGTH_UNLIMITED,
          DDS_LENGTH_UNLIMITED);
      return;
    }
    default:
      throw std::invalid_argument("unknown durability QoS policy");
  }
}

void set_liveliness(dds_qos_t * qos, const rmw_qos_profile_t & profile)
{
  const dds_duration_t lease = is_unspecified(profile.liveliness_lease_duration)
                                   ? DDS_INFINITY
                                   : to_dds(profile.liveliness_lease_duration);
  switch (profile.liveliness) {
    case RMW_QOS_POLICY_LIVELINESS_SYSTEM_DEFAULT:
    case RMW_QOS_POLICY_LIVELINESS_AUTOMATIC:
      dds_qset_liveliness(qos, DDS_LIVELINESS_AUTOMATIC, lease);
      return;
    case RMW_QOS_POLICY_LIVELINESS_MANUAL_BY_TOPIC:
      dds_qset_liveliness(qos, DDS_LIVELINESS_MANUAL_BY_TOPIC, lease);
      return;
    default:
      throw std::invalid_argument("unknown liveliness QoS policy");
  }
}

}  // namespace

QosPtr make_endpoint_qos(
    const rmw_qos_profile_t & profile, bool ignore_local_publications,
    const std::string & user_data)
{
  QosPtr qos(dds_create_qos());
  dds_qset_writer_data_lifecycle(qos.get(), false);
  set_history(qos.get(), profile);
  set_reliability(qos.get(), profile);
  set_durability(qos.get(), profile);
  if (!is_unspecified(profile.lifespan)) {
    dds_qset_lifespan(qos.get(), to_dds(profile.lifespan));
  }
  if (!is_unspecified(profile.deadline)) {
    dds_qset_deadline(qos.get(), to_dds(profile.deadline));
  }
  set_liveliness(qos.get(), profile);
  if (ignore_local_publications) {
    dds_qset_ignorelocal(qos.get(), DDS_IGNORELOCAL_PARTICIPANT);
  }
  if (!user_data.empty()) {
    dds_qset_userdata(qos.get(), user_data.data(), user_data.size());
  }
  return qos;
}

rmw_qos_policy_kind_t rmw_policy_kind(dds_qos_policy_id_t policy)
{
  switch (policy) {
    case DDS_DURABILITY_QOS_POLICY_ID:
      return RMW_QOS_POLICY_DURABILITY;
    case DDS_DEADLINE_QOS_POLICY_ID:
      return RMW_QOS_POLICY_DEADLINE;
    case DDS_LIVELINESS_QOS_POLICY_ID:
      return RMW_QOS_POLICY_LIVELINESS;
    case DDS_RELIABILITY_QOS_POLICY_ID:
      return RMW_QOS_POLICY_RELIABILITY;
    case DDS_HISTORY_QOS_POLICY_ID:
      return RMW_QOS_POLICY_HISTORY;
    case DDS_LIFESPAN_QOS_POLICY_ID:
      return RMW_QOS_POLICY_LIFESPAN;
    default:
      return RMW_QOS_POLICY_INVALID;
  }
}

}  // namespace client_layer::rmw::detail
