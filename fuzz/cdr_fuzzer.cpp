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

// CDR decoding of every generated type. The first byte picks the type (see
// cdr_types.hpp), the rest is the sample as it comes off the wire: the
// encapsulation header, then the body.
//
// A sample that decodes must encode to bytes that decode again, consumed
// exactly, to the same message (compared by its encoding, which also holds
// for NaN fields). The query service's payload goes on to diagctl's decoder.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "cdr_types.hpp"
#include "client_layer/type_support.hpp"
#include "diagctl/diag_srv_payload.hpp"
#include "fuzz_check.hpp"

namespace {

using client_layer::SerializedBuffer;

// Decodes a whole sample; false unless every byte after the header was used.
template <typename MessageT>
bool decode_exactly(const SerializedBuffer & sample, MessageT & message)
{
  client_layer::CdrReader reader(sample.data(), sample.size());
  return reader.read_encapsulation() &&
         client_layer::TypeSupport<MessageT>::deserialize(reader, message) &&
         reader.remaining() == 0;
}

// What a program does with a decoded message beyond the layer.
template <typename MessageT>
void use_decoded(const MessageT &)
{
}

void use_decoded(const corvanta_protocol::srv::DiagnosticSrv_Response & response)
{
  std::string error;
  const auto root_causes = diagctl::decode_root_causes(response.data, error);
  fuzz::check(root_causes.has_value() || !error.empty(), "payload refused without a reason");
}

template <typename MessageT>
void check_round_trip(const std::uint8_t * data, std::size_t size)
{
  const char * type = client_layer::TypeSupport<MessageT>::ros_type_name();
  MessageT message;
  if (!client_layer::deserialize_message(data, size, message)) {
    return;
  }
  SerializedBuffer encoded;
  client_layer::serialize_message(message, encoded);
  MessageT decoded;
  fuzz::check(decode_exactly(encoded, decoded), type, ": its own encoding does not decode");
  SerializedBuffer encoded_again;
  client_layer::serialize_message(decoded, encoded_again);
  fuzz::check(encoded == encoded_again, type, ": a decode and encode round trip changed it");
  use_decoded(message);
}

template <std::size_t... Index>
void check_type(
    std::size_t index, const std::uint8_t * data, std::size_t size, std::index_sequence<Index...>)
{
  ((index == Index ? check_round_trip<std::tuple_element_t<Index, fuzz::CdrTypes>>(data, size)
                   : void()),
   ...);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  if (size == 0 || data[0] >= fuzz::kCdrTypeCount) {
    return -1;  // not an input of this target: keep it out of the corpus
  }
  check_type(data[0], data + 1, size - 1, std::make_index_sequence<fuzz::kCdrTypeCount>());
  return 0;
}
