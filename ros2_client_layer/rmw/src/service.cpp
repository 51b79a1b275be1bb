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

#include "client_layer/rmw/service.hpp"

#include <atomic>
#include <cstring>
#include <iomanip>
#include <set>
#include <sstream>
#include <thread>

namespace client_layer::rmw {

std::int64_t next_request_sequence_number()
{
  static std::atomic<std::int64_t> last{0};
  return ++last;
}

rmw_request_id_t to_request_id(const RequestHeader & header, std::uint64_t request_writer_handle)
{
  static_assert(
      sizeof(rmw_request_id_t::writer_guid) == sizeof(header.guid) + sizeof(request_writer_handle),
      "writer_guid holds the client's guid and the request writer's handle");
  rmw_request_id_t id{};
  std::memcpy(id.writer_guid, &header.guid, sizeof(header.guid));
  std::memcpy(
      id.writer_guid + sizeof(header.guid), &request_writer_handle, sizeof(request_writer_handle));
  id.sequence_number = header.sequence_number;
  return id;
}

void from_request_id(
    const rmw_request_id_t & request_id, RequestHeader & header,
    std::uint64_t & request_writer_handle)
{
  std::memcpy(&header.guid, request_id.writer_guid, sizeof(header.guid));
  std::memcpy(
      &request_writer_handle, request_id.writer_guid + sizeof(header.guid),
      sizeof(request_writer_handle));
  header.sequence_number = request_id.sequence_number;
}

std::string client_service_id_to_string(const ClientServiceId & id)
{
  std::ostringstream os;
  os << std::hex << std::setw(2) << static_cast<int>(id[0]);
  for (std::size_t i = 1; i < id.size(); i++) {
    os << "." << static_cast<int>(id[i]);
  }
  return os.str();
}

std::string client_user_data(const ClientServiceId & id)
{
  return "clientid=" + client_service_id_to_string(id) + ";";
}

std::string service_user_data(const ClientServiceId & id)
{
  return "serviceid=" + client_service_id_to_string(id) + ";";
}

bool user_data_value(const std::string & user_data, const std::string & key, std::string & value)
{
  // "k=v;" pairs; a pair without '=' or with an empty key is ignored.
  std::size_t start = 0;
  while (start < user_data.size()) {
    std::size_t end = user_data.find(';', start);
    if (end == std::string::npos) {
      end = user_data.size();
    }
    const std::size_t equals = user_data.find('=', start);
    if (equals != std::string::npos && equals < end && equals > start &&
        user_data.compare(start, equals - start, key) == 0 && equals - start == key.size()) {
      value = user_data.substr(equals + 1, end - equals - 1);
      return true;
    }
    start = end + 1;
  }
  return false;
}

ClientPresence check_for_response_reader(
    const RawReader & request_reader, const RawWriter & reply_writer,
    std::uint64_t request_writer_handle)
{
  std::string request_writer_user_data;
  if (!request_reader.matched_writer_user_data(request_writer_handle, request_writer_user_data)) {
    return ClientPresence::kGone;
  }
  std::string client_id;
  if (!user_data_value(request_writer_user_data, "clientid", client_id)) {
    return ClientPresence::kYes;  // a client without an id: assume all is well
  }
  for (const std::string & reader_user_data : reply_writer.matched_reader_user_data()) {
    std::string reader_client_id;
    user_data_value(reader_user_data, "clientid", reader_client_id);
    if (reader_client_id == client_id) {
      return ClientPresence::kYes;
    }
  }
  return ClientPresence::kMaybe;
}

ClientPresence wait_for_response_reader(
    const RawReader & request_reader, const RawWriter & reply_writer,
    std::uint64_t request_writer_handle, std::chrono::milliseconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  ClientPresence presence;
  while ((presence = check_for_response_reader(
              request_reader, reply_writer, request_writer_handle)) == ClientPresence::kMaybe &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return presence;
}

bool service_is_available(const RawWriter & request_writer, const RawReader & reply_reader)
{
  const std::vector<std::string> readers = request_writer.matched_reader_user_data();
  const std::vector<std::string> writers = reply_reader.matched_writer_user_data();
  std::set<std::string> service_ids;
  for (const std::string & user_data : readers) {
    std::string id;
    if (user_data_value(user_data, "serviceid", id)) {
      service_ids.insert(id);
    }
  }
  if (service_ids.empty()) {
    return !readers.empty() && !writers.empty();
  }
  for (const std::string & user_data : writers) {
    std::string id;
    if (user_data_value(user_data, "serviceid", id) && service_ids.count(id) > 0) {
      return true;
    }
  }
  return false;
}

}  // namespace client_layer::rmw
