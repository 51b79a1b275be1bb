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

#include "endpoint.hpp"

#include <cstring>
#include <stdexcept>

#include "qos_mapping.hpp"
#include "raw_sertype.hpp"

namespace client_layer::rmw::detail {
namespace {

std::string topic_error(const std::string & topic_name, dds_return_t code)
{
  switch (code) {
    case DDS_RETCODE_BAD_PARAMETER:
      return "failed to create topic [" + topic_name +
             "] because the function was given invalid parameters";
    case DDS_RETCODE_INCONSISTENT_POLICY:
      return "failed to create topic [" + topic_name +
             "] because it's already in use in this context with incompatible QoS settings";
    case DDS_RETCODE_PRECONDITION_NOT_MET:
      return "failed to create topic [" + topic_name +
             "] because it's already in use in this context with a different message type";
    default:
      return "failed to create topic [" + topic_name + "] for unknown reasons";
  }
}

}  // namespace

Guid guid_of(const dds_guid_t & guid)
{
  Guid result;
  static_assert(sizeof(guid.v) == sizeof(result.bytes), "a DDS GUID has 16 bytes");
  std::memcpy(result.bytes.data(), guid.v, sizeof(guid.v));
  return result;
}

Guid entity_guid(dds_entity_t entity)
{
  dds_guid_t guid{};
  dds_get_guid(entity, &guid);
  return guid_of(guid);
}

std::string user_data_of(const dds_qos_t * qos)
{
  void * data = nullptr;
  std::size_t size = 0;
  if (qos == nullptr || !dds_qget_userdata(qos, &data, &size) || data == nullptr) {
    return {};
  }
  std::string result(static_cast<const char *>(data), size);
  dds_free(data);
  return result;
}

std::vector<dds_instance_handle_t> matched_handles(dds_entity_t entity, Endpoint::Kind kind)
{
  auto query = [&](dds_instance_handle_t * out, std::size_t n) {
    return kind == Endpoint::Kind::kWriter ? dds_get_matched_subscriptions(entity, out, n)
                                           : dds_get_matched_publications(entity, out, n);
  };
  std::vector<dds_instance_handle_t> handles(16);
  dds_return_t count = query(handles.data(), handles.size());
  // Matches may come and go meanwhile: retry until the buffer was big enough.
  while (count >= 0 && static_cast<std::size_t>(count) > handles.size()) {
    handles.resize(static_cast<std::size_t>(count) + 16);
    count = query(handles.data(), handles.size());
  }
  handles.resize(count < 0 ? 0 : static_cast<std::size_t>(count));
  return handles;
}

Endpoint::Endpoint(
    Kind kind, dds_entity_t participant, dds_entity_t parent, const std::string & topic_name,
    const std::string & type_name, const rmw_qos_profile_t & qos, const EndpointOptions & options,
    const dds_listener_t * listener)
{
  const QosPtr dds_qos = make_endpoint_qos(
      qos, kind == Kind::kReader && options.ignore_local_publications, options.user_data);

  ddsi_sertype * sertype = create_raw_sertype(type_name);
  topic_ = dds_create_topic_sertype(
      participant, topic_name.c_str(), &sertype, nullptr, nullptr, nullptr);
  if (topic_ < 0) {
    ddsi_sertype_unref(sertype);  // not taken over on failure
    throw std::runtime_error(topic_error(topic_name, topic_));
  }
  sertype_ = sertype;  // the topic's own (possibly pre-existing) sertype

  entity_ = kind == Kind::kWriter ? dds_create_writer(parent, topic_, dds_qos.get(), listener)
                                  : dds_create_reader(parent, topic_, dds_qos.get(), listener);
  if (entity_ < 0) {
    const dds_return_t code = entity_;
    dds_delete(topic_);
    throw std::runtime_error(
        std::string(kind == Kind::kWriter ? "failed to create writer" : "failed to create reader") +
        " on topic [" + topic_name + "]: " + dds_strretcode(code));
  }
  guid_ = entity_guid(entity_);
  dds_instance_handle_t handle = 0;
  dds_get_instance_handle(entity_, &handle);
  instance_handle_ = handle;
}

Endpoint::~Endpoint()
{
  // Deleting the reader/writer waits for its listener calls to finish.
  dds_delete(entity_);
  dds_delete(topic_);
}

}  // namespace client_layer::rmw::detail
