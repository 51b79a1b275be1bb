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

// A DDS topic of raw samples together with one reader or writer on it.
#ifndef CLIENT_LAYER__RMW__ENDPOINT_HPP_
#define CLIENT_LAYER__RMW__ENDPOINT_HPP_

#include <cstdint>
#include <string>
#include <vector>

#include "client_layer/rmw/transport.hpp"
#include "dds/dds.h"

namespace client_layer::rmw::detail {

class Endpoint
{
public:
  enum class Kind
  {
    kReader,
    kWriter
  };

  // Creates the topic `topic_name` with a raw sertype named `type_name` in
  // `participant`, and a reader (under `parent`, a DDS subscriber) or writer
  // (under a DDS publisher) with the mapped QoS and `listener` (may be null).
  // Throws std::runtime_error / std::invalid_argument with a clear message.
  Endpoint(
      Kind kind, dds_entity_t participant, dds_entity_t parent, const std::string & topic_name,
      const std::string & type_name, const rmw_qos_profile_t & qos, const EndpointOptions & options,
      const dds_listener_t * listener);
  ~Endpoint();
  Endpoint(const Endpoint &) = delete;
  Endpoint & operator=(const Endpoint &) = delete;

  dds_entity_t entity() const { return entity_; }
  // The sertype the topic actually uses; valid while the topic lives.
  const ddsi_sertype * sertype() const { return sertype_; }
  Guid guid() const { return guid_; }
  std::uint64_t instance_handle() const { return instance_handle_; }

private:
  dds_entity_t topic_ = 0;
  dds_entity_t entity_ = 0;
  const ddsi_sertype * sertype_ = nullptr;
  Guid guid_;
  std::uint64_t instance_handle_ = 0;
};

Guid guid_of(const dds_guid_t & guid);
Guid entity_guid(dds_entity_t entity);

// USER_DATA of a QoS as a string ("" when absent).
std::string user_data_of(const dds_qos_t * qos);

// Matched remote endpoints of a writer (readers) or reader (writers).
std::vector<dds_instance_handle_t> matched_handles(dds_entity_t entity, Endpoint::Kind kind);

}  // namespace client_layer::rmw::detail

#endif  // CLIENT_LAYER__RMW__ENDPOINT_HPP_
