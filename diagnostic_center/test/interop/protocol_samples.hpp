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

// The corvanta_protocol messages that the interoperability peer and its
// driver exchange, and the service's answer to every request. Both sides build
// them from this one definition, so each knows exactly what the other must
// receive: empty and huge strings and sequences, strings with NUL bytes, any
// byte value and non-ASCII UTF-8, and the extremes of every number.
#ifndef DIAGNOSTIC_CENTER__TEST__INTEROP__PROTOCOL_SAMPLES_HPP_
#define DIAGNOSTIC_CENTER__TEST__INTEROP__PROTOCOL_SAMPLES_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "corvanta_protocol/msg/current_failure.hpp"
#include "corvanta_protocol/msg/diagnosis_tree.hpp"
#include "corvanta_protocol/msg/diagnostic_event.hpp"
#include "corvanta_protocol/msg/exception_handle.hpp"
#include "corvanta_protocol/msg/task_center_fsm_status.hpp"
#include "corvanta_protocol/srv/diagnostic_srv.hpp"

namespace protocol_samples {

using corvanta_protocol::msg::CurrentFailure;
using corvanta_protocol::msg::DiagnosisTree;
using corvanta_protocol::msg::DiagnosticEvent;
using corvanta_protocol::msg::ExceptionHandle;
using corvanta_protocol::msg::TaskCenterFsmStatus;
using corvanta_protocol::srv::DiagnosticSrv;

// The samples of each type, in the order they are published.
template <typename MessageT>
std::vector<MessageT> Samples();
template <>
std::vector<DiagnosticEvent> Samples<DiagnosticEvent>();
template <>
std::vector<CurrentFailure> Samples<CurrentFailure>();
template <>
std::vector<ExceptionHandle> Samples<ExceptionHandle>();
template <>
std::vector<TaskCenterFsmStatus> Samples<TaskCenterFsmStatus>();
template <>
std::vector<DiagnosisTree> Samples<DiagnosisTree>();

// Topic of each type, relative to the node's namespace ("diagnostic_event").
template <typename MessageT>
const char * TopicOf();
template <>
const char * TopicOf<DiagnosticEvent>();
template <>
const char * TopicOf<CurrentFailure>();
template <>
const char * TopicOf<ExceptionHandle>();
template <>
const char * TopicOf<TaskCenterFsmStatus>();
template <>
const char * TopicOf<DiagnosisTree>();

// The requests sent to DiagnosticSrv, in order.
std::vector<DiagnosticSrv::Request> Requests();
// What a server answers to `request`: a pure function of cmd, with an empty,
// a binary, a huge and a UTF-8 payload among the answers to Requests().
DiagnosticSrv::Response Answer(const DiagnosticSrv::Request & request);

// One line per message that names every field: numbers in full, strings and
// sequences by length and hash, so that a mismatch shows which field differs
// without printing a megabyte.
std::string Summary(const DiagnosticEvent & message);
std::string Summary(const CurrentFailure & message);
std::string Summary(const ExceptionHandle & message);
std::string Summary(const TaskCenterFsmStatus & message);
std::string Summary(const DiagnosisTree & message);
std::string Summary(const DiagnosticSrv::Response & response);

}  // namespace protocol_samples

#endif  // DIAGNOSTIC_CENTER__TEST__INTEROP__PROTOCOL_SAMPLES_HPP_
