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

// Raw samples against Cyclone DDS's own typed serializer: what a typed writer
// sends arrives byte for byte as ROS 2 lays it out, and what the raw writer
// sends decodes in a typed reader. Matching is by type name, as with ROS 2.
#include <gtest/gtest.h>

#include <cstring>

#include "client_layer/rmw/transport.hpp"
#include "dds/dds.h"
#include "interop_types.h"
#include "rmw/qos_profiles.h"
#include "test_support.hpp"

namespace client_layer::rmw {
namespace {

using test::wait_until;

constexpr const char * kTopic = "rt/interop";
constexpr const char * kType = "test_msgs::msg::dds_::Bytes_";

class InteropTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    participant = Participant::create(test::test_domain_id());
    typed_participant = dds_create_participant(test::test_domain_id(), nullptr, nullptr);
    ASSERT_GT(typed_participant, 0);
    typed_topic = dds_create_topic(
        typed_participant, &test_msgs_msg_dds__Bytes__desc, kTopic, nullptr, nullptr);
    ASSERT_GT(typed_topic, 0);
  }
  void TearDown() override { dds_delete(typed_participant); }

  std::shared_ptr<Participant> participant;
  dds_entity_t typed_participant = 0;
  dds_entity_t typed_topic = 0;
};

TEST_F(InteropTest, TypedSampleArrivesInRosLayout)
{
  RawReader reader(participant, kTopic, kType, rmw_qos_profile_default, nullptr);
  const dds_entity_t writer = dds_create_writer(typed_participant, typed_topic, nullptr, nullptr);
  ASSERT_GT(writer, 0);
  ASSERT_TRUE(wait_until([&] { return reader.matched_count() == 1; }));

  std::uint8_t octets[] = {0x00, 0xFF, 0x00};
  char text[] = "ab";
  test_msgs_msg_dds__Bytes_ sample{};
  sample.seq = 7;
  sample.text = text;
  sample.data._buffer = octets;
  sample.data._length = sample.data._maximum = 3;
  ASSERT_EQ(dds_write(writer, &sample), DDS_RETCODE_OK);

  std::vector<std::uint8_t> received;
  ASSERT_TRUE(wait_until([&] { return reader.take(received); }));
  const std::vector<std::uint8_t> expected{
      0x00, 0x01, 0x00, 0x00,                 // little-endian plain CDR
      7,    0,    0,    0,                    // seq
      3,    0,    0,    0,    'a',  'b',  0,  // text with its NUL
      0,                                      // alignment
      3,    0,    0,    0,    0x00, 0xFF, 0x00};
  EXPECT_EQ(received, expected);
}

TEST_F(InteropTest, RawSampleDecodesInTypedReader)
{
  RawWriter writer(participant, kTopic, kType, rmw_qos_profile_default);
  const dds_entity_t reader = dds_create_reader(typed_participant, typed_topic, nullptr, nullptr);
  ASSERT_GT(reader, 0);
  ASSERT_TRUE(wait_until([&] { return writer.matched_count() == 1; }));

  const std::vector<std::uint8_t> raw{0x00, 0x01, 0x00, 0x00, 9, 0, 0, 0, 4, 0,    0,
                                      0,    'x',  'y',  'z',  0, 2, 0, 0, 0, 0xFF, 0x00};
  ASSERT_TRUE(writer.write(raw.data(), raw.size()));

  void * samples[1] = {nullptr};
  dds_sample_info_t info;
  ASSERT_TRUE(wait_until([&] { return dds_take(reader, samples, &info, 1, 1) == 1; }));
  const auto * sample = static_cast<const test_msgs_msg_dds__Bytes_ *>(samples[0]);
  ASSERT_TRUE(info.valid_data);
  EXPECT_EQ(sample->seq, 9u);
  EXPECT_STREQ(sample->text, "xyz");
  ASSERT_EQ(sample->data._length, 2u);
  EXPECT_EQ(sample->data._buffer[0], 0xFF);
  EXPECT_EQ(sample->data._buffer[1], 0x00);
  dds_return_loan(reader, samples, 1);
}

}  // namespace
}  // namespace client_layer::rmw
