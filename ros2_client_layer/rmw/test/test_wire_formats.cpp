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

// Byte layouts and strings the transport puts on the wire.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "byte_order.hpp"
#include "client_layer/rmw/service.hpp"
#include "client_layer/rmw/transport.hpp"
#include "domain.hpp"
#include "entities_info.hpp"
#include "rmw/time.h"

namespace client_layer::rmw {
namespace {

Guid guid_with(std::uint8_t first)
{
  Guid guid;
  for (std::size_t i = 0; i < guid.bytes.size(); i++) {
    guid.bytes[i] = static_cast<std::uint8_t>(first + i);
  }
  return guid;
}

TEST(Names, FollowRosPrefixesAndSuffixes)
{
  EXPECT_EQ(topic_to_dds("/diagnostic_event"), "rt/diagnostic_event");
  EXPECT_EQ(topic_to_dds("/ns/a/b"), "rt/ns/a/b");
  EXPECT_EQ(service_request_to_dds("/ns/query"), "rq/ns/queryRequest");
  EXPECT_EQ(service_reply_to_dds("/ns/query"), "rr/ns/queryReply");
}

TEST(DomainConfiguration, CycloneDefaultsUnlessTheUserSaysOtherwise)
{
  // Write batching comes first, so that the user's configuration, which
  // comes last, has the final word; localhost-only names 127.0.0.1 before it.
  const std::string batching =
      "<CycloneDDS><Domain Id=\"any\"><Internal><WriteBatch>true</WriteBatch></Internal>"
      "</Domain></CycloneDDS>,";
  const std::string localhost =
      "<CycloneDDS><Domain><General><Interfaces><NetworkInterface address=\"127.0.0.1\"/>"
      "</Interfaces></General></Domain></CycloneDDS>,";
  const char * given = std::getenv("CYCLONEDDS_URI");
  const std::optional<std::string> saved = given ? std::optional<std::string>(given) : std::nullopt;
  unsetenv("CYCLONEDDS_URI");
  EXPECT_EQ(detail::domain_config(false), batching);
  EXPECT_EQ(detail::domain_config(true), batching + localhost);
  setenv("CYCLONEDDS_URI", "", 1);
  EXPECT_EQ(detail::domain_config(false), batching);
  setenv("CYCLONEDDS_URI", "file:///etc/cyclone.xml", 1);
  EXPECT_EQ(detail::domain_config(false), batching + "file:///etc/cyclone.xml");
  EXPECT_EQ(detail::domain_config(true), batching + localhost + "file:///etc/cyclone.xml");
  if (saved) {
    setenv("CYCLONEDDS_URI", saved->c_str(), 1);
  } else {
    unsetenv("CYCLONEDDS_URI");
  }

  const std::string loopback = loopback_domain_configuration();
  EXPECT_NE(loopback.find("<NetworkInterface address=\"127.0.0.1\""), std::string::npos);
  EXPECT_NE(loopback.find("<AllowMulticast>false</AllowMulticast>"), std::string::npos);
  EXPECT_NE(loopback.find("<Peer address=\"127.0.0.1\"/>"), std::string::npos);
}

TEST(RmwTime, ComparesConvertsAndSaturates)
{
  EXPECT_TRUE(rmw_time_equal(rmw_time_t{1, 0}, rmw_time_t{0, 1000000000}));
  EXPECT_EQ(rmw_time_total_nsec(rmw_time_t{2, 5}), 2000000005);
  EXPECT_EQ(rmw_time_total_nsec(rmw_time_t{UINT64_MAX, 0}), INT64_MAX);
  EXPECT_EQ(rmw_time_total_nsec(rmw_time_t RMW_DURATION_INFINITE), INT64_MAX);
  const rmw_time_t t = rmw_time_from_nsec(3500000000);
  EXPECT_EQ(t.sec, 3u);
  EXPECT_EQ(t.nsec, 500000000u);
  EXPECT_TRUE(rmw_time_equal(rmw_time_from_nsec(-1), rmw_time_t RMW_DURATION_INFINITE));
  const rmw_time_t n = rmw_time_normalize(rmw_time_t{1, 2500000000});
  EXPECT_EQ(n.sec, 3u);
  EXPECT_EQ(n.nsec, 500000000u);
}

TEST(ServiceWire, RequestIdCarriesHeaderAndWriterHandle)
{
  const RequestHeader header{0x1122334455667788ULL, 42};
  const rmw_request_id_t id = to_request_id(header, 0xAABBCCDDEEFF0011ULL);
  EXPECT_EQ(id.sequence_number, 42);
  RequestHeader back;
  std::uint64_t handle = 0;
  from_request_id(id, back, handle);
  EXPECT_EQ(back.guid, header.guid);
  EXPECT_EQ(back.sequence_number, 42);
  EXPECT_EQ(handle, 0xAABBCCDDEEFF0011ULL);
}

TEST(ServiceWire, RequestHeaderFollowsTheSampleByteOrder)
{
  const RequestHeader header{0x0102030405060708ULL, -2};
  const auto little = detail::encode_request_header(header, true);
  const auto big = detail::encode_request_header(header, false);
  using Header = decltype(little);
  EXPECT_EQ(
      little, (Header{8, 7, 6, 5, 4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(big, (Header{1, 2, 3, 4, 5, 6, 7, 8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}));
  const RequestHeader decoded = detail::decode_request_header(big.data(), false);
  EXPECT_EQ(decoded.guid, header.guid);
  EXPECT_EQ(decoded.sequence_number, -2);
}

TEST(ServiceWire, SequenceNumbersIncrease)
{
  const std::int64_t first = next_request_sequence_number();
  EXPECT_GE(first, 1);
  EXPECT_EQ(next_request_sequence_number(), first + 1);
}

TEST(ServiceWire, ClientServiceIdsPrintLikeHumble)
{
  ClientServiceId id{};
  id[0] = 0x01;
  id[1] = 0x0f;
  id[2] = 0xab;
  id[15] = 0x07;
  EXPECT_EQ(client_service_id_to_string(id), " 1.f.ab.0.0.0.0.0.0.0.0.0.0.0.0.7");
  id[0] = 0x9c;
  EXPECT_EQ(client_user_data(id), "clientid=9c.f.ab.0.0.0.0.0.0.0.0.0.0.0.0.7;");
  EXPECT_EQ(service_user_data(id), "serviceid=9c.f.ab.0.0.0.0.0.0.0.0.0.0.0.0.7;");
}

TEST(ServiceWire, UserDataValuesAreFoundByExactKey)
{
  std::string value;
  EXPECT_TRUE(user_data_value("clientid=1.2;x=y;", "clientid", value));
  EXPECT_EQ(value, "1.2");
  EXPECT_TRUE(user_data_value("a=1;serviceid=abc", "serviceid", value));
  EXPECT_EQ(value, "abc");
  EXPECT_FALSE(user_data_value("xclientid=1;", "clientid", value));
  EXPECT_FALSE(user_data_value("clientidx=1;", "clientid", value));
  EXPECT_FALSE(user_data_value("enclave=/;", "clientid", value));
  EXPECT_FALSE(user_data_value("", "clientid", value));
  EXPECT_FALSE(user_data_value("clientid;", "clientid", value));
}

TEST(EntitiesInfo, SerializesParticipantEntitiesInfo)
{
  detail::EntitiesInfo info(guid_with(0x10));
  EXPECT_TRUE(info.add_node("/", "talker"));
  EXPECT_TRUE(info.add_endpoint("/", "talker", guid_with(0x40), false));
  EXPECT_TRUE(info.add_endpoint("/", "talker", guid_with(0x50), true));
  EXPECT_FALSE(info.add_endpoint("/", "nobody", guid_with(0x60), true));

  std::vector<std::uint8_t> expected{0x00, 0x01, 0x00, 0x00};
  auto append_gid = [&](std::uint8_t first) {
    for (std::uint8_t i = 0; i < 16; i++) {
      expected.push_back(static_cast<std::uint8_t>(first + i));
    }
    expected.insert(expected.end(), 8, 0);
  };
  append_gid(0x10);
  const std::vector<std::uint8_t> header = expected;  // encapsulation and gid
  auto append_u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; i++) {
      expected.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
  };
  append_u32(1);                                    // one node
  append_u32(2);                                    // "/" with its NUL
  expected.insert(expected.end(), {'/', 0, 0, 0});  // + alignment
  append_u32(7);
  expected.insert(expected.end(), {'t', 'a', 'l', 'k', 'e', 'r', 0, 0});
  append_u32(1);  // readers
  append_gid(0x50);
  append_u32(1);  // writers
  append_gid(0x40);
  // The last string is followed by padding only as far as the next field.
  EXPECT_EQ(info.serialize(), expected);

  EXPECT_TRUE(info.remove_endpoint("/", "talker", guid_with(0x40), false));
  EXPECT_FALSE(info.remove_endpoint("/", "talker", guid_with(0x40), false));
  EXPECT_TRUE(info.remove_node("/", "talker"));
  EXPECT_FALSE(info.remove_node("/", "talker"));
  expected = header;
  append_u32(0);  // no nodes
  EXPECT_EQ(info.serialize(), expected);
}

}  // namespace
}  // namespace client_layer::rmw
