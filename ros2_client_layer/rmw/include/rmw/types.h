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

// Types of the ROS 2 middleware interface used by the client layer, with the
// names, layouts and values of ROS 2 Humble's rmw/types.h.
#ifndef RMW__TYPES_H_
#define RMW__TYPES_H_

#ifdef __cplusplus
extern "C" {
#endif

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "rmw/ret_types.h"
#include "rmw/time.h"

// 24 bytes is the most memory needed to represent a GID by any implementation.
#define RMW_GID_STORAGE_SIZE 24u

typedef struct rmw_gid_s
{
  const char * implementation_identifier;
  uint8_t data[RMW_GID_STORAGE_SIZE];
} rmw_gid_t;

// Identifies a service request: the client's identity and its sequence number.
typedef struct rmw_request_id_s
{
  int8_t writer_guid[16];
  int64_t sequence_number;
} rmw_request_id_t;

typedef struct rmw_service_info_s
{
  rmw_time_point_value_t source_timestamp;
  rmw_time_point_value_t received_timestamp;
  rmw_request_id_t request_id;
} rmw_service_info_t;

// What the middleware knows about a received message.
typedef struct rmw_message_info_s
{
  // When the publisher wrote the message.
  rmw_time_point_value_t source_timestamp;
  // When the subscription received it (0: not reported).
  rmw_time_point_value_t received_timestamp;
  // Sequence numbers set by the publisher and by the subscription.
  uint64_t publication_sequence_number;
  uint64_t reception_sequence_number;
  // The publisher that sent the message.
  rmw_gid_t publisher_gid;
  // Whether the message came through intra-process communication.
  bool from_intra_process;
} rmw_message_info_t;

// Sequence numbers the middleware does not report.
#define RMW_MESSAGE_INFO_SEQUENCE_NUMBER_UNSUPPORTED UINT64_MAX

// A message info with every member zero.
rmw_message_info_t rmw_get_zero_initialized_message_info(void);

typedef enum rmw_qos_reliability_policy_e
{
  RMW_QOS_POLICY_RELIABILITY_SYSTEM_DEFAULT,
  RMW_QOS_POLICY_RELIABILITY_RELIABLE,
  RMW_QOS_POLICY_RELIABILITY_BEST_EFFORT,
  RMW_QOS_POLICY_RELIABILITY_UNKNOWN
} rmw_qos_reliability_policy_t;

typedef enum rmw_qos_history_policy_e
{
  RMW_QOS_POLICY_HISTORY_SYSTEM_DEFAULT,
  RMW_QOS_POLICY_HISTORY_KEEP_LAST,
  RMW_QOS_POLICY_HISTORY_KEEP_ALL,
  RMW_QOS_POLICY_HISTORY_UNKNOWN
} rmw_qos_history_policy_t;

typedef enum rmw_qos_durability_policy_e
{
  RMW_QOS_POLICY_DURABILITY_SYSTEM_DEFAULT,
  RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL,
  RMW_QOS_POLICY_DURABILITY_VOLATILE,
  RMW_QOS_POLICY_DURABILITY_UNKNOWN
} rmw_qos_durability_policy_t;

typedef enum rmw_qos_liveliness_policy_e
{
  RMW_QOS_POLICY_LIVELINESS_SYSTEM_DEFAULT = 0,
  RMW_QOS_POLICY_LIVELINESS_AUTOMATIC = 1,
  // 2 was MANUAL_BY_NODE, deprecated in Humble and not supported here.
  RMW_QOS_POLICY_LIVELINESS_MANUAL_BY_TOPIC = 3,
  RMW_QOS_POLICY_LIVELINESS_UNKNOWN = 4
} rmw_qos_liveliness_policy_t;

// Bit flags naming a QoS policy (e.g. in incompatible QoS reports).
typedef enum rmw_qos_policy_kind_e
{
  RMW_QOS_POLICY_INVALID = 1 << 0,
  RMW_QOS_POLICY_DURABILITY = 1 << 1,
  RMW_QOS_POLICY_DEADLINE = 1 << 2,
  RMW_QOS_POLICY_LIVELINESS = 1 << 3,
  RMW_QOS_POLICY_RELIABILITY = 1 << 4,
  RMW_QOS_POLICY_HISTORY = 1 << 5,
  RMW_QOS_POLICY_LIFESPAN = 1 << 6,
  RMW_QOS_POLICY_DEPTH = 1 << 7,
  RMW_QOS_POLICY_LIVELINESS_LEASE_DURATION = 1 << 8,
  RMW_QOS_POLICY_AVOID_ROS_NAMESPACE_CONVENTIONS = 1 << 9
} rmw_qos_policy_kind_t;

#define RMW_QOS_DEADLINE_DEFAULT RMW_DURATION_UNSPECIFIED
#define RMW_QOS_LIFESPAN_DEFAULT RMW_DURATION_UNSPECIFIED
#define RMW_QOS_LIVELINESS_LEASE_DURATION_DEFAULT RMW_DURATION_UNSPECIFIED

enum
{
  RMW_QOS_POLICY_DEPTH_SYSTEM_DEFAULT = 0
};

typedef struct rmw_qos_profile_s
{
  enum rmw_qos_history_policy_e history;
  // Size of the message queue (KEEP_LAST only).
  size_t depth;
  enum rmw_qos_reliability_policy_e reliability;
  enum rmw_qos_durability_policy_e durability;
  // The period at which messages are expected to be sent/received.
  struct rmw_time_s deadline;
  // The age at which messages are considered expired and no longer valid.
  struct rmw_time_s lifespan;
  enum rmw_qos_liveliness_policy_e liveliness;
  // The time within which the node or publisher must show that it is alive.
  struct rmw_time_s liveliness_lease_duration;
  // When true, the caller forms DDS names without the ROS prefixes ("rt/", ...).
  bool avoid_ros_namespace_conventions;
} rmw_qos_profile_t;

#ifdef __cplusplus
}
#endif

#endif  // RMW__TYPES_H_
