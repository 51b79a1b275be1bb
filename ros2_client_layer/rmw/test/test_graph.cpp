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

// What a participant tells the ROS graph: its user data and ros_discovery_info.
#include <gtest/gtest.h>

#include <thread>

#include "client_layer/rmw/transport.hpp"
#include "dds/dds.h"
#include "entities_info.hpp"
#include "rmw/qos_profiles.h"
#include "test_support.hpp"

namespace client_layer::rmw {
namespace {

using test::wait_until;

rmw_qos_profile_t discovery_reader_qos()
{
  rmw_qos_profile_t qos = rmw_qos_profile_default;
  qos.history = RMW_QOS_POLICY_HISTORY_KEEP_ALL;
  qos.durability = RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
  return qos;
}

class GraphTest : public ::testing::Test
{
protected:
  // The newest ParticipantEntitiesInfo `announcer` sent, once it equals `expected`.
  bool announces(const detail::EntitiesInfo & expected)
  {
    const auto wanted = expected.serialize();
    std::vector<std::uint8_t> latest;
    return wait_until([&] {
      std::vector<std::uint8_t> sample;
      while (reader->take(sample)) {
        latest = sample;
      }
      return latest == wanted;
    });
  }

  std::shared_ptr<Participant> announcer = Participant::create(test::test_domain_id());
  std::shared_ptr<Participant> observer = Participant::create(test::test_domain_id());
  std::unique_ptr<RawReader> reader = std::make_unique<RawReader>(
      observer, detail::kDiscoveryTopicName, detail::kDiscoveryTypeName, discovery_reader_qos(),
      nullptr);
};

TEST_F(GraphTest, ParticipantUserDataNamesTheEnclave)
{
  const dds_entity_t builtin =
      dds_create_reader(observer->handle(), DDS_BUILTIN_TOPIC_DCPSPARTICIPANT, nullptr, nullptr);
  ASSERT_GT(builtin, 0);
  const Guid announcer_guid = announcer->guid();
  std::string user_data;
  ASSERT_TRUE(wait_until([&] {
    void * raw = nullptr;
    dds_sample_info_t info;
    while (dds_take(builtin, &raw, &info, 1, 1) == 1) {
      const auto * participant = static_cast<const dds_builtintopic_participant_t *>(raw);
      if (info.valid_data &&
          std::equal(
              announcer_guid.bytes.begin(), announcer_guid.bytes.end(), participant->key.v)) {
        void * data = nullptr;
        std::size_t size = 0;
        if (dds_qget_userdata(participant->qos, &data, &size)) {
          user_data.assign(static_cast<char *>(data), size);
          dds_free(data);
        }
      }
      dds_return_loan(builtin, &raw, 1);
    }
    return !user_data.empty();
  }));
  EXPECT_EQ(user_data, "enclave=/;");
  dds_delete(builtin);
}

TEST_F(GraphTest, AnnouncesNodesAndEndpointsAsTheyChange)
{
  detail::EntitiesInfo expected(announcer->guid());
  announcer->add_node("/", "talker");
  expected.add_node("/", "talker");
  ASSERT_TRUE(announces(expected));

  RawWriter writer(announcer, "rt/chatter", test::kBytesType, rmw_qos_profile_default);
  announcer->add_writer("/", "talker", writer.guid());
  expected.add_endpoint("/", "talker", writer.guid(), false);
  announcer->add_node("/tools", "listener");
  expected.add_node("/tools", "listener");
  RawReader sub(announcer, "rt/chatter", test::kBytesType, rmw_qos_profile_default, nullptr);
  announcer->add_reader("/tools", "listener", sub.guid());
  expected.add_endpoint("/tools", "listener", sub.guid(), true);
  ASSERT_TRUE(announces(expected));

  announcer->remove_reader("/tools", "listener", sub.guid());
  expected.remove_endpoint("/tools", "listener", sub.guid(), true);
  announcer->remove_node("/", "talker");
  expected.remove_node("/", "talker");
  ASSERT_TRUE(announces(expected));
}

TEST_F(GraphTest, LateObserverGetsTheLatestState)
{
  announcer->add_node("/", "first");
  announcer->add_node("/", "second");
  detail::EntitiesInfo expected(announcer->guid());
  expected.add_node("/", "first");
  expected.add_node("/", "second");
  ASSERT_TRUE(announces(expected));

  reader = std::make_unique<RawReader>(
      observer, detail::kDiscoveryTopicName, detail::kDiscoveryTypeName, discovery_reader_qos(),
      nullptr);
  ASSERT_TRUE(announces(expected));
}

TEST_F(GraphTest, ConcurrentChangesEndWithTheLatestState)
{
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; t++) {
    threads.emplace_back([this, t] {
      for (int i = 0; i < 25; i++) {
        announcer->add_node("/", "n" + std::to_string(t) + "_" + std::to_string(i));
      }
    });
  }
  for (auto & thread : threads) {
    thread.join();
  }
  const auto wanted_count = 100u;
  std::vector<std::uint8_t> latest;
  ASSERT_TRUE(wait_until([&] {
    std::vector<std::uint8_t> sample;
    while (reader->take(sample)) {
      latest = sample;
    }
    // node count right after the 24-byte gid
    return latest.size() > 32 && latest[28] == wanted_count;
  }));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  std::vector<std::uint8_t> sample;
  while (reader->take(sample)) {
    latest = sample;
  }
  EXPECT_EQ(latest[28], wanted_count);
}

}  // namespace
}  // namespace client_layer::rmw
