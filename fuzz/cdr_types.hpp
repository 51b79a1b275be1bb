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

// Every message type of the project's interface packages, services by their
// Request and Response. The CDR fuzzer picks a type by its index in this list
// (the first byte of an input) and the seed corpus is written with those
// indices: append new types at the end, never reorder.
#ifndef FUZZ__CDR_TYPES_HPP_
#define FUZZ__CDR_TYPES_HPP_

#include <tuple>

#include "builtin_interfaces/msg/duration.hpp"
#include "builtin_interfaces/msg/time.hpp"
#include "client_layer_test_interfaces/msg/all_types.hpp"
#include "client_layer_test_interfaces/msg/bounded.hpp"
#include "client_layer_test_interfaces/msg/empty.hpp"
#include "client_layer_test_interfaces/msg/nested.hpp"
#include "client_layer_test_interfaces/msg/unbounded.hpp"
#include "client_layer_test_interfaces/srv/trigger.hpp"
#include "corvanta_protocol/msg/current_failure.hpp"
#include "corvanta_protocol/msg/diagnosis_entry.hpp"
#include "corvanta_protocol/msg/diagnosis_tree.hpp"
#include "corvanta_protocol/msg/diagnostic_event.hpp"
#include "corvanta_protocol/msg/exception_handle.hpp"
#include "corvanta_protocol/msg/task_center_fsm_status.hpp"
#include "corvanta_protocol/srv/diagnostic_srv.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "diagnostic_msgs/msg/diagnostic_status.hpp"
#include "diagnostic_msgs/msg/key_value.hpp"
#include "rcl_interfaces/msg/floating_point_range.hpp"
#include "rcl_interfaces/msg/integer_range.hpp"
#include "rcl_interfaces/msg/list_parameters_result.hpp"
#include "rcl_interfaces/msg/log.hpp"
#include "rcl_interfaces/msg/parameter.hpp"
#include "rcl_interfaces/msg/parameter_descriptor.hpp"
#include "rcl_interfaces/msg/parameter_event.hpp"
#include "rcl_interfaces/msg/parameter_type.hpp"
#include "rcl_interfaces/msg/parameter_value.hpp"
#include "rcl_interfaces/msg/set_parameters_result.hpp"
#include "rcl_interfaces/srv/describe_parameters.hpp"
#include "rcl_interfaces/srv/get_parameter_types.hpp"
#include "rcl_interfaces/srv/get_parameters.hpp"
#include "rcl_interfaces/srv/list_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters.hpp"
#include "rcl_interfaces/srv/set_parameters_atomically.hpp"
#include "rmw_dds_common/msg/gid.hpp"
#include "rmw_dds_common/msg/node_entities_info.hpp"
#include "rmw_dds_common/msg/participant_entities_info.hpp"
#include "std_msgs/msg/header.hpp"

namespace fuzz {

using CdrTypes = std::tuple<
    // The robot's interface: what the node and diagctl take from the wire.
    corvanta_protocol::msg::DiagnosticEvent,         // 0
    corvanta_protocol::msg::TaskCenterFsmStatus,     // 1
    corvanta_protocol::msg::CurrentFailure,          // 2
    corvanta_protocol::msg::ExceptionHandle,         // 3
    corvanta_protocol::srv::DiagnosticSrv_Request,   // 4
    corvanta_protocol::srv::DiagnosticSrv_Response,  // 5
    // What the layer itself reads: graph announcements, parameter services.
    rmw_dds_common::msg::Gid,                               // 6
    rmw_dds_common::msg::NodeEntitiesInfo,                  // 7
    rmw_dds_common::msg::ParticipantEntitiesInfo,           // 8
    builtin_interfaces::msg::Time,                          // 9
    builtin_interfaces::msg::Duration,                      // 10
    rcl_interfaces::msg::FloatingPointRange,                // 11
    rcl_interfaces::msg::IntegerRange,                      // 12
    rcl_interfaces::msg::ListParametersResult,              // 13
    rcl_interfaces::msg::Log,                               // 14
    rcl_interfaces::msg::Parameter,                         // 15
    rcl_interfaces::msg::ParameterDescriptor,               // 16
    rcl_interfaces::msg::ParameterEvent,                    // 17
    rcl_interfaces::msg::ParameterType,                     // 18
    rcl_interfaces::msg::ParameterValue,                    // 19
    rcl_interfaces::msg::SetParametersResult,               // 20
    rcl_interfaces::srv::DescribeParameters_Request,        // 21
    rcl_interfaces::srv::DescribeParameters_Response,       // 22
    rcl_interfaces::srv::GetParameters_Request,             // 23
    rcl_interfaces::srv::GetParameters_Response,            // 24
    rcl_interfaces::srv::GetParameterTypes_Request,         // 25
    rcl_interfaces::srv::GetParameterTypes_Response,        // 26
    rcl_interfaces::srv::ListParameters_Request,            // 27
    rcl_interfaces::srv::ListParameters_Response,           // 28
    rcl_interfaces::srv::SetParameters_Request,             // 29
    rcl_interfaces::srv::SetParameters_Response,            // 30
    rcl_interfaces::srv::SetParametersAtomically_Request,   // 31
    rcl_interfaces::srv::SetParametersAtomically_Response,  // 32
    // The whole .msg grammar: every kind of field decoder.
    client_layer_test_interfaces::msg::AllTypes,          // 33
    client_layer_test_interfaces::msg::Bounded,           // 34
    client_layer_test_interfaces::msg::Empty,             // 35
    client_layer_test_interfaces::msg::Nested,            // 36
    client_layer_test_interfaces::msg::Unbounded,         // 37
    client_layer_test_interfaces::srv::Trigger_Request,   // 38
    client_layer_test_interfaces::srv::Trigger_Response,  // 39
    // The views of the diagnosis tree that the node publishes and the
    // operator tools read.
    corvanta_protocol::msg::DiagnosisTree,   // 40
    corvanta_protocol::msg::DiagnosisEntry,  // 41
    diagnostic_msgs::msg::DiagnosticArray,   // 42
    diagnostic_msgs::msg::DiagnosticStatus,  // 43
    diagnostic_msgs::msg::KeyValue,          // 44
    std_msgs::msg::Header>;                  // 45

constexpr std::size_t kCdrTypeCount = std::tuple_size<CdrTypes>::value;

}  // namespace fuzz

#endif  // FUZZ__CDR_TYPES_HPP_
