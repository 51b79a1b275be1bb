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

// The request header ahead of service fields, in the sample's byte order.
#ifndef CLIENT_LAYER__RMW__BYTE_ORDER_HPP_
#define CLIENT_LAYER__RMW__BYTE_ORDER_HPP_

#include <array>
#include <cstdint>

#include "client_layer/rmw/transport.hpp"

namespace client_layer::rmw::detail {

constexpr std::size_t kEncapsulationHeaderSize = 4;
constexpr std::size_t kRequestHeaderSize = 16;

// The encapsulation header's second byte is 1 for little-endian CDR.
inline bool is_little_endian_sample(const std::uint8_t * encapsulation)
{
  return (encapsulation[1] & 0x01) != 0;
}

inline void put_u64(std::uint8_t * out, std::uint64_t value, bool little_endian)
{
  for (int i = 0; i < 8; i++) {
    out[little_endian ? i : 7 - i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

inline std::uint64_t get_u64(const std::uint8_t * in, bool little_endian)
{
  std::uint64_t value = 0;
  for (int i = 0; i < 8; i++) {
    value |= static_cast<std::uint64_t>(in[little_endian ? i : 7 - i]) << (8 * i);
  }
  return value;
}

inline std::array<std::uint8_t, kRequestHeaderSize> encode_request_header(
    const RequestHeader & header, bool little_endian)
{
  std::array<std::uint8_t, kRequestHeaderSize> bytes{};
  put_u64(bytes.data(), header.guid, little_endian);
  put_u64(bytes.data() + 8, static_cast<std::uint64_t>(header.sequence_number), little_endian);
  return bytes;
}

inline RequestHeader decode_request_header(const std::uint8_t * in, bool little_endian)
{
  RequestHeader header;
  header.guid = get_u64(in, little_endian);
  header.sequence_number = static_cast<std::int64_t>(get_u64(in + 8, little_endian));
  return header;
}

}  // namespace client_layer::rmw::detail

#endif  // CLIENT_LAYER__RMW__BYTE_ORDER_HPP_
