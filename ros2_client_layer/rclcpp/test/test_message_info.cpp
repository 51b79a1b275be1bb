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

// Subscription callbacks that take const rclcpp::MessageInfo & get the
// publisher's gid and the source time stamp, within a process and across.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "client_layer_test_interfaces/msg/event.hpp"
#include "node_fixture.hpp"
#include "peer_process.hpp"
#include "rclcpp/message_info.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;
using client_layer_test_interfaces::msg::Event;

namespace {

int64_t now_ns()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

bool same_gid(const rmw_gid_t & a, const rmw_gid_t & b)
{
  return std::memcmp(a.data, b.data, RMW_GID_STORAGE_SIZE) == 0;
}

class MessageInfoTest : public NodeFixture
{
protected:
  MessageInfoTest() : NodeFixture("message_info_test") {}
};

struct Received
{
  std::vector<int32_t> codes;
  std::vector<rclcpp::MessageInfo> infos;

  void add(int32_t code, const rclcpp::MessageInfo & info)
  {
    codes.push_back(code);
    infos.push_back(info);
  }
};

TEST_F(MessageInfoTest, EveryCallbackFormGetsThePublisherAndSourceTime)
{
  auto publisher = node_->create_publisher<Event>("info", 10);
  Received by_ref, by_unique, by_shared_const, by_shared_const_ref, by_shared;
  auto s1 = node_->create_subscription<Event>(
      "info", 10,
      [&](const Event & m, const rclcpp::MessageInfo & info) { by_ref.add(m.code, info); });
  auto s2 = node_->create_subscription<Event>(
      "info", 10, [&](std::unique_ptr<Event> m, const rclcpp::MessageInfo & info) {
        by_unique.add(m->code, info);
      });
  auto s3 = node_->create_subscription<Event>(
      "info", 10, [&](std::shared_ptr<const Event> m, const rclcpp::MessageInfo & info) {
        by_shared_const.add(m->code, info);
      });
  auto s4 = node_->create_subscription<Event>(
      "info", 10, [&](const std::shared_ptr<const Event> & m, const rclcpp::MessageInfo & info) {
        by_shared_const_ref.add(m->code, info);
      });
  auto s5 = node_->create_subscription<Event>(
      "info", 10, [&](std::shared_ptr<Event> m, const rclcpp::MessageInfo & info) {
        by_shared.add(m->code, info);
      });
  ASSERT_TRUE(spin_until([&] { return publisher->get_subscription_count() == 5u; }));

  const int64_t before = now_ns();
  Event event;
  event.code = 41;
  publisher->publish(event);
  const int64_t after = now_ns();

  const std::vector<Received *> all = {
      &by_ref, &by_unique, &by_shared_const, &by_shared_const_ref, &by_shared};
  ASSERT_TRUE(spin_until([&] {
    return std::all_of(
        all.begin(), all.end(), [](const Received * received) { return !received->infos.empty(); });
  }));
  for (const auto * received : all) {
    EXPECT_EQ(std::vector<int32_t>{41}, received->codes);
    const rmw_message_info_t & info = received->infos.front().get_rmw_message_info();
    EXPECT_TRUE(same_gid(publisher->get_gid(), info.publisher_gid));
    EXPECT_TRUE(*publisher == info.publisher_gid);
    EXPECT_GE(info.source_timestamp, before);
    EXPECT_LE(info.source_timestamp, after);
    // Not reported by the Cyclone DDS middleware.
    EXPECT_EQ(0, info.received_timestamp);
    EXPECT_EQ(RMW_MESSAGE_INFO_SEQUENCE_NUMBER_UNSUPPORTED, info.publication_sequence_number);
    EXPECT_EQ(RMW_MESSAGE_INFO_SEQUENCE_NUMBER_UNSUPPORTED, info.reception_sequence_number);
    EXPECT_FALSE(info.from_intra_process);
  }
}

TEST_F(MessageInfoTest, TellsPublishersApartAcrossProcesses)
{
  PeerProcess peer({"serve"});
  ASSERT_TRUE(peer.started());
  ASSERT_EQ("ready", peer.read_line());

  auto local = node_->create_publisher<Event>("pong", 10);
  Received received;
  auto pong = node_->create_subscription<Event>(
      "pong", 10,
      [&](const Event & m, const rclcpp::MessageInfo & info) { received.add(m.code, info); });
  auto ping = node_->create_publisher<Event>("ping", 10);
  ASSERT_TRUE(spin_until(
      [&] { return ping->get_subscription_count() == 1u && pong->get_publisher_count() == 2u; }));

  Event event;
  event.code = 1;
  const int64_t before = now_ns();
  ping->publish(event);  // echoed by the peer
  event.code = 2;
  local->publish(event);
  ASSERT_TRUE(spin_until([&] { return received.infos.size() == 2; }));

  const auto & first = received.infos[0].get_rmw_message_info();
  const auto & second = received.infos[1].get_rmw_message_info();
  const auto & from_peer = received.codes[0] == 1 ? first : second;
  const auto & from_local = received.codes[0] == 1 ? second : first;
  EXPECT_TRUE(same_gid(local->get_gid(), from_local.publisher_gid));
  EXPECT_FALSE(same_gid(local->get_gid(), from_peer.publisher_gid));
  const rmw_gid_t zero{};
  EXPECT_FALSE(same_gid(zero, from_peer.publisher_gid));
  EXPECT_GE(from_peer.source_timestamp, before);
  EXPECT_LE(from_peer.source_timestamp, now_ns());
}

}  // namespace
