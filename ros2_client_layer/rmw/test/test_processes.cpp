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

// The transport across processes: exchange and simultaneous discovery.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "child_process.hpp"
#include "client_layer/rmw/transport.hpp"
#include "test_support.hpp"

namespace client_layer::rmw {
namespace {

using test::wait_until;

// The test peer in a mode; it runs until its stdin closes.
class Peer : public layer_test::ChildProcess
{
public:
  explicit Peer(const std::vector<std::string> & args) : ChildProcess(RMW_TEST_PEER, args) {}
};

const std::vector<std::uint8_t> kMarker = test::sample_with_body({0xEE});

// Our reader matching the echo's writer does not mean that writer has matched
// our reader yet, and until it has, what it writes is not kept for us. Writes
// a marker every 20 ms until one comes back; later markers may still come.
bool wait_for_echo(RawWriter & writer, RawReader & reader)
{
  return wait_until([&] {
    writer.write(kMarker.data(), kMarker.size());
    std::vector<std::uint8_t> sample;
    const bool echoed = reader.take(sample);
    if (!echoed) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return echoed;
  });
}

// Takes the next sample that is not a marker.
bool take_data(RawReader & reader, std::vector<std::uint8_t> & sample)
{
  while (reader.take(sample)) {
    if (sample != kMarker) {
      return true;
    }
  }
  return false;
}

TEST(Processes, SamplesMakeARoundTripThroughAnotherProcess)
{
  Peer peer({"echo", "rt/ping", "rt/pong"});
  ASSERT_EQ(peer.read_line(std::chrono::seconds(10)), "ready");

  auto participant = Participant::create(test::test_domain_id());
  const rmw_qos_profile_t qos = test::reliable_keep_last(1000);
  RawWriter writer(participant, "rt/ping", test::kBytesType, qos);
  RawReader reader(participant, "rt/pong", test::kBytesType, qos, nullptr);
  ASSERT_TRUE(
      wait_until([&] { return writer.matched_count() == 1 && reader.matched_count() == 1; }));
  ASSERT_TRUE(wait_for_echo(writer, reader));

  // Small samples with 0x00/0xFF, odd lengths, and one that needs fragments.
  std::vector<std::vector<std::uint8_t>> sent;
  for (std::size_t length : {0, 1, 3, 6, 200, 100000}) {
    std::vector<std::uint8_t> body(length);
    for (std::size_t i = 0; i < length; i++) {
      body[i] = (i % 3 == 0) ? 0x00 : ((i % 3 == 1) ? 0xFF : static_cast<std::uint8_t>(i));
    }
    sent.push_back(test::sample_with_body(body));
    ASSERT_TRUE(writer.write(sent.back().data(), sent.back().size()));
  }
  std::vector<std::vector<std::uint8_t>> received;
  ASSERT_TRUE(wait_until([&] {
    std::vector<std::uint8_t> sample;
    while (take_data(reader, sample)) {
      received.push_back(sample);
    }
    return received.size() >= sent.size();
  }));
  EXPECT_EQ(received, sent);
  EXPECT_EQ(peer.finish(), 0);
}

// Had it gone out, a sample without its encapsulation header would have made
// the other process's Cyclone reject this writer's packets from then on.
TEST(Processes, ARefusedShortSampleLeavesTheStreamIntact)
{
  Peer peer({"echo", "rt/short", "rt/short_echo"});
  ASSERT_EQ(peer.read_line(std::chrono::seconds(10)), "ready");

  auto participant = Participant::create(test::test_domain_id());
  const rmw_qos_profile_t qos = test::reliable_keep_last(1000);
  RawWriter writer(participant, "rt/short", test::kBytesType, qos);
  RawReader reader(participant, "rt/short_echo", test::kBytesType, qos, nullptr);
  ASSERT_TRUE(
      wait_until([&] { return writer.matched_count() == 1 && reader.matched_count() == 1; }));
  ASSERT_TRUE(wait_for_echo(writer, reader));

  const std::uint8_t none[1] = {0};
  EXPECT_THROW(writer.write(none, 0), std::invalid_argument);
  const auto after = test::sample_with_body({1, 2, 3});
  ASSERT_TRUE(writer.write(after.data(), after.size()));
  std::vector<std::uint8_t> sample;
  EXPECT_TRUE(wait_until([&] { return take_data(reader, sample); }));
  EXPECT_EQ(sample, after);
  EXPECT_EQ(peer.finish(), 0);
}

// Writers batch the samples of a burst into shared packets; none may stay
// behind when the burst ends, when a lone sample follows, or when the writer
// goes away right after writing.
TEST(Processes, NoSampleStaysQueuedAfterABurst)
{
  Peer peer({"echo", "rt/burst", "rt/burst_echo"});
  ASSERT_EQ(peer.read_line(std::chrono::seconds(10)), "ready");

  auto participant = Participant::create(test::test_domain_id());
  const rmw_qos_profile_t qos = test::reliable_keep_last(1000);
  RawReader reader(participant, "rt/burst_echo", test::kBytesType, qos, nullptr);
  std::uint32_t next = 0;
  auto write_numbered = [&](RawWriter & writer, int count) {
    for (int i = 0; i < count; i++, next++) {
      const auto sample = test::sample_with_body(
          {static_cast<std::uint8_t>(next), static_cast<std::uint8_t>(next >> 8), 0, 0});
      ASSERT_TRUE(writer.write(sample.data(), sample.size()));
    }
  };
  std::uint32_t received = 0;
  auto receive_all = [&] {
    return wait_until([&] {
      std::vector<std::uint8_t> sample;
      while (take_data(reader, sample)) {
        EXPECT_EQ(sample.at(4) | (sample.at(5) << 8), static_cast<int>(received & 0xffff));
        received++;
      }
      return received == next;
    });
  };

  RawWriter writer(participant, "rt/burst", test::kBytesType, qos);
  ASSERT_TRUE(
      wait_until([&] { return writer.matched_count() == 1 && reader.matched_count() == 1; }));
  ASSERT_TRUE(wait_for_echo(writer, reader));
  write_numbered(writer, 500);
  EXPECT_TRUE(receive_all()) << received << " of " << next;

  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  write_numbered(writer, 1);
  EXPECT_TRUE(receive_all()) << received << " of " << next;

  {
    RawWriter short_lived(participant, "rt/burst", test::kBytesType, qos);
    ASSERT_TRUE(wait_until([&] { return short_lived.matched_count() == 1; }));
    ASSERT_TRUE(wait_for_echo(short_lived, reader));  // the echo has matched it too
    write_numbered(short_lived, 200);
  }
  EXPECT_TRUE(receive_all()) << received << " of " << next;
  EXPECT_EQ(peer.finish(), 0);
}

TEST(Processes, TwelveProcessesStartedAtOnceFindEachOther)
{
  constexpr int kPeers = 12;
  std::vector<std::unique_ptr<Peer>> peers;
  for (int i = 0; i < kPeers; i++) {
    peers.push_back(
        std::make_unique<Peer>(std::vector<std::string>{"discover", std::to_string(kPeers)}));
  }
  for (auto & peer : peers) {
    const std::string line = peer->read_line(std::chrono::seconds(40));
    EXPECT_EQ(line.rfind("matched ", 0), 0u) << line;
  }
  for (auto & peer : peers) {
    EXPECT_EQ(peer->finish(), 0);
  }
}

}  // namespace
}  // namespace client_layer::rmw
