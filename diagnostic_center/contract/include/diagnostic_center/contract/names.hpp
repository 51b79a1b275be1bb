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

// The names and defaults through which other programs meet the diagnosis
// centre: its node name, topics, service and the parameters that describe
// the fault table and the record directory. The node creates and declares
// them from here, and so do diagctl, the tests and the benchmarks, so that
// renaming one is one edit. All topic and service names but "/diagnostics"
// are relative: they resolve in the node's namespace. Constants only, and
// one pure function: usable from any thread.
#ifndef DIAGNOSTIC_CENTER__CONTRACT__NAMES_HPP_
#define DIAGNOSTIC_CENTER__CONTRACT__NAMES_HPP_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace diagnostic_center::contract {

inline constexpr char kNodeName[] = "diagnostic_center";

// Subscribed, corvanta_protocol/msg/DiagnosticEvent: one topic per robot
// module, in the order the node subscribes to them.
inline constexpr std::array<const char *, 12> kModuleTopics{
    "arm_driver_diag_topic",     "sensor_proxy_diag_topic", "body_driver_diag_topic",
    "chassis_driver_diag_topic", "arm_per_diag_topic",      "arm_manager_diag_topic",
    "arm_pnc_diag_topic",        "chassis_per_diag_topic",  "chassis_pnc_diag_topic",
    "chassis_loc_diag_topic",    "task_center_diag_topic",  "monitor_diag_topic",
};
// Every module topic is the module's name followed by this.
inline constexpr char kModuleTopicSuffix[] = "_diag_topic";

// Subscribed, corvanta_protocol/msg/TaskCenterFsmStatus.
inline constexpr char kFsmStatusTopic[] = "fsm_status";
// Published, corvanta_protocol/msg/ExceptionHandle.
inline constexpr char kExceptionHandleTopic[] = "exception_handle";
// Published, corvanta_protocol/msg/CurrentFailure.
inline constexpr char kCurrentFailureTopic[] = "current_failure";
// Published, corvanta_protocol/msg/DiagnosisTree (transient local).
inline constexpr char kDiagnosisTreeTopic[] = "diagnosis_tree";
// Published, diagnostic_msgs/msg/DiagnosticArray; absolute, the one topic
// diagnostics tools read whatever the node's namespace.
inline constexpr char kDiagnosticsTopic[] = "/diagnostics";
// Name of the summary status on kDiagnosticsTopic of a centre in "/", and
// the prefix of every failure's status name ("diagnostic_center/1001").
inline constexpr char kDiagnosticsStatusName[] = "diagnostic_center";
// Served, corvanta_protocol/srv/DiagnosticSrv.
inline constexpr char kQueryService[] = "diagnostic_srv";

// The fault table: the list of fault ids, and per listed id the parameters
// named FaultParamPrefix(id) followed by one of the suffixes.
inline constexpr char kFaultListParam[] = "diag_event_list";
inline constexpr char kRootCauseSuffix[] = "_root_cause";
inline constexpr char kRootCauseTimeDisSuffix[] = "_root_cause_time_dis";
inline constexpr char kDescriptionSuffix[] = "_description";
// Milliseconds, when "<id>_root_cause_time_dis" is not given.
inline constexpr std::int64_t kDefaultRootCauseTimeDisMs = 500;

inline constexpr char kRecordDirParam[] = "fault_record_dir";
inline constexpr char kDefaultRecordDir[] = "/opt/corvanta/diagnostic_center/fault_record";

// The summary status name of a centre in `node_namespace`: "/diagnostics" is
// one topic for a whole fleet, so a namespaced centre's statuses carry its
// namespace, without the leading slash ("/site/robot3" gives
// "site/robot3/diagnostic_center"); a centre in "/" (or "") keeps
// kDiagnosticsStatusName. A failure's status name is this, "/", its fault id.
inline std::string DiagnosticsStatusName(const std::string & node_namespace)
{
  std::size_t begin = node_namespace.find_first_not_of('/');
  if (begin == std::string::npos) {
    return kDiagnosticsStatusName;
  }
  std::size_t end = node_namespace.find_last_not_of('/') + 1;
  return node_namespace.substr(begin, end - begin) + "/" + kDiagnosticsStatusName;
}

// Name prefix of a fault's parameters for one element of the fault list: the
// element's low 32 bits as an unsigned decimal number (-5 is "4294967291").
inline std::string FaultParamPrefix(std::int64_t list_element)
{
  return std::to_string(static_cast<std::uint32_t>(list_element));
}

}  // namespace diagnostic_center::contract

#endif  // DIAGNOSTIC_CENTER__CONTRACT__NAMES_HPP_
