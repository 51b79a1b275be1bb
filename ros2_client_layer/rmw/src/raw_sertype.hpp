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

// A Cyclone DDS sertype for keyless topics whose samples are opaque byte
// buffers: the serialized ROS message, encapsulation header included. The
// client layer serializes and deserializes above this; the transport only
// moves bytes and never interprets them beyond the 4-byte header.
#ifndef CLIENT_LAYER__RMW__RAW_SERTYPE_HPP_
#define CLIENT_LAYER__RMW__RAW_SERTYPE_HPP_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dds/dds.h"
#include "dds/ddsi/ddsi_serdata.h"
#include "dds/ddsi/ddsi_sertype.h"

namespace client_layer::rmw::detail {

// A new sertype named `type_name` ("pkg::msg::dds_::Name_"), with one
// reference owned by the caller (dds_create_topic_sertype takes it over).
ddsi_sertype * create_raw_sertype(const std::string & type_name);

// A sample for `type` assembled from `pieces` (the first starting with the
// encapsulation header). The bytes go on the wire padded to a multiple of 4,
// with the padding count in the encapsulation options as XCDR specifies, so a
// reader restores the exact length. Returns nullptr when out of memory.
struct BytePiece
{
  const std::uint8_t * data;
  std::size_t size;
};
ddsi_serdata * make_raw_serdata(
    const ddsi_sertype * type, const BytePiece * pieces, std::size_t count);

// Copies the sample bytes of `serdata` (made by this sertype) into `out`,
// without the wire padding and with the options' padding bits cleared.
void copy_raw_sample(const ddsi_serdata * serdata, std::vector<std::uint8_t> & out);

// The sample bytes of `serdata` without the wire padding.
BytePiece raw_sample_bytes(const ddsi_serdata * serdata);

// A sample made by a writer of this process reaches the thread that takes it
// through locks inside Cyclone DDS, which ThreadSanitizer does not see (the
// library is not instrumented and its calls are ignored). These tell it of
// the hand-off; they are empty in other builds.
void announce_handed_over(const ddsi_serdata * serdata);
void announce_taken(const ddsi_serdata * serdata);

}  // namespace client_layer::rmw::detail

#endif  // CLIENT_LAYER__RMW__RAW_SERTYPE_HPP_
