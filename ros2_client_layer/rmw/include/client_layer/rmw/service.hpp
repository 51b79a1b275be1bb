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

// Services on the wire, as ROS 2 Humble's Cyclone DDS middleware carries them.
//
// Topics: the client writes requests on "rq<service>Request" and reads replies
// on "rr<service>Reply"; the server the other way round. Each side's reader
// and writer carry the same USER_DATA: "clientid=<id>;" for a client,
// "serviceid=<id>;" for a server, where <id> is
// client_service_id_to_string(Participant::next_client_service_id()).
//
// Samples: request and reply are [encapsulation header][RequestHeader][fields]
// where RequestHeader is {uint64 guid; int64 sequence_number} in the sample's
// byte order, and the fields are the Request/Response message exactly as if
// serialized alone (the header is 16 bytes, so alignment is unchanged). Use
// RawWriter::write_request and RawReader::take_request.
//
// Client:
// - send: header.guid = request writer's instance_handle(), header.sequence_number =
//   next_request_sequence_number(); that number is what rclcpp's
//   async_send_request returns.
// - take reply: drop every reply whose header.guid is not its request writer's
//   instance_handle() (replies to other clients of the same service).
// - service_is_ready / wait_for_service: service_is_available() below.
// Server:
// - take request: rmw_request_id_t from to_request_id(header, info.publication_handle):
//   writer_guid holds header.guid then the local instance handle of the
//   client's request writer; sequence_number is header.sequence_number.
// - send reply: from_request_id() gives the header to echo and the request
//   writer's handle; wait_for_response_reader() (up to 100 ms) until the
//   client's reply reader is matched, then write_request(header, response).
//   kGone: the client left, drop the reply silently; kMaybe after the wait:
//   rclcpp Humble warns "failed to send response to <service> (timeout): ..."
//   and drops it; kFailure: an error.
#ifndef CLIENT_LAYER__RMW__SERVICE_HPP_
#define CLIENT_LAYER__RMW__SERVICE_HPP_

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "client_layer/rmw/transport.hpp"
#include "rmw/types.h"

namespace client_layer::rmw {

using ClientServiceId = std::array<std::uint8_t, 16>;

// Process-wide request counter (first value 1), as rmw_send_request's.
std::int64_t next_request_sequence_number();

rmw_request_id_t to_request_id(const RequestHeader & header, std::uint64_t request_writer_handle);
void from_request_id(
    const rmw_request_id_t & request_id, RequestHeader & header,
    std::uint64_t & request_writer_handle);

// Hex bytes separated by dots, the first one padded to width 2 with a space
// (as Humble's middleware prints it): " 1.f.0.10...".
std::string client_service_id_to_string(const ClientServiceId & id);
std::string client_user_data(const ClientServiceId & id);   // "clientid=<id>;"
std::string service_user_data(const ClientServiceId & id);  // "serviceid=<id>;"

// The value of `key` in "key=value;key=value;" USER_DATA; false when absent.
bool user_data_value(const std::string & user_data, const std::string & key, std::string & value);

enum class ClientPresence
{
  kFailure,  // could not check
  kMaybe,    // the client's request writer is matched, its reply reader not yet
  kYes,      // the client's reply reader is matched (or the client has no id)
  kGone,     // the client's request writer is gone
};

// One check of the server side before replying to the request that came from
// the writer with `request_writer_handle`.
ClientPresence check_for_response_reader(
    const RawReader & request_reader, const RawWriter & reply_writer,
    std::uint64_t request_writer_handle);

// Repeats the check every 10 ms while kMaybe, for at most `timeout`.
ClientPresence wait_for_response_reader(
    const RawReader & request_reader, const RawWriter & reply_writer,
    std::uint64_t request_writer_handle,
    std::chrono::milliseconds timeout = std::chrono::milliseconds(100));

// Whether a server is there for this client: a matched request reader and a
// matched reply writer of the same server (same serviceid); when no matched
// reader announces a serviceid, any matched reader and writer will do.
bool service_is_available(const RawWriter & request_writer, const RawReader & reply_reader);

}  // namespace client_layer::rmw

#endif  // CLIENT_LAYER__RMW__SERVICE_HPP_
