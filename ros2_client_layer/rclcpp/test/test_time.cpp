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

// Time and Duration arithmetic, bounds and conversions. The expected values
// and messages are what rclcpp 16.0.11 (Humble) gives for the same calls.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

#include "layer_test_support.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/time.hpp"

namespace {

using rclcpp::Duration;
using rclcpp::Time;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

Duration ns(int64_t value) { return Duration::from_nanoseconds(value); }
Time at(int64_t value, rcl_clock_type_t clock = RCL_SYSTEM_TIME) { return Time(value, clock); }

using layer_test::what_of;

const char * const kAddOverflow = "addition leads to int64_t overflow";
const char * const kAddUnderflow = "addition leads to int64_t underflow";
const char * const kTimeSubOverflow = "time subtraction leads to int64_t overflow";
const char * const kTimeSubUnderflow = "time subtraction leads to int64_t underflow";

TEST(Duration, SumsAndDifferencesThrowAtTheInt64Bounds)
{
  using std::overflow_error;
  using std::underflow_error;
  EXPECT_EQ(what_of<overflow_error>([] { ns(kMax) + ns(1); }), kAddOverflow);
  EXPECT_EQ(what_of<underflow_error>([] { ns(-kMax) + ns(-2); }), kAddUnderflow);
  // Bounds are checked on magnitudes: exactly INT64_MIN is out of range too.
  EXPECT_EQ(what_of<underflow_error>([] { ns(-kMax) + ns(-1); }), kAddUnderflow);
  EXPECT_EQ((ns(kMin) + ns(1)).nanoseconds(), -kMax);
  EXPECT_EQ((ns(kMax) + ns(-kMax)).nanoseconds(), 0);

  EXPECT_EQ(
      what_of<overflow_error>([] { ns(kMax) - ns(-1); }),
      "duration subtraction leads to int64_t overflow");
  EXPECT_EQ(
      what_of<underflow_error>([] { ns(-kMax) - ns(1); }),
      "duration subtraction leads to int64_t underflow");
  EXPECT_EQ(
      what_of<underflow_error>([] { ns(-1) - ns(kMax); }),
      "duration subtraction leads to int64_t underflow");
  EXPECT_EQ((ns(kMax) - ns(kMax)).nanoseconds(), 0);

  Duration accumulated = ns(kMax - 1);
  accumulated += ns(1);
  EXPECT_EQ(accumulated, ns(kMax));
  EXPECT_THROW(accumulated += ns(1), overflow_error);
  EXPECT_EQ(accumulated, ns(kMax));  // unchanged by the failed step
  accumulated -= ns(kMax);
  EXPECT_EQ(accumulated, ns(0));
}

TEST(Duration, ScalingThrowsBySignAndTruncates)
{
  constexpr int64_t kHalf = kMax / 2;
  EXPECT_EQ((ns(kHalf) * 2.0).nanoseconds(), kMax - 1);
  EXPECT_EQ(
      what_of<std::overflow_error>([] { ns(kHalf + 1) * 2.0; }),
      "duration scaling leads to int64_t overflow");
  EXPECT_EQ(
      what_of<std::overflow_error>([] { ns(-kHalf - 1) * -2.0; }),
      "duration scaling leads to int64_t overflow");
  EXPECT_EQ(
      what_of<std::underflow_error>([] { ns(kHalf + 1) * -2.0; }),
      "duration scaling leads to int64_t underflow");
  EXPECT_EQ(
      what_of<std::underflow_error>([] { ns(-kHalf - 1) * 2.0; }),
      "duration scaling leads to int64_t underflow");

  EXPECT_EQ((ns(kMax) * -1.0).nanoseconds(), -kMax);
  EXPECT_EQ((ns(kMax) * 0.5).nanoseconds(), kHalf);
  EXPECT_EQ((ns(3) * 0.5).nanoseconds(), 1);
  EXPECT_EQ((ns(-3) * 0.5).nanoseconds(), -1);
  EXPECT_EQ((ns(0) * 1e300).nanoseconds(), 0);
  Duration scaled = ns(4);
  scaled *= 2.5;
  EXPECT_EQ(scaled, ns(10));

  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(
      what_of<std::runtime_error>([&] { ns(10) * nan; }), "abnormal scale in rclcpp::Duration");
  EXPECT_EQ(
      what_of<std::runtime_error>([&] { ns(10) * inf; }), "abnormal scale in rclcpp::Duration");
}

TEST(Duration, SecondsConversionsTruncateTowardsZero)
{
  EXPECT_EQ(Duration::from_seconds(1.5).nanoseconds(), 1500000000);
  EXPECT_EQ(Duration::from_seconds(0.1).nanoseconds(), 100000000);
  EXPECT_EQ(Duration::from_seconds(1.0000000015).nanoseconds(), 1000000001);
  EXPECT_EQ(Duration::from_seconds(1.9999999999).nanoseconds(), 1999999999);
  EXPECT_EQ(Duration::from_seconds(-1.9999999999).nanoseconds(), -1999999999);
  EXPECT_EQ(Duration::from_seconds(-2.5e-9).nanoseconds(), -2);
  EXPECT_EQ(Duration::from_seconds(1e-10).nanoseconds(), 0);

  EXPECT_DOUBLE_EQ(ns(-1500000000).seconds(), -1.5);
  EXPECT_EQ(Duration::max().nanoseconds(), 2147483647999999999);
  EXPECT_EQ(Duration(1, 1500000000u).nanoseconds(), 2500000000);
  EXPECT_EQ(Duration(-1, 500000000u).nanoseconds(), -500000000);
  EXPECT_EQ(Duration(std::chrono::milliseconds(-3)).nanoseconds(), -3000000);
  EXPECT_EQ(ns(-3000000).to_chrono<std::chrono::milliseconds>().count(), -3);
}

TEST(Duration, MessageConversionNormalizesNegativesAndSaturates)
{
  const auto msg = [](int64_t value) {
    const builtin_interfaces::msg::Duration converted = ns(value);
    return std::to_string(converted.sec) + "/" + std::to_string(converted.nanosec);
  };
  EXPECT_EQ(msg(-1), "-1/999999999");
  EXPECT_EQ(msg(-1500000000), "-2/500000000");
  EXPECT_EQ(msg(-2000000000), "-2/0");
  constexpr int64_t k2To31Seconds = 2147483648LL * 1000000000LL;
  EXPECT_EQ(msg(k2To31Seconds), "2147483647/4294967295");
  EXPECT_EQ(msg(kMax), "2147483647/4294967295");
  EXPECT_EQ(msg(-k2To31Seconds + 1), "-2147483648/1");
  EXPECT_EQ(msg(-k2To31Seconds - 1), "-2147483648/0");
  EXPECT_EQ(msg(kMin), "-2147483648/0");

  builtin_interfaces::msg::Duration in;
  in.sec = -2;
  in.nanosec = 500000000;
  EXPECT_EQ(Duration(in).nanoseconds(), -1500000000);
  in.sec = std::numeric_limits<int32_t>::min();
  in.nanosec = std::numeric_limits<uint32_t>::max();
  Duration assigned = ns(0);
  assigned = in;
  EXPECT_EQ(assigned.nanoseconds(), -2147483643705032705);
}

TEST(Duration, RmwTimeRefusesNegativesAndSaturatesOnTheWayBack)
{
  const rmw_time_t split = ns(1500000000).to_rmw_time();
  EXPECT_EQ(split.sec, 1u);
  EXPECT_EQ(split.nsec, 500000000u);
  const rmw_time_t largest = ns(kMax).to_rmw_time();
  EXPECT_EQ(largest.sec, 9223372036u);
  EXPECT_EQ(largest.nsec, 854775807u);
  EXPECT_EQ(
      what_of<std::runtime_error>([] { ns(-1).to_rmw_time(); }), "rmw_time_t cannot be negative");
  // QoS setters go through the same conversion.
  EXPECT_EQ(
      what_of<std::runtime_error>([] { rclcpp::QoS(1).deadline(ns(-1)); }),
      "rmw_time_t cannot be negative");
  EXPECT_EQ(rclcpp::QoS(1).lifespan(ns(2500000000)).lifespan(), ns(2500000000));

  EXPECT_EQ(Duration::from_rmw_time({1, 5}).nanoseconds(), 1000000005);
  EXPECT_EQ(Duration::from_rmw_time({9223372036u, 854775808u}).nanoseconds(), kMax);
  EXPECT_EQ(Duration::from_rmw_time({0, std::numeric_limits<uint64_t>::max()}).nanoseconds(), kMax);
  EXPECT_EQ(Duration::from_rmw_time({std::numeric_limits<uint64_t>::max(), 0}).nanoseconds(), kMax);
}

TEST(Time, ArithmeticThrowsAtTheInt64BoundsAndKeepsTheClockType)
{
  using std::overflow_error;
  using std::underflow_error;
  EXPECT_EQ(what_of<overflow_error>([] { at(kMax) + ns(1); }), kAddOverflow);
  EXPECT_EQ(what_of<overflow_error>([] { ns(1) + at(kMax); }), kAddOverflow);
  EXPECT_EQ(what_of<underflow_error>([] { at(kMin) + ns(-1); }), kAddUnderflow);
  EXPECT_EQ(what_of<underflow_error>([] { at(kMin) - ns(1); }), kTimeSubUnderflow);
  EXPECT_EQ(what_of<overflow_error>([] { at(kMax) - ns(-1); }), kTimeSubOverflow);
  EXPECT_EQ(what_of<overflow_error>([] { at(kMax) - at(-1); }), kTimeSubOverflow);
  EXPECT_EQ(what_of<overflow_error>([] { at(0) - at(kMin); }), kTimeSubOverflow);
  EXPECT_EQ(what_of<underflow_error>([] { at(kMin) - at(1); }), kTimeSubUnderflow);
  // Unlike Duration's, the Time checks let INT64_MIN through.
  EXPECT_EQ((at(-1) - at(kMax)).nanoseconds(), kMin);
  EXPECT_EQ((at(5) - at(7)).nanoseconds(), -2);

  Time moving = at(kMax - 1, RCL_STEADY_TIME);
  moving += ns(1);
  EXPECT_THROW(moving += ns(1), overflow_error);
  EXPECT_EQ(moving.nanoseconds(), kMax);
  moving -= ns(kMax);
  EXPECT_THROW(at(kMin) -= ns(1), underflow_error);
  EXPECT_EQ(moving, at(0, RCL_STEADY_TIME));
  EXPECT_EQ((ns(1) + at(1, RCL_STEADY_TIME)).get_clock_type(), RCL_STEADY_TIME);
  EXPECT_EQ((at(1, RCL_ROS_TIME) - ns(1)).get_clock_type(), RCL_ROS_TIME);
}

TEST(Time, DifferentClockTypesAreNeitherComparedNorSubtracted)
{
  const Time system = at(5, RCL_SYSTEM_TIME);
  const Time ros = at(5, RCL_ROS_TIME);
  const char * const compare = "can't compare times with different time sources";
  EXPECT_EQ(what_of<std::runtime_error>([&] { (void)(system == ros); }), compare);
  EXPECT_EQ(what_of<std::runtime_error>([&] { (void)(system != ros); }), compare);
  EXPECT_EQ(what_of<std::runtime_error>([&] { (void)(system < ros); }), compare);
  EXPECT_EQ(what_of<std::runtime_error>([&] { (void)(system >= ros); }), compare);
  EXPECT_EQ(
      what_of<std::runtime_error>([&] { system - ros; }),
      "can't subtract times with different time sources [2 != 1]");
  EXPECT_EQ(
      what_of<std::runtime_error>([&] { system - at(7, RCL_STEADY_TIME); }),
      "can't subtract times with different time sources [2 != 3]");

  // A node's clock is ROS time; the default Time is system time.
  rclcpp::Clock ros_clock(RCL_ROS_TIME);
  EXPECT_THROW((void)(ros_clock.now() > Time(0, 0)), std::runtime_error);
  EXPECT_GT(ros_clock.now(), Time(0, 0, RCL_ROS_TIME));

  // An uninitialized clock is made, but not read.
  rclcpp::Clock uninitialized(RCL_CLOCK_UNINITIALIZED);
  EXPECT_EQ(uninitialized.get_clock_type(), RCL_CLOCK_UNINITIALIZED);
  EXPECT_TRUE(layer_test::starts_with(
      what_of<rclcpp::exceptions::RCLError>([&] { uninitialized.now(); }),
      "could not get current time stamp: Clock is not initialized or does not have get_now "
      "registered., at "));
}

TEST(Time, MessageConversionRefusesNegativeSecondsAndNormalizesNegatives)
{
  builtin_interfaces::msg::Time in;
  in.sec = -1;
  EXPECT_EQ(
      what_of<std::runtime_error>([&] { Time{in}; }),
      "cannot store a negative time point in rclcpp::Time");
  EXPECT_EQ(
      what_of<std::runtime_error>([] { Time(-1, 0); }),
      "cannot store a negative time point in rclcpp::Time");
  EXPECT_EQ(at(-1).nanoseconds(), -1);  // from nanoseconds, negatives are kept

  in.sec = 1;
  in.nanosec = 5;
  EXPECT_EQ(Time(in).get_clock_type(), RCL_ROS_TIME);
  EXPECT_EQ(Time(1, 5).get_clock_type(), RCL_SYSTEM_TIME);
  Time assigned = at(0, RCL_STEADY_TIME);
  in.sec = 3;
  in.nanosec = 0;
  assigned = in;  // takes the message's ROS time, whatever the clock before
  EXPECT_EQ(assigned.get_clock_type(), RCL_ROS_TIME);
  EXPECT_EQ(assigned.nanoseconds(), 3000000000);

  const auto msg = [](int64_t value) {
    const builtin_interfaces::msg::Time converted = at(value);
    return std::to_string(converted.sec) + "/" + std::to_string(converted.nanosec);
  };
  EXPECT_EQ(msg(-1), "-1/999999999");
  EXPECT_EQ(msg(-1500000000), "-2/500000000");
  EXPECT_EQ(msg(1500000000), "1/500000000");
  EXPECT_EQ(msg(kMax), "633437444/854775807");  // seconds wrap, as in rclcpp

  EXPECT_EQ(Time::max().nanoseconds(), 2147483647999999999);
  EXPECT_EQ(Time::max().get_clock_type(), RCL_SYSTEM_TIME);
  EXPECT_DOUBLE_EQ(at(1500000001).seconds(), 1.500000001);
}

}  // namespace
