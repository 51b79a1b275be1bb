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

#include "protocol_samples.hpp"

#include <cinttypes>
#include <cstdio>
#include <limits>

namespace protocol_samples {
namespace {

constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
constexpr std::uint32_t kMaxUint = std::numeric_limits<std::uint32_t>::max();

// Far beyond one datagram: the sample travels in many fragments.
constexpr std::size_t kLargeBytes = std::size_t{1} << 20;

constexpr char kEmbeddedNulsText[] = "\0lead\0mid\0\0trail\0";
const std::string kEmbeddedNuls(kEmbeddedNulsText, sizeof(kEmbeddedNulsText) - 1);
const std::string kUtf8 = "Überhitzung – 過熱 🔥 Ωμέγα";

std::string EveryByteValue()
{
  std::string bytes;
  for (int value = 0; value < 256; ++value) {
    bytes.push_back(static_cast<char>(value));
  }
  return bytes;
}

// `size` bytes of a pattern that holds every byte value, NUL included.
std::string LargeBytes(std::size_t size)
{
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>((i * 131 + i / 256) & 0xff);
  }
  return bytes;
}

builtin_interfaces::msg::Time Stamp(std::int32_t sec, std::uint32_t nanosec)
{
  builtin_interfaces::msg::Time stamp;
  stamp.sec = sec;
  stamp.nanosec = nanosec;
  return stamp;
}

std::uint64_t Fnv1a(const void * data, std::size_t size)
{
  std::uint64_t hash = 14695981039346656037ull;
  const auto * bytes = static_cast<const unsigned char *>(data);
  for (std::size_t i = 0; i < size; ++i) {
    hash = (hash ^ bytes[i]) * 1099511628211ull;
  }
  return hash;
}

std::string Describe(const std::string & text)
{
  char buffer[64];
  std::snprintf(
      buffer, sizeof(buffer), "len=%zu fnv=%016" PRIx64, text.size(),
      Fnv1a(text.data(), text.size()));
  return buffer;
}

std::string Describe(const std::vector<std::int32_t> & values)
{
  char buffer[64];
  std::snprintf(
      buffer, sizeof(buffer), "count=%zu fnv=%016" PRIx64, values.size(),
      Fnv1a(values.data(), values.size() * sizeof(std::int32_t)));
  return buffer;
}

std::string Describe(const builtin_interfaces::msg::Time & stamp)
{
  return std::to_string(stamp.sec) + "s+" + std::to_string(stamp.nanosec) + "ns";
}

std::string Field(const char * name, const std::string & value)
{
  return std::string(name) + "=" + value + " ";
}

std::string Field(const char * name, std::int32_t value)
{
  return Field(name, std::to_string(value));
}

}  // namespace

template <>
std::vector<DiagnosticEvent> Samples<DiagnosticEvent>()
{
  std::vector<DiagnosticEvent> samples(4);  // [0]: every field empty or zero
  samples[1].stamp = Stamp(kMinInt, 0);
  samples[1].source = kEmbeddedNuls;
  samples[1].fault_id = kMinInt;
  samples[1].status = DiagnosticEvent::STATUS_PRESENT;
  samples[1].event_msg = kUtf8;
  samples[2].stamp = Stamp(kMaxInt, kMaxUint);
  samples[2].source = kUtf8;
  samples[2].fault_id = kMaxInt;
  samples[2].status = -1;
  samples[2].event_msg = EveryByteValue();
  samples[3].stamp = Stamp(1, 999999999);
  samples[3].source = LargeBytes(kLargeBytes / 16);
  samples[3].fault_id = 7;
  samples[3].status = DiagnosticEvent::STATUS_PASSED;
  samples[3].event_msg = LargeBytes(kLargeBytes);
  return samples;
}

template <>
std::vector<CurrentFailure> Samples<CurrentFailure>()
{
  std::vector<CurrentFailure> samples(3);
  samples[1].stamp = Stamp(kMinInt, kMaxUint);
  samples[1].source = kUtf8 + kEmbeddedNuls;
  samples[1].fault_id_list = {kMinInt, -1, 0, 1, kMaxInt};
  samples[2].stamp = Stamp(kMaxInt, 0);
  samples[2].source = "current_failures";
  samples[2].fault_id_list.resize(kLargeBytes / sizeof(std::int32_t));
  for (std::size_t i = 0; i < samples[2].fault_id_list.size(); ++i) {
    samples[2].fault_id_list[i] = static_cast<std::int32_t>(i * 2654435761u);
  }
  return samples;
}

template <>
std::vector<ExceptionHandle> Samples<ExceptionHandle>()
{
  std::vector<ExceptionHandle> samples(3);
  samples[1].stamp = Stamp(kMaxInt, kMaxUint);
  samples[1].source = kEmbeddedNuls;
  samples[1].fault_id = kMinInt;
  samples[2].stamp = Stamp(kMinInt, 1);
  samples[2].source = kUtf8;
  samples[2].fault_id = kMaxInt;
  return samples;
}

template <>
std::vector<TaskCenterFsmStatus> Samples<TaskCenterFsmStatus>()
{
  std::vector<TaskCenterFsmStatus> samples(3);
  samples[1].stamp = Stamp(kMinInt, 0);
  samples[1].source = EveryByteValue();
  samples[1].fsm_state = kMinInt;
  samples[1].fsm_sub_state = kMaxInt;
  samples[2].stamp = Stamp(kMaxInt, kMaxUint);
  samples[2].source = LargeBytes(kLargeBytes);
  samples[2].fsm_state = kMaxInt;
  samples[2].fsm_sub_state = kMinInt;
  return samples;
}

// Many entries in one sample: a sequence of nested messages with strings.
template <>
std::vector<DiagnosisTree> Samples<DiagnosisTree>()
{
  std::vector<DiagnosisTree> samples(3);
  samples[1].stamp = Stamp(kMinInt, kMaxUint);
  samples[1].source = kEmbeddedNuls;
  samples[1].entries.resize(2);
  samples[1].entries[0].fault_id = kMinInt;
  samples[1].entries[0].parent_id = kMinInt;
  samples[1].entries[0].raised_at = Stamp(kMaxInt, 0);
  samples[1].entries[0].module = kUtf8;
  samples[1].entries[0].description = EveryByteValue();
  samples[1].entries[1].fault_id = kMaxInt;
  samples[1].entries[1].parent_id = kMinInt;
  samples[1].entries[1].event_msg = kEmbeddedNuls;
  samples[2].stamp = Stamp(kMaxInt, 1);
  samples[2].source = "diagnosis_tree";
  samples[2].entries.resize(4096);
  for (std::size_t i = 0; i < samples[2].entries.size(); ++i) {
    auto & entry = samples[2].entries[i];
    entry.fault_id = static_cast<std::int32_t>(i * 2654435761u);
    entry.parent_id = static_cast<std::int32_t>(i);
    entry.raised_at = Stamp(static_cast<std::int32_t>(i), static_cast<std::uint32_t>(i * 7));
    entry.module = "/module_" + std::to_string(i % 12) + "_diag_topic";
    entry.description = i % 3 == 0 ? std::string() : kUtf8;
    entry.event_msg = LargeBytes(i % 97);
  }
  return samples;
}

template <>
const char * TopicOf<DiagnosticEvent>()
{
  return "diagnostic_event";
}

template <>
const char * TopicOf<CurrentFailure>()
{
  return "current_failure";
}

template <>
const char * TopicOf<ExceptionHandle>()
{
  return "exception_handle";
}

template <>
const char * TopicOf<TaskCenterFsmStatus>()
{
  return "task_center_fsm_status";
}

template <>
const char * TopicOf<DiagnosisTree>()
{
  return "diagnosis_tree";
}

std::vector<DiagnosticSrv::Request> Requests()
{
  std::vector<DiagnosticSrv::Request> requests;
  for (std::int32_t cmd : {DiagnosticSrv::Request::CMD_ROOT_CAUSES, 1, 2, kMinInt, kMaxInt}) {
    DiagnosticSrv::Request request;
    request.cmd = cmd;
    requests.push_back(request);
  }
  return requests;
}

DiagnosticSrv::Response Answer(const DiagnosticSrv::Request & request)
{
  DiagnosticSrv::Response response;
  response.result = ~request.cmd;  // maps each extreme onto the other
  switch (request.cmd) {
    case 0:
      break;  // empty payload
    case 1:
      response.data = EveryByteValue();
      break;
    case 2:
      response.data = LargeBytes(kLargeBytes);
      break;
    default:
      response.data = kEmbeddedNuls + kUtf8 + std::to_string(request.cmd);
  }
  return response;
}

std::string Summary(const DiagnosticEvent & message)
{
  return Field("stamp", Describe(message.stamp)) + Field("source", Describe(message.source)) +
         Field("fault_id", message.fault_id) + Field("status", message.status) +
         Field("event_msg", Describe(message.event_msg));
}

std::string Summary(const CurrentFailure & message)
{
  return Field("stamp", Describe(message.stamp)) + Field("source", Describe(message.source)) +
         Field("fault_id_list", Describe(message.fault_id_list));
}

std::string Summary(const ExceptionHandle & message)
{
  return Field("stamp", Describe(message.stamp)) + Field("source", Describe(message.source)) +
         Field("fault_id", message.fault_id);
}

std::string Summary(const TaskCenterFsmStatus & message)
{
  return Field("stamp", Describe(message.stamp)) + Field("source", Describe(message.source)) +
         Field("fsm_state", message.fsm_state) + Field("fsm_sub_state", message.fsm_sub_state);
}

std::string Summary(const DiagnosisTree & message)
{
  std::string entries;
  for (const auto & entry : message.entries) {
    entries += Field("fault_id", entry.fault_id) + Field("parent_id", entry.parent_id) +
               Field("raised_at", Describe(entry.raised_at)) + Field("module", entry.module) +
               Field("description", entry.description) + Field("event_msg", entry.event_msg);
  }
  return Field("stamp", Describe(message.stamp)) + Field("source", Describe(message.source)) +
         Field("entries", std::to_string(message.entries.size()) + " " + Describe(entries));
}

std::string Summary(const DiagnosticSrv::Response & response)
{
  return Field("result", response.result) + Field("data", Describe(response.data));
}

}  // namespace protocol_samples
