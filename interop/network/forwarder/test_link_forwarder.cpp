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

// The forwarder's logic without sockets: its command line, its dice and the
// frames it holds back. The forwarding itself is tested on real links by
// interop/network (interop.network.forwarder).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fault_draws.hpp"
#include "forwarder_options.hpp"
#include "held_frames.hpp"

namespace link_forwarder {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

ForwarderOptions Parse(std::vector<std::string> arguments)
{
  arguments.insert(arguments.begin(), {"--link-a", "wa", "--link-b", "wb"});
  return ParseForwarderOptions(arguments);
}

std::string ErrorOf(const std::vector<std::string> & arguments)
{
  try {
    ParseForwarderOptions(arguments);
  } catch (const OptionError & error) {
    return error.what();
  }
  return "(accepted)";
}

TEST(ForwarderOptionsTest, TakesLossPerDirectionAndDelayForBoth)
{
  const auto options = Parse(
      {"--loss", "0.1", "--loss-b-to-a", "0.3", "--delay-ms", "40", "--jitter-ms", "10.5", "--seed",
       "7", "--max-held-frames", "9", "--start-cut"});
  EXPECT_EQ(options.link_a, "wa");
  EXPECT_EQ(options.link_b, "wb");
  EXPECT_DOUBLE_EQ(options.a_to_b.loss, 0.1);
  EXPECT_DOUBLE_EQ(options.b_to_a.loss, 0.3);
  for (const Impairment & impairment : {options.a_to_b, options.b_to_a}) {
    EXPECT_EQ(impairment.delay, milliseconds(40));
    EXPECT_EQ(impairment.jitter, microseconds(10500));
  }
  EXPECT_EQ(options.seed, 7u);
  EXPECT_EQ(options.max_held_frames, 9u);
  EXPECT_TRUE(options.start_cut);
}

TEST(ForwarderOptionsTest, RefusesWhatItCannotUseNamingTheOption)
{
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--link-a", "wa"}, "--link-a and --link-b name the two links"},
      {{"--link-a", "wa", "--link-b", "wa"}, "name the same interface wa"},
      {{"--link-a", "an_interface_name_too_long", "--link-b", "wb"}, "1 to 15 characters"},
      {{"--link-a", "wa", "--link-b", "wb", "--loss", "1.5"}, "--loss wants a probability"},
      {{"--link-a", "wa", "--link-b", "wb", "--loss", "nan"}, "--loss wants a number"},
      {{"--link-a", "wa", "--link-b", "wb", "--loss", "10%"}, "--loss wants a number"},
      {{"--link-a", "wa", "--link-b", "wb", "--delay-ms", "-1"}, "--delay-ms wants milliseconds"},
      {{"--link-a", "wa", "--link-b", "wb", "--delay-ms", "5", "--jitter-ms", "6"},
       "may not exceed --delay-ms"},
      {{"--link-a", "wa", "--link-b", "wb", "--seed", "-3"}, "--seed wants a whole number"},
      {{"--link-a", "wa", "--link-b", "wb", "--max-held-frames", "0"}, "at least 1"},
      {{"--link-a", "wa", "--link-b", "wb", "--seed"}, "--seed wants a value"},
      {{"--link-a", "wa", "--link-b", "wb", "--lose", "1"}, "unknown option \"--lose\""},
  };
  for (const auto & [arguments, expected] : cases) {
    EXPECT_NE(ErrorOf(arguments).find(expected), std::string::npos)
        << "got: " << ErrorOf(arguments) << "\nwanted: " << expected;
  }
}

TEST(FaultDrawsTest, LosesAboutTheGivenShareAndHoldsWithinDelayPlusMinusJitter)
{
  FaultDraws draws(42);
  const Impairment impairment{0.3, milliseconds(40), milliseconds(10)};
  constexpr int kFrames = 20000;
  int lost = 0;
  microseconds shortest = milliseconds(1000);
  microseconds longest{0};
  for (int i = 0; i < kFrames; ++i) {
    const auto delay = draws.Draw(impairment);
    if (!delay) {
      ++lost;
      continue;
    }
    shortest = std::min(shortest, *delay);
    longest = std::max(longest, *delay);
  }
  // Binomial(20000, 0.3): the standard deviation is about 65 frames.
  EXPECT_NEAR(lost, 0.3 * kFrames, 400);
  EXPECT_GE(shortest, milliseconds(30));
  EXPECT_LE(longest, milliseconds(50));
  // The whole range is used, not only its middle.
  EXPECT_LT(shortest, milliseconds(31));
  EXPECT_GT(longest, milliseconds(49));
}

TEST(FaultDrawsTest, TheSameSeedRepeatsTheRunAndTheExtremesAreExact)
{
  FaultDraws first(5);
  FaultDraws second(5);
  const Impairment impairment{0.5, milliseconds(40), milliseconds(10)};
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(first.Draw(impairment), second.Draw(impairment));
  }
  FaultDraws draws(1);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(draws.Draw({0.0, milliseconds(3), {}}), milliseconds(3));
    EXPECT_EQ(draws.Draw({1.0, milliseconds(3), {}}), std::nullopt);
  }
}

HeldFrame Frame(Clock::time_point due, Direction direction, std::size_t size, std::uint8_t tag)
{
  return HeldFrame{due, direction, std::vector<std::uint8_t>(size, tag)};
}

TEST(HeldFramesTest, ReleasesByDueTimeAndFramesDueTogetherInArrivalOrder)
{
  HeldFrames held(10, 1000);
  const auto start = Clock::now();
  ASSERT_TRUE(held.Hold(Frame(start + milliseconds(30), Direction::kAToB, 1, 'c')));
  ASSERT_TRUE(held.Hold(Frame(start + milliseconds(10), Direction::kBToA, 1, 'a')));
  ASSERT_TRUE(held.Hold(Frame(start + milliseconds(20), Direction::kAToB, 1, 'b')));
  ASSERT_TRUE(held.Hold(Frame(start + milliseconds(20), Direction::kBToA, 1, 'B')));
  EXPECT_EQ(held.NextDue(), start + milliseconds(10));

  EXPECT_EQ(held.TakeDue(start), std::nullopt);
  std::string order;
  while (auto frame = held.TakeDue(start + milliseconds(20))) {
    order += static_cast<char>(frame->bytes[0]);
  }
  EXPECT_EQ(order, "abB");
  EXPECT_EQ(held.size(), 1u);
  EXPECT_EQ(held.NextDue(), start + milliseconds(30));
}

TEST(HeldFramesTest, RefusesFramesBeyondEitherCapAndDropAllCountsPerDirection)
{
  const auto due = Clock::now();
  HeldFrames by_count(2, 1000);
  EXPECT_TRUE(by_count.Hold(Frame(due, Direction::kAToB, 10, 0)));
  EXPECT_TRUE(by_count.Hold(Frame(due, Direction::kBToA, 10, 0)));
  EXPECT_FALSE(by_count.Hold(Frame(due, Direction::kAToB, 10, 0)));

  HeldFrames by_bytes(10, 100);
  EXPECT_TRUE(by_bytes.Hold(Frame(due, Direction::kAToB, 60, 0)));
  EXPECT_FALSE(by_bytes.Hold(Frame(due, Direction::kAToB, 41, 0)));
  EXPECT_TRUE(by_bytes.Hold(Frame(due, Direction::kBToA, 40, 0)));
  EXPECT_EQ(by_bytes.bytes(), 100u);
  ASSERT_TRUE(by_bytes.TakeDue(due));
  EXPECT_EQ(by_bytes.bytes(), 40u);  // room again once a frame has left

  EXPECT_EQ(by_count.DropAll(), (std::vector<std::size_t>{1, 1}));
  EXPECT_EQ(by_count.size(), 0u);
  EXPECT_EQ(by_count.NextDue(), std::nullopt);
}

}  // namespace
}  // namespace link_forwarder
