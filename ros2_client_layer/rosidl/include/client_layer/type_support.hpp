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

// Contract between generated message code and the rest of the client layer.
//
// For every message type M (also a service's Request and Response), the
// generator emits a specialisation of client_layer::TypeSupport<M> with:
//   static constexpr const char * dds_type_name();  // "pkg::msg::dds_::Name_"
//   static constexpr const char * ros_type_name();  // "pkg/msg/Name"
//   static void serialize(CdrWriter & writer, const M & message);
//   static bool deserialize(CdrReader & reader, M & message);  // false: malformed
// and, for every service type S, client_layer::ServiceTypeSupport<S> with
//   using Request = ...; using Response = ...;
//   static constexpr const char * ros_type_name();  // "pkg/srv/Name"
#ifndef CLIENT_LAYER__TYPE_SUPPORT_HPP_
#define CLIENT_LAYER__TYPE_SUPPORT_HPP_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "client_layer/cdr.hpp"

namespace client_layer {

template <typename MessageT>
struct TypeSupport;

template <typename ServiceT>
struct ServiceTypeSupport;

// One serialized sample as it travels on the wire: the 4-byte ROS 2
// encapsulation header (little-endian plain CDR) followed by the body.
using SerializedBuffer = std::vector<std::uint8_t>;

// Writes the encapsulation header and the message body into `out` (cleared first).
template <typename MessageT>
void serialize_message(const MessageT & message, SerializedBuffer & out)
{
  CdrWriter writer(out);
  writer.write_encapsulation();
  TypeSupport<MessageT>::serialize(writer, message);
}

// Reads a whole sample; false when the header or the body is malformed.
template <typename MessageT>
bool deserialize_message(const std::uint8_t * data, std::size_t size, MessageT & message)
{
  CdrReader reader(data, size);
  return reader.read_encapsulation() && TypeSupport<MessageT>::deserialize(reader, message);
}

}  // namespace client_layer

#endif  // CLIENT_LAYER__TYPE_SUPPORT_HPP_
