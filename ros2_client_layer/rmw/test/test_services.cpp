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

// Service plumbing: request/reply headers, availability and reply readiness.
#include <gtest/gtest.h>

#include "client_layer/rmw/service.hpp"
#include "client_layer/rmw/transport.hpp"
#include "rmw/qos_profiles.h"
#include "test_support.hpp"

namespace client_layer::rmw {
namespace {

using test::sample_with_body;
using test::wait_until;

constexpr const char * kRequestType = "test_msgs::srv::dds_::Query_Request_";
constexpr const char * kReplyType = "test_msgs::srv::dds_::Query_Response_";

struct Client
{
  explicit Client(const std::shared_ptr<Participant> & participant)
  {
    EndpointOptions options;
    options.user_data = client_user_data(participant->next_client_service_id());
    request_writer = std::make_unique<RawWriter>(
        participant, service_request_to_dds("/query"), kRequestType,
        rmw_qos_profile_services_default, options);
    reply_reader = std::make_unique<RawReader>(
        participant, service_reply_to_dds("/query"), kReplyType, rmw_qos_profile_services_default,
        nullptr, options);
  }
  std::unique_ptr<RawWriter> request_writer;
  std::unique_ptr<RawReader> reply_reader;
};

struct Server
{
  explicit Server(const std::shared_ptr<Participant> & participant)
  {
    EndpointOptions options;
    options.user_data = service_user_data(participant->next_client_service_id());
    request_reader = std::make_unique<RawReader>(
        participant, service_request_to_dds("/query"), kRequestType,
        rmw_qos_profile_services_default, nullptr, options);
    reply_writer = std::make_unique<RawWriter>(
        participant, service_reply_to_dds("/query"), kReplyType, rmw_qos_profile_services_default,
        options);
  }
  std::unique_ptr<RawReader> request_reader;
  std::unique_ptr<RawWriter> reply_writer;
};

class ServiceTest : public ::testing::Test
{
protected:
  std::shared_ptr<Participant> client_side = Participant::create(test::test_domain_id());
  std::shared_ptr<Participant> server_side = Participant::create(test::test_domain_id());
};

TEST_F(ServiceTest, ClientServiceIdsArePrefixPlusCounter)
{
  const ClientServiceId first = client_side->next_client_service_id();
  const ClientServiceId second = client_side->next_client_service_id();
  EXPECT_TRUE(std::equal(first.begin(), first.begin() + 12, client_side->guid().bytes.begin()));
  EXPECT_EQ(first[15] + 1, second[15]);
  EXPECT_EQ(first[12], 0);
}

TEST_F(ServiceTest, RoundTripWithHeadersAndBinaryPayload)
{
  Client client(client_side);
  EXPECT_FALSE(service_is_available(*client.request_writer, *client.reply_reader));
  Server server(server_side);
  ASSERT_TRUE(wait_until(
      [&] { return service_is_available(*client.request_writer, *client.reply_reader); }));

  // Client sends a request with bytes 0x00 and 0xFF in its fields.
  const auto request = sample_with_body({0x05, 0x00, 0x00, 0x00, 0xFF, 0x00, 0xFF});
  const RequestHeader sent{
      client.request_writer->instance_handle(), next_request_sequence_number()};
  ASSERT_TRUE(client.request_writer->write_request(sent, request.data(), request.size()));

  // Server takes it and learns who asked.
  std::vector<std::uint8_t> received;
  RequestHeader header;
  SampleInfo info;
  ASSERT_TRUE(wait_until([&] {
    return server.request_reader->take_request(received, header, &info) == TakeResult::kTaken;
  }));
  EXPECT_EQ(received, request);
  EXPECT_EQ(header.guid, sent.guid);
  EXPECT_EQ(header.sequence_number, sent.sequence_number);
  const rmw_request_id_t request_id = to_request_id(header, info.publication_handle);

  // Server replies once the client's reply reader is matched.
  RequestHeader reply_header;
  std::uint64_t request_writer_handle = 0;
  from_request_id(request_id, reply_header, request_writer_handle);
  ASSERT_EQ(
      wait_for_response_reader(*server.request_reader, *server.reply_writer, request_writer_handle),
      ClientPresence::kYes);
  const auto reply = sample_with_body({0xFF, 0xFF, 0x00});
  ASSERT_TRUE(server.reply_writer->write_request(reply_header, reply.data(), reply.size()));

  std::vector<std::uint8_t> reply_received;
  RequestHeader reply_received_header;
  ASSERT_TRUE(wait_until([&] {
    return client.reply_reader->take_request(reply_received, reply_received_header) ==
           TakeResult::kTaken;
  }));
  EXPECT_EQ(reply_received, reply);
  EXPECT_EQ(reply_received_header.guid, client.request_writer->instance_handle());
  EXPECT_EQ(reply_received_header.sequence_number, sent.sequence_number);
}

TEST_F(ServiceTest, ReplyToAClientThatLeftIsDropped)
{
  Server server(server_side);
  std::uint64_t request_writer_handle = 0;
  {
    Client client(client_side);
    ASSERT_TRUE(wait_until([&] { return server.request_reader->matched_count() == 1; }));
    const auto request = sample_with_body({1});
    ASSERT_TRUE(client.request_writer->write_request(
        RequestHeader{client.request_writer->instance_handle(), 1}, request.data(),
        request.size()));
    std::vector<std::uint8_t> received;
    RequestHeader header;
    SampleInfo info;
    ASSERT_TRUE(wait_until([&] {
      return server.request_reader->take_request(received, header, &info) == TakeResult::kTaken;
    }));
    request_writer_handle = info.publication_handle;
  }
  ASSERT_TRUE(wait_until([&] { return server.request_reader->matched_count() == 0; }));
  EXPECT_EQ(
      check_for_response_reader(
          *server.request_reader, *server.reply_writer, request_writer_handle),
      ClientPresence::kGone);
}

TEST_F(ServiceTest, ClientWithoutReplyReaderIsNotReadyForReplies)
{
  Server server(server_side);
  EndpointOptions options;
  options.user_data = client_user_data(client_side->next_client_service_id());
  RawWriter request_writer(
      client_side, service_request_to_dds("/query"), kRequestType, rmw_qos_profile_services_default,
      options);
  ASSERT_TRUE(wait_until([&] { return server.request_reader->matched_count() == 1; }));
  const auto request = sample_with_body({1});
  ASSERT_TRUE(request_writer.write_request(RequestHeader{1, 1}, request.data(), request.size()));
  std::vector<std::uint8_t> received;
  RequestHeader header;
  SampleInfo info;
  ASSERT_TRUE(wait_until([&] {
    return server.request_reader->take_request(received, header, &info) == TakeResult::kTaken;
  }));
  EXPECT_EQ(
      wait_for_response_reader(
          *server.request_reader, *server.reply_writer, info.publication_handle,
          std::chrono::milliseconds(30)),
      ClientPresence::kMaybe);
}

TEST_F(ServiceTest, ShortRequestIsMalformed)
{
  Server server(server_side);
  RawWriter raw(
      client_side, service_request_to_dds("/query"), kRequestType,
      rmw_qos_profile_services_default);
  ASSERT_TRUE(wait_until([&] { return raw.matched_count() == 1; }));
  const auto too_short = sample_with_body({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
  ASSERT_TRUE(raw.write(too_short.data(), too_short.size()));
  std::vector<std::uint8_t> out;
  RequestHeader header;
  TakeResult result = TakeResult::kNone;
  ASSERT_TRUE(wait_until([&] {
    result = server.request_reader->take_request(out, header);
    return result != TakeResult::kNone;
  }));
  EXPECT_EQ(result, TakeResult::kMalformed);

  // A big-endian request decodes in its own byte order.
  std::vector<std::uint8_t> big{0x00, 0x00, 0x00, 0x00};
  for (int i = 0; i < 7; i++) {
    big.push_back(0);
  }
  big.push_back(9);  // guid 9
  for (int i = 0; i < 7; i++) {
    big.push_back(0);
  }
  big.push_back(3);  // sequence number 3
  big.push_back(0xAB);
  ASSERT_TRUE(raw.write(big.data(), big.size()));
  ASSERT_TRUE(wait_until(
      [&] { return server.request_reader->take_request(out, header) == TakeResult::kTaken; }));
  EXPECT_EQ(header.guid, 9u);
  EXPECT_EQ(header.sequence_number, 3);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x00, 0xAB}));
}

}  // namespace
}  // namespace client_layer::rmw
