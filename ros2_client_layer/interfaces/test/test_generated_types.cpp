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

// Code generated from test_interfaces/, which uses the whole .msg grammar:
// member types, initialisation, constants, traits and the CDR round trip,
// including the reader's defences against bounds and malformed buffers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "builtin_interfaces/msg/time.hpp"
#include "client_layer/type_support.hpp"
#include "client_layer_test_interfaces/msg/all_types.hpp"
#include "client_layer_test_interfaces/msg/bounded.hpp"
#include "client_layer_test_interfaces/msg/empty.hpp"
#include "client_layer_test_interfaces/msg/nested.hpp"
#include "client_layer_test_interfaces/msg/unbounded.hpp"
#include "client_layer_test_interfaces/srv/trigger.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;
using client_layer_test_interfaces::msg::AllTypes;
using client_layer_test_interfaces::msg::Nested;
using rosidl_runtime_cpp::MessageInitialization;

template <typename T>
Bytes serialize(const T & message)
{
  Bytes wire;
  client_layer::serialize_message(message, wire);
  return wire;
}

template <typename T>
bool deserialize(const Bytes & wire, T & message)
{
  return client_layer::deserialize_message(wire.data(), wire.size(), message);
}

AllTypes populated()
{
  AllTypes m;
  m.flag = false;
  m.octet = 0xFF;
  m.letter = 'z';
  m.ratio = -3.5f;
  m.precise = 1e300;
  m.small = -128;
  m.tiny = 1;
  m.medium = -2;
  m.umedium = 3;
  m.number = -4;
  m.unumber = 5;
  m.big = INT64_MIN;
  m.ubig = UINT64_MAX;
  m.no_default = 9;
  m.text = std::string("\x00\xFF mid \x00", 8);
  m.short_text = "xy";
  m.wide = u"\u00e9\u4e2d";
  m.plain_text = "";
  m.fixed_ints = {{-1, 0, 1}};
  m.fixed_strings = {{"", std::string(1, '\0')}};
  m.doubles = {0.5};
  m.bounded_ints = {1, 2, 3, 4};
  m.bounded_strings = {"abc", ""};
  m.flags = {true, false, true};
  m.octets = {{0, 0x7F, 0x80, 0xFF}};
  m.wides = {u"", u"a"};
  m.stamp.sec = -1;
  m.stamp.nanosec = 999999999;
  m.timeout.sec = 3;
  m.nested.value = 7;
  m.nested.label = "n";
  m.nested_pair[1].label = "second";
  m.nested_list.resize(3);
  m.nested_list[2].value = -7;
  m.nested_bounded.resize(1);
  return m;
}

TEST(GeneratedTypes, MembersHaveTheRos2CppTypes)
{
  static_assert(std::is_same<AllTypes::_flag_type, bool>::value);
  static_assert(std::is_same<AllTypes::_octet_type, unsigned char>::value);
  static_assert(std::is_same<AllTypes::_letter_type, std::uint8_t>::value);
  static_assert(std::is_same<AllTypes::_ratio_type, float>::value);
  static_assert(std::is_same<AllTypes::_ubig_type, std::uint64_t>::value);
  static_assert(std::is_same<AllTypes::_text_type, std::string>::value);
  static_assert(std::is_same<AllTypes::_short_text_type, std::string>::value);
  static_assert(std::is_same<AllTypes::_wide_type, std::u16string>::value);
  static_assert(std::is_same<AllTypes::_fixed_ints_type, std::array<std::int32_t, 3>>::value);
  static_assert(std::is_same<AllTypes::_doubles_type, std::vector<double>>::value);
  static_assert(
      std::is_same<
          AllTypes::_bounded_ints_type,
          rosidl_runtime_cpp::BoundedVector<std::int16_t, 4, std::allocator<std::int16_t>>>::value);
  static_assert(std::is_same<AllTypes::_stamp_type, builtin_interfaces::msg::Time>::value);
  static_assert(std::is_same<AllTypes::_nested_list_type, std::vector<Nested>>::value);
  static_assert(std::is_same<AllTypes::SharedPtr, std::shared_ptr<AllTypes>>::value);
  static_assert(std::is_same<AllTypes::ConstSharedPtr, std::shared_ptr<const AllTypes>>::value);
  static_assert(std::is_same<AllTypes::UniquePtr, std::unique_ptr<AllTypes>>::value);
  static_assert(std::is_same<AllTypes::ConstWeakPtr, std::weak_ptr<const AllTypes>>::value);
  static_assert(std::is_same<AllTypes::RawPtr, AllTypes *>::value);
  using Trigger = client_layer_test_interfaces::srv::Trigger;
  static_assert(
      std::is_same<Trigger::Request, client_layer_test_interfaces::srv::Trigger_Request>::value);
  static_assert(std::is_same<Trigger::Response::_message_type, std::string>::value);

  Nested nested;
  nested.set__value(3).set__label("chained");
  EXPECT_EQ(nested.value, 3);
  EXPECT_EQ(nested.label, "chained");

  const Nested built = client_layer_test_interfaces::build<Nested>().value(3).label("chained");
  EXPECT_EQ(built, nested);
  const auto empty_request = client_layer_test_interfaces::build<Trigger::Request>();
  EXPECT_EQ(empty_request.structure_needs_at_least_one_member, 0);
}

TEST(GeneratedTypes, ConstructorsApplyDefaultsAsTheInitializationModeSays)
{
  const AllTypes all;
  EXPECT_TRUE(all.flag);
  EXPECT_EQ(all.octet, 10);
  EXPECT_EQ(all.unumber, 4000000000u);
  EXPECT_EQ(all.big, -5000000000);
  EXPECT_EQ(all.ubig, 10000000000000000000u);
  EXPECT_DOUBLE_EQ(all.precise, -1.25e-3);
  EXPECT_EQ(all.no_default, 0);
  EXPECT_EQ(all.text, "hi # there");
  EXPECT_EQ(all.short_text, "abc");
  EXPECT_EQ(all.wide, u"wide");
  EXPECT_EQ(all.fixed_ints, (std::array<std::int32_t, 3>{{1, 2, 3}}));
  EXPECT_EQ(all.fixed_strings[0], "a,b");
  EXPECT_EQ(all.doubles, (std::vector<double>{1.5, -2.0}));
  EXPECT_EQ(all.bounded_ints.size(), 2u);
  EXPECT_EQ(all.octets, (std::array<unsigned char, 4>{}));
  EXPECT_EQ(all.nested.value, 42);
  EXPECT_EQ(all.nested_pair[1].value, 42);

  const AllTypes zero(MessageInitialization::ZERO);
  EXPECT_FALSE(zero.flag);
  EXPECT_EQ(zero.octet, 0);
  EXPECT_EQ(zero.text, "");
  EXPECT_EQ(zero.fixed_ints, (std::array<std::int32_t, 3>{}));
  EXPECT_TRUE(zero.doubles.empty());
  EXPECT_EQ(zero.nested.value, 0);
  EXPECT_EQ(zero.nested_pair[0].value, 0);

  const AllTypes defaults(MessageInitialization::DEFAULTS_ONLY);
  EXPECT_EQ(defaults.number, -70000);
  EXPECT_EQ(defaults.nested.value, 42);

  const AllTypes with_allocator(std::allocator<void>{});
  EXPECT_EQ(with_allocator, all);
}

TEST(GeneratedTypes, ConstantsKeepTheirValues)
{
  EXPECT_TRUE(AllTypes::FLAG_ON);
  EXPECT_EQ(AllTypes::BYTE_MAX, 255);
  EXPECT_EQ(AllTypes::LETTER_A, 'A');
  EXPECT_EQ(AllTypes::HALF, 0.5f);
  EXPECT_EQ(AllTypes::LIMIT_INT8_MIN, -128);
  EXPECT_EQ(AllTypes::LIMIT_INT32_MIN, INT32_MIN);
  EXPECT_EQ(AllTypes::LIMIT_UINT32_MAX, UINT32_MAX);
  EXPECT_EQ(AllTypes::LIMIT_INT64_MIN, INT64_MIN);
  EXPECT_EQ(AllTypes::LIMIT_UINT64_MAX, UINT64_MAX);
  EXPECT_EQ(AllTypes::GREETING, "say \"hi\" # not a comment");
  EXPECT_EQ(AllTypes::WIDE_GREETING, u"w\u00e9");
}

TEST(GeneratedTypes, EveryMemberRoundTripsThroughCdr)
{
  const AllTypes original = populated();
  AllTypes read_back(MessageInitialization::ZERO);
  ASSERT_TRUE(deserialize(serialize(original), read_back));
  EXPECT_EQ(read_back, original);
  EXPECT_EQ(read_back.text.size(), 8u);

  read_back.nested_list[2].label = "changed";
  EXPECT_NE(read_back, original);
}

TEST(GeneratedTypes, EmptyStructuresCarryOnePlaceholderByte)
{
  const client_layer_test_interfaces::msg::Empty empty;
  EXPECT_EQ(serialize(empty), (Bytes{0x00, 0x01, 0x00, 0x00, 0x00}));
  const client_layer_test_interfaces::srv::Trigger::Request request;
  EXPECT_EQ(serialize(request), (Bytes{0x00, 0x01, 0x00, 0x00, 0x00}));
}

TEST(GeneratedTypes, BoundsAreEnforcedWhenReading)
{
  client_layer_test_interfaces::msg::Unbounded wide_open;
  client_layer_test_interfaces::msg::Bounded bounded;
  wide_open.values = {1, 2};
  wide_open.text = "abc";
  EXPECT_TRUE(deserialize(serialize(wide_open), bounded));
  EXPECT_EQ(bounded.values.size(), 2u);

  wide_open.values = {1, 2, 3};
  EXPECT_FALSE(deserialize(serialize(wide_open), bounded));

  wide_open.values = {1};
  wide_open.text = "abcd";
  EXPECT_FALSE(deserialize(serialize(wide_open), bounded));

  // Inside sequences the element bound holds too (string<=3[<=2]).
  AllTypes message = populated();
  message.bounded_strings[1] = "four";
  AllTypes read_back;
  EXPECT_FALSE(deserialize(serialize(message), read_back));

  bounded.values = {1, 2};
  EXPECT_THROW(bounded.values.push_back(3), std::length_error);
  EXPECT_THROW(bounded.values.resize(3), std::length_error);
  EXPECT_EQ(bounded.values.size(), 2u);
}

TEST(GeneratedTypes, TruncatedAndCorruptedBuffersAreRejectedWithoutHarm)
{
  const Bytes wire = serialize(populated());
  // Every member is needed: each strict prefix must be refused.
  for (std::size_t size = 0; size < wire.size(); ++size) {
    const Bytes prefix(wire.begin(), wire.begin() + static_cast<std::ptrdiff_t>(size));
    AllTypes message;
    EXPECT_FALSE(deserialize(prefix, message)) << "prefix of " << size << " bytes";
  }
  // Random corruption may or may not parse, but must never read out of bounds
  // (run under the sanitizers) or allocate wildly.
  std::mt19937 random(12345);
  for (int round = 0; round < 2000; ++round) {
    Bytes corrupted = wire;
    const int flips = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < flips; ++i) {
      corrupted[4 + random() % (corrupted.size() - 4)] = static_cast<std::uint8_t>(random());
    }
    corrupted.resize(4 + random() % (corrupted.size() - 3));
    AllTypes message;
    (void)deserialize(corrupted, message);
  }
}

TEST(GeneratedTypes, TraitsDescribeTheTypes)
{
  using client_layer_test_interfaces::msg::Bounded;
  using client_layer_test_interfaces::srv::Trigger;
  namespace traits = rosidl_generator_traits;
  EXPECT_STREQ(traits::data_type<AllTypes>(), "client_layer_test_interfaces::msg::AllTypes");
  EXPECT_STREQ(traits::name<AllTypes>(), "client_layer_test_interfaces/msg/AllTypes");
  EXPECT_STREQ(traits::name<Trigger>(), "client_layer_test_interfaces/srv/Trigger");
  EXPECT_STREQ(
      traits::name<Trigger::Request>(), "client_layer_test_interfaces/srv/Trigger_Request");
  static_assert(traits::is_message<AllTypes>::value && !traits::is_service<AllTypes>::value);
  static_assert(traits::is_service<Trigger>::value && !traits::is_message<Trigger>::value);
  static_assert(traits::is_service_request<Trigger::Request>::value);
  static_assert(traits::is_service_response<Trigger::Response>::value);
  static_assert(traits::is_message<Trigger::Response>::value);
  static_assert(traits::has_fixed_size<builtin_interfaces::msg::Time>::value);
  // One per assert: two equal constants joined by && look redundant to clang-tidy.
  static_assert(!traits::has_fixed_size<AllTypes>::value);
  static_assert(!traits::has_bounded_size<AllTypes>::value);
  static_assert(
      !traits::has_fixed_size<Bounded>::value && traits::has_bounded_size<Bounded>::value);
}

TEST(GeneratedTypes, YamlRenderingMatchesRos2)
{
  Nested nested;
  nested.label = "say \"x\"";
  EXPECT_EQ(to_yaml(nested, true), "{value: 42, label: \"say \\\"x\\\"\"}");
  EXPECT_EQ(to_yaml(nested), "value: 42\nlabel: \"say \\\"x\\\"\"\n");

  client_layer_test_interfaces::msg::Unbounded sequence;
  EXPECT_EQ(to_yaml(sequence, true), "{values: [], text: \"\"}");
  sequence.values = {1, -2};
  EXPECT_EQ(to_yaml(sequence, true), "{values: [1, -2], text: \"\"}");
  EXPECT_EQ(to_yaml(sequence), "values:\n- 1\n- -2\ntext: \"\"\n");

  AllTypes all;
  all.nested_list.resize(1);
  const std::string block = to_yaml(all);
  EXPECT_NE(block.find("octet: 0x0a\n"), std::string::npos) << block;
  EXPECT_NE(block.find("letter: 65\n"), std::string::npos) << block;
  EXPECT_NE(block.find("ratio: 0.500000\n"), std::string::npos) << block;
  EXPECT_NE(block.find("stamp:\n  sec: 0\n  nanosec: 0\n"), std::string::npos) << block;
  EXPECT_NE(block.find("nested_list:\n-\n  value: 42\n  label: \"\"\n"), std::string::npos)
      << block;
}

// This test is declared with ament_add_gtest(... ENV ...), which must reach it.
TEST(GeneratedTypes, TestEnvironmentComesFromTheCMakeDeclaration)
{
  const char * value = std::getenv("CLIENT_LAYER_TEST_ENV");
  ASSERT_NE(value, nullptr);
  EXPECT_STREQ(value, "from_cmake");
}

}  // namespace
