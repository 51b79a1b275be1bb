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

// ROS QoS profiles as DDS QoS.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qos_mapping.hpp"
#include "rmw/qos_profiles.h"

namespace client_layer::rmw::detail {
namespace {

std::string duration(dds_duration_t value)
{
  return value == DDS_INFINITY ? "inf" : std::to_string(value);
}

// Every policy `qos` sets, one "name values;" each, in a fixed order.
std::string describe(const dds_qos_t * qos)
{
  std::string text;
  dds_history_kind_t history;
  dds_reliability_kind_t reliability;
  dds_durability_kind_t durability;
  dds_liveliness_kind_t liveliness;
  dds_ignorelocal_kind_t ignore;
  dds_duration_t time;
  std::int32_t depth, max_samples, max_instances, max_per_instance;
  bool autodispose;
  void * user_data = nullptr;
  std::size_t size = 0;
  if (dds_qget_history(qos, &history, &depth)) {
    text +=
        history == DDS_HISTORY_KEEP_ALL ? "keep_all;" : "keep_last " + std::to_string(depth) + ";";
  }
  if (dds_qget_reliability(qos, &reliability, &time)) {
    text += (reliability == DDS_RELIABILITY_RELIABLE ? " reliable " : " best_effort ") +
            duration(time) + ";";
  }
  if (dds_qget_durability(qos, &durability)) {
    text += durability == DDS_DURABILITY_VOLATILE ? " volatile;" : " transient_local;";
  }
  if (dds_qget_durability_service(
          qos, &time, &history, &depth, &max_samples, &max_instances, &max_per_instance)) {
    text += " durability_service " + duration(time) + " " +
            (history == DDS_HISTORY_KEEP_ALL ? "keep_all " : "keep_last ") + std::to_string(depth) +
            " " + std::to_string(max_samples) + " " + std::to_string(max_instances) + " " +
            std::to_string(max_per_instance) + ";";
  }
  if (dds_qget_liveliness(qos, &liveliness, &time)) {
    text += (liveliness == DDS_LIVELINESS_AUTOMATIC ? " automatic " : " manual_by_topic ") +
            duration(time) + ";";
  }
  if (dds_qget_deadline(qos, &time)) {
    text += " deadline " + duration(time) + ";";
  }
  if (dds_qget_lifespan(qos, &time)) {
    text += " lifespan " + duration(time) + ";";
  }
  if (dds_qget_writer_data_lifecycle(qos, &autodispose)) {
    text += autodispose ? " autodispose;" : " no_autodispose;";
  }
  if (dds_qget_ignorelocal(qos, &ignore)) {
    text += ignore == DDS_IGNORELOCAL_PARTICIPANT ? " ignore_participant;" : " ignore_other;";
  }
  if (dds_qget_userdata(qos, &user_data, &size)) {
    text += " user_data " + std::string(static_cast<char *>(user_data), size) + ";";
    dds_free(user_data);
  }
  return text;
}

TEST(QosMapping, ProfilesBecomeTheDdsPoliciesOfRos2)
{
  rmw_qos_profile_t keep_all = rmw_qos_profile_default;
  keep_all.history = RMW_QOS_POLICY_HISTORY_KEEP_ALL;
  rmw_qos_profile_t transient_local = rmw_qos_profile_default;
  transient_local.durability = RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
  transient_local.depth = 7;
  rmw_qos_profile_t timed = rmw_qos_profile_default;
  timed.deadline = rmw_time_t{1, 500};
  timed.lifespan = rmw_time_t RMW_DURATION_INFINITE;
  timed.liveliness = RMW_QOS_POLICY_LIVELINESS_MANUAL_BY_TOPIC;
  timed.liveliness_lease_duration = rmw_time_t{2, 0};

  struct Case
  {
    const char * name;
    rmw_qos_profile_t profile;
    bool ignore_local;
    std::string user_data;
    std::string expected;
  };
  for (const Case & c : std::vector<Case>{
           {"default", rmw_qos_profile_default, false, "",
            "keep_last 10; reliable inf; volatile; automatic inf; no_autodispose;"},
           {"system default", rmw_qos_profile_system_default, false, "",
            "keep_last 1; reliable inf; volatile; automatic inf; no_autodispose;"},
           {"sensor data", rmw_qos_profile_sensor_data, false, "",
            "keep_last 5; best_effort 0; volatile; automatic inf; no_autodispose;"},
           {"keep all", keep_all, false, "",
            "keep_all; reliable inf; volatile; automatic inf; no_autodispose;"},
           {"transient local", transient_local, false, "",
            "keep_last 7; reliable inf; transient_local; durability_service 0 keep_last 7 -1 -1 "
            "-1; automatic inf; no_autodispose;"},
           {"timed, local ignored, user data", timed, true, "clientid=1.2;",
            "keep_last 10; reliable inf; volatile; manual_by_topic 2000000000; deadline "
            "1000000500; lifespan inf; no_autodispose; ignore_participant; user_data "
            "clientid=1.2;;"},
       }) {
    SCOPED_TRACE(c.name);
    const QosPtr qos = make_endpoint_qos(c.profile, c.ignore_local, c.user_data);
    EXPECT_EQ(describe(qos.get()), c.expected);
  }
}

TEST(QosMapping, RejectsEachUnknownPolicyAndHugeDepth)
{
  std::vector<rmw_qos_profile_t> refused(5, rmw_qos_profile_default);
  refused[0].history = RMW_QOS_POLICY_HISTORY_UNKNOWN;
  refused[1].reliability = RMW_QOS_POLICY_RELIABILITY_UNKNOWN;
  refused[2].durability = RMW_QOS_POLICY_DURABILITY_UNKNOWN;
  refused[3].liveliness = RMW_QOS_POLICY_LIVELINESS_UNKNOWN;
  refused[4].depth = static_cast<std::size_t>(INT32_MAX) + 1;
  for (std::size_t i = 0; i < refused.size(); ++i) {
    EXPECT_THROW(make_endpoint_qos(refused[i], false, ""), std::invalid_argument) << "case " << i;
  }
}

}  // namespace
}  // namespace client_layer::rmw::detail
