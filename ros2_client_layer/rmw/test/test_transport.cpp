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

// Raw samples between two participants of one process.
#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "client_layer/rmw/transport.hpp"
#include "rmw/qos_profiles.h"
#include "test_support.hpp"

namespace client_layer::rmw {
namespace {

using test::kBytesType;
using test::reliable_keep_all;
using test::reliable_keep_last;
using test::sample_with_body;
using test::wait_until;

class TransportTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    sender = Participant::create(test::test_domain_id());
    receiver = Participant::create(test::test_domain_id());
  }

  // Takes everything that arrives until `count` samples are in or time runs out.
  std::vector<std::vector<std::uint8_t>> take_all(RawReader & reader, std::size_t count)
  {
    std::vector<std::vector<std::uint8_t>> samples;
    wait_until([&] {
      std::vector<std::uint8_t> sample;
      while (reader.take(sample)) {
        samples.push_back(sample);
      }
      return samples.size() >= count;
    });
    return samples;
  }

  std::shared_ptr<Participant> sender;
  std::shared_ptr<Participant> receiver;
};

TEST_F(TransportTest, ExchangesSamplesAndSignalsData)
{
  std::atomic<int> signals{0};
  RawReader reader(receiver, "rt/chatter", kBytesType, rmw_qos_profile_default, [&] { ++signals; });
  RawWriter writer(sender, "rt/chatter", kBytesType, rmw_qos_profile_default);
  ASSERT_TRUE(
      wait_until([&] { return writer.matched_count() == 1 && reader.matched_count() == 1; }));

  const auto sample = sample_with_body({'h', 'i', 0, 0});
  ASSERT_TRUE(writer.write(sample.data(), sample.size()));
  ASSERT_TRUE(wait_until([&] { return signals.load() > 0; }));
  std::vector<std::uint8_t> received;
  SampleInfo info;
  ASSERT_TRUE(reader.take(received, &info));
  EXPECT_EQ(received, sample);
  EXPECT_EQ(info.publication_guid, writer.guid());
  EXPECT_EQ(info.publication_handle, writer.instance_handle());
  EXPECT_GT(info.source_timestamp, 0);
  EXPECT_FALSE(reader.take(received));
  EXPECT_EQ(reader.lost_count(), 0u);
}

TEST_F(TransportTest, EveryByteValueAndLengthArrivesExactly)
{
  RawReader reader(receiver, "rt/bytes", kBytesType, reliable_keep_last(100), nullptr);
  RawWriter writer(sender, "rt/bytes", kBytesType, reliable_keep_last(100));
  ASSERT_TRUE(wait_until([&] { return writer.matched_count() == 1; }));

  // Lengths around the 4-byte wire padding, with 0x00 and 0xFF everywhere.
  std::vector<std::vector<std::uint8_t>> sent;
  for (std::size_t length = 0; length < 12; length++) {
    std::vector<std::uint8_t> body;
    for (std::size_t i = 0; i < length; i++) {
      body.push_back((i % 2 == 0) ? 0x00 : 0xFF);
    }
    sent.push_back(sample_with_body(body));
    ASSERT_TRUE(writer.write(sent.back().data(), sent.back().size()));
  }
  std::vector<std::uint8_t> all_values;
  for (int value = 0; value < 256; value++) {
    all_values.push_back(static_cast<std::uint8_t>(value));
  }
  sent.push_back(sample_with_body(all_values));
  ASSERT_TRUE(writer.write(sent.back().data(), sent.back().size()));

  EXPECT_EQ(take_all(reader, sent.size()), sent);
}

TEST_F(TransportTest, KeepAllStreamArrivesWholeAndInOrder)
{
  RawReader reader(receiver, "rt/stream", kBytesType, reliable_keep_all(), nullptr);
  RawWriter writer(sender, "rt/stream", kBytesType, reliable_keep_all());
  ASSERT_TRUE(wait_until([&] { return writer.matched_count() == 1; }));

  // More than one take's worth at a time, and takes between writes, so that
  // samples held back by one take come out before later ones.
  std::vector<std::vector<std::uint8_t>> sent, received;
  std::vector<std::uint8_t> sample;
  for (std::uint8_t i = 0; i < 200; i++) {
    sent.push_back(sample_with_body({i, static_cast<std::uint8_t>(~i)}));
    ASSERT_TRUE(writer.write(sent.back().data(), sent.back().size()));
    if (i % 50 == 49 && reader.take(sample)) {
      received.push_back(sample);
    }
  }
  const auto rest = take_all(reader, sent.size() - received.size());
  received.insert(received.end(), rest.begin(), rest.end());
  EXPECT_EQ(received, sent);
}

TEST_F(TransportTest, KeepLastDepthKeepsOnlyTheNewest)
{
  RawReader reader(receiver, "rt/depth", kBytesType, reliable_keep_last(3), nullptr);
  RawWriter writer(sender, "rt/depth", kBytesType, reliable_keep_last(10));
  ASSERT_TRUE(wait_until([&] { return writer.matched_count() == 1; }));
  auto write_range = [&](std::uint8_t from, std::uint8_t to) {
    for (std::uint8_t i = from; i < to; i++) {
      const auto sample = sample_with_body({i});
      ASSERT_TRUE(writer.write(sample.data(), sample.size()));
    }
  };

  // Local delivery is synchronous, so the history is complete after a write.
  write_range(0, 10);
  std::vector<std::uint8_t> sample;
  ASSERT_TRUE(reader.take(sample));
  EXPECT_EQ(sample.at(4), 7);
  // 8 and 9 are displaced by the newer samples: only the newest three remain.
  write_range(10, 20);
  std::vector<std::uint8_t> rest;
  while (reader.take(sample)) {
    rest.push_back(sample.at(4));
  }
  EXPECT_EQ(rest, (std::vector<std::uint8_t>{17, 18, 19}));
}

TEST_F(TransportTest, TransientLocalReachesLateJoiner)
{
  rmw_qos_profile_t qos = reliable_keep_last(5);
  qos.durability = RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
  RawWriter writer(sender, "rt/latched", kBytesType, qos);
  for (std::uint8_t i = 0; i < 8; i++) {
    const auto sample = sample_with_body({i});
    ASSERT_TRUE(writer.write(sample.data(), sample.size()));
  }
  RawReader reader(receiver, "rt/latched", kBytesType, qos, nullptr);
  std::vector<std::uint8_t> firsts;
  for (const auto & sample : take_all(reader, 5)) {
    firsts.push_back(sample.at(4));
  }
  EXPECT_EQ(firsts, (std::vector<std::uint8_t>{3, 4, 5, 6, 7}));

  // A volatile reader gets nothing old.
  RawReader volatile_reader(receiver, "rt/latched", kBytesType, reliable_keep_last(5), nullptr);
  ASSERT_TRUE(wait_until([&] { return volatile_reader.matched_count() == 1; }));
  std::vector<std::uint8_t> sample;
  EXPECT_FALSE(volatile_reader.take(sample));
}

TEST_F(TransportTest, GarbageIsDeliveredAsBytes)
{
  RawReader reader(receiver, "rt/garbage", kBytesType, reliable_keep_last(100), nullptr);
  RawWriter writer(sender, "rt/garbage", kBytesType, reliable_keep_last(100));
  ASSERT_TRUE(wait_until([&] { return writer.matched_count() == 1; }));

  std::mt19937 random(42);
  std::size_t written = 0;
  for (std::size_t size : {4, 5, 17, 1000, 70000}) {
    std::vector<std::uint8_t> junk(size);
    for (auto & byte : junk) {
      byte = static_cast<std::uint8_t>(random());
    }
    ASSERT_TRUE(writer.write(junk.data(), junk.size()));
    written++;
  }
  const auto received = take_all(reader, written);
  ASSERT_EQ(received.size(), written);
  EXPECT_EQ(received.back().size(), 70000u);
}

// Cyclone receivers reject a sample without its encapsulation header, and
// with it every later sample of that writer: the writer refuses it instead.
TEST_F(TransportTest, SamplesShorterThanTheEncapsulationHeaderAreRefused)
{
  RawReader reader(receiver, "rt/short", kBytesType, reliable_keep_last(100), nullptr);
  RawWriter writer(sender, "rt/short", kBytesType, reliable_keep_last(100));
  ASSERT_TRUE(wait_until([&] { return writer.matched_count() == 1; }));

  const std::vector<std::uint8_t> bytes{0x00, 0x01, 0x00};
  for (std::size_t size = 0; size < 4; size++) {
    EXPECT_EQ(
        layer_test::what_of<std::invalid_argument>([&] { writer.write(bytes.data(), size); }),
        "serialized sample of " + std::to_string(size) +
            " bytes is shorter than its 4-byte encapsulation header");
    EXPECT_THROW(writer.write_request(RequestHeader{}, bytes.data(), size), std::invalid_argument);
  }
  const auto sample = sample_with_body({7});
  ASSERT_TRUE(writer.write(sample.data(), sample.size()));
  EXPECT_EQ(take_all(reader, 1), (std::vector<std::vector<std::uint8_t>>{sample}));
}

TEST_F(TransportTest, IgnoreLocalSkipsOwnParticipant)
{
  EndpointOptions options;
  options.ignore_local_publications = true;
  RawReader reader(sender, "rt/own", kBytesType, rmw_qos_profile_default, nullptr, options);
  RawWriter own_writer(sender, "rt/own", kBytesType, rmw_qos_profile_default);
  RawWriter other_writer(receiver, "rt/own", kBytesType, rmw_qos_profile_default);
  ASSERT_TRUE(wait_until([&] { return other_writer.matched_count() == 1; }));

  const auto own = sample_with_body({1});
  const auto other = sample_with_body({2});
  ASSERT_TRUE(own_writer.write(own.data(), own.size()));
  ASSERT_TRUE(other_writer.write(other.data(), other.size()));
  const auto received = take_all(reader, 1);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received.front(), other);
}

TEST_F(TransportTest, OtherTypeOnTheSameTopicDoesNotMatch)
{
  RawWriter writer(sender, "rt/typed", kBytesType, rmw_qos_profile_default);
  RawReader reader(
      receiver, "rt/typed", "other::msg::dds_::Type_", rmw_qos_profile_default, nullptr);
  RawReader same_type(receiver, "rt/typed", kBytesType, rmw_qos_profile_default, nullptr);
  ASSERT_TRUE(wait_until([&] { return same_type.matched_count() == 1; }));
  EXPECT_EQ(reader.matched_count(), 0u);
  EXPECT_EQ(writer.matched_count(), 1u);
}

TEST_F(TransportTest, MatchNotificationAndParticipantOfReader)
{
  std::atomic<int> writer_matches{0};
  EndpointOptions options;
  options.on_matched = [&] { ++writer_matches; };
  RawWriter writer(sender, "rt/matched", kBytesType, rmw_qos_profile_default, options);
  EXPECT_FALSE(writer.has_matched_reader_of_participant(receiver->guid()));
  {
    RawReader reader(receiver, "rt/matched", kBytesType, rmw_qos_profile_default, nullptr);
    ASSERT_TRUE(wait_until([&] { return writer_matches.load() >= 1; }));
    EXPECT_TRUE(writer.has_matched_reader_of_participant(receiver->guid()));
    EXPECT_FALSE(writer.has_matched_reader_of_participant(sender->guid()));
  }
  ASSERT_TRUE(wait_until([&] { return writer.matched_count() == 0; }));
  EXPECT_GE(writer_matches.load(), 2);
}

}  // namespace
}  // namespace client_layer::rmw
