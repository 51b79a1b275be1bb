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

// Publishers and subscriptions: delivery within a process and across
// processes, acknowledgements, callback signatures, keep-last depth, DDS naming, malformed samples.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "client_layer/rmw/transport.hpp"
#include "client_layer/sample_counters.hpp"
#include "client_layer_test_interfaces/msg/event.hpp"
#include "layer_test_support.hpp"
#include "node_fixture.hpp"
#include "peer_process.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;
using client_layer_test_interfaces::msg::Event;

namespace {

class PubSubTest : public NodeFixture
{
protected:
  PubSubTest() : NodeFixture("pubsub_test") {}

  static Event make_event(int32_t code)
  {
    Event event;
    event.stamp.sec = 12;
    event.stamp.nanosec = 34;
    event.source = "arm";
    event.code = code;
    event.status = Event::STATUS_ON;
    event.text = std::string("bin\x00\xff", 5);
    return event;
  }
};

// A publisher that hands serialized samples over as they are.
class RawPublisher : public rclcpp::Publisher<Event>
{
public:
  using rclcpp::Publisher<Event>::Publisher;
  using rclcpp::PublisherBase::publish_serialized;
};

// A subscriber whose callback is a bound member function, as nodes write them.
class MemberSubscriber
{
public:
  void on_message(std::shared_ptr<Event> message) { received.push_back(*message); }
  std::vector<Event> received;
};

TEST_F(PubSubTest, DeliversToEveryCallbackSignature)
{
  auto publisher = node_->create_publisher<Event>("events", 10);
  EXPECT_STREQ("/events", publisher->get_topic_name());

  std::vector<Event> by_ref, by_shared, by_shared_const, by_unique;
  MemberSubscriber member;
  auto s1 = node_->create_subscription<Event>(
      "events", 10, [&](const Event & m) { by_ref.push_back(m); });
  auto s2 = node_->create_subscription<Event>(
      "events", 10, [&](std::shared_ptr<Event> m) { by_shared.push_back(*m); });
  auto s3 = node_->create_subscription<Event>(
      "events", 10, [&](const std::shared_ptr<const Event> & m) { by_shared_const.push_back(*m); });
  auto s4 = node_->create_subscription<Event>(
      "/events", rclcpp::QoS(10).reliable(),
      [&](std::unique_ptr<Event> m) { by_unique.push_back(*m); });
  auto s5 = node_->create_subscription<Event>(
      "events", rclcpp::QoS(rclcpp::KeepLast(10)),
      std::bind(&MemberSubscriber::on_message, &member, std::placeholders::_1));

  ASSERT_TRUE(spin_until([&] { return publisher->get_subscription_count() == 5u; }));
  EXPECT_EQ(1u, s1->get_publisher_count());
  const auto sent = make_event(7);
  publisher->publish(sent);
  publisher->publish(std::make_unique<Event>(make_event(8)));

  ASSERT_TRUE(spin_until([&] {
    return by_ref.size() == 2 && by_shared.size() == 2 && by_shared_const.size() == 2 &&
           by_unique.size() == 2 && member.received.size() == 2;
  }));
  for (const auto * received :
       {&by_ref, &by_shared, &by_shared_const, &by_unique, &member.received}) {
    EXPECT_EQ(sent, (*received)[0]);
    EXPECT_EQ(8, (*received)[1].code);
  }
}

TEST_F(PubSubTest, KeepLastDepthDropsTheOldest)
{
  std::vector<int32_t> received;
  auto subscription = node_->create_subscription<Event>(
      "depth", rclcpp::QoS(2), [&](const Event & m) { received.push_back(m.code); });
  auto publisher = node_->create_publisher<Event>("depth", 10);
  ASSERT_TRUE(spin_until([&] { return publisher->get_subscription_count() == 1u; }));
  for (int32_t id = 1; id <= 5; ++id) {
    publisher->publish(make_event(id));
  }
  // All five are in the reader's history before it is read.
  ASSERT_TRUE(publisher->wait_for_all_acked(10s));
  ASSERT_TRUE(spin_until([&] { return received.size() >= 2; }));
  rclcpp::spin_some(node_);
  EXPECT_EQ((std::vector<int32_t>{4, 5}), received);
}

// What a full keep-last history drops reaches the message-lost callback, in
// the subscription's group, counted exactly; what it keeps comes in order.
TEST_F(PubSubTest, KeepLastOverflowIsReportedAsLostMessages)
{
  std::vector<int32_t> received;
  std::vector<rclcpp::QOSMessageLostInfo> lost;
  rclcpp::SubscriptionOptions options;
  options.event_callbacks.message_lost_callback = [&](rclcpp::QOSMessageLostInfo & info) {
    lost.push_back(info);
  };
  auto subscription = node_->create_subscription<Event>(
      "overflow", rclcpp::QoS(2), [&](const Event & m) { received.push_back(m.code); }, options);
  auto publisher = node_->create_publisher<Event>("overflow", 10);
  ASSERT_TRUE(spin_until([&] { return publisher->get_subscription_count() == 1u; }));
  for (int32_t id = 1; id <= 5; ++id) {
    publisher->publish(make_event(id));
  }
  ASSERT_TRUE(publisher->wait_for_all_acked(10s));
  ASSERT_TRUE(spin_until([&] { return received.size() >= 2 && !lost.empty(); }));
  rclcpp::spin_some(node_);
  EXPECT_EQ((std::vector<int32_t>{4, 5}), received);
  ASSERT_EQ(lost.size(), 1u);
  EXPECT_EQ(lost[0].total_count, 3u);
  EXPECT_EQ(lost[0].total_count_change, 3u);

  // Taken as fast as they come, samples are not lost, and nothing is reported.
  for (int32_t id = 6; id <= 7; ++id) {
    publisher->publish(make_event(id));
    ASSERT_TRUE(spin_until([&] { return received.back() == id; }));
  }
  EXPECT_EQ(lost.size(), 1u);

  // A second overflow reports the new losses and the running total.
  for (int32_t id = 8; id <= 11; ++id) {
    publisher->publish(make_event(id));
  }
  ASSERT_TRUE(publisher->wait_for_all_acked(10s));
  ASSERT_TRUE(spin_until([&] { return received.back() == 11 && lost.size() == 2u; }));
  EXPECT_EQ(lost[1].total_count, 5u);
  EXPECT_EQ(lost[1].total_count_change, 2u);
  EXPECT_EQ((std::vector<int32_t>{4, 5, 6, 7, 10, 11}), received);
}

TEST_F(PubSubTest, SubscriptionDestroyedWithDataPendingIsNeverCalledAgain)
{
  int dropped_calls = 0, kept_calls = 0;
  auto dropped = node_->create_subscription<Event>(
      "dropped", rclcpp::QoS(rclcpp::KeepAll()), [&](const Event &) { ++dropped_calls; });
  auto kept = node_->create_subscription<Event>("kept", 10, [&](const Event &) { ++kept_calls; });
  auto to_dropped = node_->create_publisher<Event>("dropped", rclcpp::QoS(rclcpp::KeepAll()));
  auto to_kept = node_->create_publisher<Event>("kept", 10);
  ASSERT_TRUE(spin_until([&] {
    return to_dropped->get_subscription_count() == 1u && to_kept->get_subscription_count() == 1u;
  }));

  for (int32_t id = 0; id < 50; ++id) {
    to_dropped->publish(make_event(id));
  }
  ASSERT_TRUE(spin_until([&] { return dropped_calls == 1; }));
  dropped.reset();  // 49 samples still waiting for it

  to_kept->publish(make_event(1));
  ASSERT_TRUE(spin_until([&] { return kept_calls == 1; }));
  rclcpp::spin_some(node_);
  EXPECT_EQ(1, dropped_calls);
}

TEST_F(PubSubTest, TopicNamesAndWireFormatAreThoseOfRos2)
{
  auto node = std::make_shared<rclcpp::Node>("talker", "/robot");
  auto publisher = node->create_publisher<Event>("chatter", 10);
  EXPECT_STREQ("/robot/chatter", publisher->get_topic_name());
  auto private_publisher = node->create_publisher<Event>("~/status", 10);
  EXPECT_STREQ("/robot/talker/status", private_publisher->get_topic_name());

  auto participant = client_layer::rmw::Participant::create(
      static_cast<uint32_t>(rclcpp::contexts::get_global_default_context()->get_domain_id()));
  client_layer::rmw::RawReader reader(
      participant, "rt/robot/chatter", "client_layer_test_interfaces::msg::dds_::Event_",
      rmw_qos_profile_default, [] {});
  ASSERT_TRUE(spin_until([&] { return publisher->get_subscription_count() == 1u; }));
  publisher->publish(make_event(3));

  std::vector<uint8_t> sample;
  ASSERT_TRUE(spin_until([&] { return reader.take(sample); }));
  ASSERT_GE(sample.size(), 4u);
  EXPECT_EQ(0x00, sample[0]);  // CDR little-endian encapsulation
  EXPECT_EQ(0x01, sample[1]);
  Event decoded;
  ASSERT_TRUE(client_layer::deserialize_message(sample.data(), sample.size(), decoded));
  EXPECT_EQ(make_event(3), decoded);
}

TEST_F(PubSubTest, MalformedSamplesAreDroppedAndCounted)
{
  std::vector<int32_t> received;
  auto subscription = node_->create_subscription<Event>(
      "fuzz", 10, [&](const Event & m) { received.push_back(m.code); });
  auto participant = client_layer::rmw::Participant::create(
      static_cast<uint32_t>(rclcpp::contexts::get_global_default_context()->get_domain_id()));
  client_layer::rmw::RawWriter writer(
      participant, "rt/fuzz", "client_layer_test_interfaces::msg::dds_::Event_",
      rmw_qos_profile_default);
  ASSERT_TRUE(spin_until([&] { return writer.matched_count() == 1u; }));

  const auto before = client_layer::dropped_malformed_samples();
  const std::vector<std::vector<uint8_t>> garbage = {
      {0x00, 0x01, 0x00, 0x00},                                                  // header, no body
      {0x00, 0x01, 0x00, 0x00, 1, 2, 3},                                         // truncated time
      {0x00, 0x01, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0x7f},  // huge string
      {0x07, 0x07, 0x07, 0x07},                                                  // bad header
  };
  for (const auto & bytes : garbage) {
    ASSERT_TRUE(writer.write(bytes.data(), bytes.size()));
  }
  std::vector<uint8_t> valid;
  client_layer::serialize_message(make_event(9), valid);
  ASSERT_TRUE(writer.write(valid.data(), valid.size()));

  ASSERT_TRUE(spin_until([&] { return !received.empty(); }));
  EXPECT_EQ((std::vector<int32_t>{9}), received);
  EXPECT_EQ(before + garbage.size(), client_layer::dropped_malformed_samples());
}

TEST_F(PubSubTest, ASampleShorterThanItsEncapsulationHeaderIsRefused)
{
  RawPublisher publisher(
      node_->get_node_base_interface().get(), "short", rclcpp::QoS(10), rclcpp::PublisherOptions());
  std::vector<int32_t> received;
  auto subscription = node_->create_subscription<Event>(
      "short", 10, [&](const Event & m) { received.push_back(m.code); });
  ASSERT_TRUE(spin_until([&] { return publisher.get_subscription_count() == 1u; }));

  const std::string what = layer_test::what_of<rclcpp::exceptions::RCLInvalidArgument>([&] {
    publisher.publish_serialized({0x00, 0x01});
  });
  EXPECT_TRUE(layer_test::starts_with(
      what,
      "failed to publish serialized message: serialized sample of 2 bytes is shorter than its "
      "4-byte encapsulation header, at "))
      << what;
  publisher.publish(make_event(5));
  ASSERT_TRUE(spin_until([&] { return !received.empty(); }));
  EXPECT_EQ((std::vector<int32_t>{5}), received);
}

TEST_F(PubSubTest, WaitForAllAckedWaitsForEveryReliableReader)
{
  auto alone = node_->create_publisher<Event>("nobody_listens", 10);
  alone->publish(make_event(1));
  EXPECT_TRUE(alone->wait_for_all_acked(0ms));
  EXPECT_THROW(alone->wait_for_all_acked(std::chrono::hours::max()), std::invalid_argument);

  PeerProcess peer({"serve"});
  ASSERT_TRUE(peer.started());
  ASSERT_EQ("ready", peer.read_line());
  std::vector<Event> pongs;
  auto pong =
      node_->create_subscription<Event>("pong", 10, [&](const Event & m) { pongs.push_back(m); });
  auto ping = node_->create_publisher<Event>("ping", 10);
  // Until the peer's writer has matched our reader, its answers are lost.
  ASSERT_TRUE(spin_until([&] {
    ping->publish(make_event(0));
    return !pongs.empty();
  }));
  EXPECT_EQ(make_event(0), pongs.front());  // the echo carries every field across

  // A stopped reader cannot acknowledge; once it runs again, it does.
  ASSERT_TRUE(peer.stop());
  ping->publish(make_event(1));
  EXPECT_FALSE(ping->wait_for_all_acked(200ms));
  peer.signal(SIGCONT);
  EXPECT_TRUE(ping->wait_for_all_acked(30s));
}

}  // namespace
