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

// The generated type support against Cyclone DDS's own XCDR1 serializer, run
// on C types that idlc generated from the same definitions
// (cyclone_reference.idl): both must produce the same bytes, and what Cyclone
// writes must read back into the same message. No DDS entity is created.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "client_layer/type_support.hpp"
#include "client_layer_test_interfaces/msg/code_list.hpp"
#include "client_layer_test_interfaces/msg/event.hpp"
#include "cyclone_reference.h"
#include "dds/ddsi/ddsi_cdrstream.h"
#include "rcl_interfaces/msg/parameter.hpp"
#include "rmw_dds_common/msg/participant_entities_info.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kXcdr1 = 1;

// The sample body as Cyclone serializes it, little-endian XCDR1.
template <typename CSample>
Bytes cyclone_body(const CSample & sample, const dds_topic_descriptor_t & descriptor)
{
  dds_ostreamLE_t stream;
  dds_ostreamLE_init(&stream, 0, kXcdr1);
  dds_stream_writeLE(&stream, reinterpret_cast<const char *>(&sample), descriptor.m_ops);
  Bytes body(stream.x.m_buffer, stream.x.m_buffer + stream.x.m_index);
  dds_ostreamLE_fini(&stream);
  return body;
}

template <typename Message>
Bytes our_body(const Message & message)
{
  client_layer::SerializedBuffer wire;
  client_layer::serialize_message(message, wire);
  EXPECT_EQ(Bytes(wire.begin(), wire.begin() + 4), (Bytes{0x00, 0x01, 0x00, 0x00}));
  return Bytes(wire.begin() + 4, wire.end());
}

// Asserts identical bytes, and that Cyclone's bytes read back as `message`.
template <typename Message, typename CSample>
void expect_same_wire(
    const Message & message, const CSample & sample, const dds_topic_descriptor_t & descriptor)
{
  const Bytes theirs = cyclone_body(sample, descriptor);
  ASSERT_FALSE(theirs.empty());
  EXPECT_EQ(our_body(message), theirs);
  Bytes wire = {0x00, 0x01, 0x00, 0x00};
  wire.insert(wire.end(), theirs.begin(), theirs.end());
  Message read_back;
  ASSERT_TRUE(client_layer::deserialize_message(wire.data(), wire.size(), read_back));
  EXPECT_EQ(read_back, message);
}

char * c_string(std::string & text) { return text.data(); }

TEST(CycloneWireCompat, Event)
{
  client_layer_test_interfaces::msg::Event event;
  event.stamp.sec = -3;
  event.stamp.nanosec = 123456789;
  event.source = "arm";
  event.code = 1001;
  event.status = 1;
  event.text = "joint 3 over temperature";

  std::string source = event.source, text = event.text;
  client_layer_test_interfaces_msg_dds__Event_ sample{};
  sample.stamp.sec = event.stamp.sec;
  sample.stamp.nanosec = event.stamp.nanosec;
  sample.source = c_string(source);
  sample.code = event.code;
  sample.status = event.status;
  sample.text = c_string(text);
  expect_same_wire(event, sample, client_layer_test_interfaces_msg_dds__Event__desc);
}

TEST(CycloneWireCompat, CodeListWithEmptyAndFilledSequences)
{
  client_layer_test_interfaces::msg::CodeList failures;
  std::string source;
  client_layer_test_interfaces_msg_dds__CodeList_ sample{};
  sample.source = c_string(source);
  expect_same_wire(failures, sample, client_layer_test_interfaces_msg_dds__CodeList__desc);

  failures.source = "c";
  failures.codes = {7, -8, 9};
  source = failures.source;
  sample.source = c_string(source);
  sample.codes._length = sample.codes._maximum = 3;
  sample.codes._buffer = failures.codes.data();
  expect_same_wire(failures, sample, client_layer_test_interfaces_msg_dds__CodeList__desc);
}

TEST(CycloneWireCompat, ParameterWithEveryValueKind)
{
  rcl_interfaces::msg::Parameter parameter;
  parameter.name = "abcde";  // leaves the 8-byte members misaligned unless padded
  auto & value = parameter.value;
  value.type = 9;
  value.bool_value = true;
  value.integer_value = -5;
  value.double_value = 0.125;
  value.string_value = "s";
  value.byte_array_value = {0x00, 0xFF, 0x10};
  value.bool_array_value = {true, false};
  value.integer_array_value = {1, -1};
  value.double_array_value = {2.5};
  value.string_array_value = {"x", "", "yz"};

  std::string name = parameter.name, string_value = value.string_value;
  std::vector<std::string> strings = value.string_array_value;
  std::vector<char *> string_pointers;
  for (auto & text : strings) {
    string_pointers.push_back(c_string(text));
  }
  bool flags[2] = {true, false};
  rcl_interfaces_msg_dds__Parameter_ sample{};
  sample.name = c_string(name);
  auto & c_value = sample.value;
  c_value.type = value.type;
  c_value.bool_value = value.bool_value;
  c_value.integer_value = value.integer_value;
  c_value.double_value = value.double_value;
  c_value.string_value = c_string(string_value);
  c_value.byte_array_value = {3, 3, value.byte_array_value.data(), false};
  c_value.bool_array_value = {2, 2, flags, false};
  c_value.integer_array_value = {2, 2, value.integer_array_value.data(), false};
  c_value.double_array_value = {1, 1, value.double_array_value.data(), false};
  c_value.string_array_value = {3, 3, string_pointers.data(), false};
  expect_same_wire(parameter, sample, rcl_interfaces_msg_dds__Parameter__desc);
}

TEST(CycloneWireCompat, ParticipantEntitiesInfo)
{
  rmw_dds_common::msg::ParticipantEntitiesInfo info;
  for (std::size_t i = 0; i < info.gid.data.size(); ++i) {
    info.gid.data[i] = static_cast<std::uint8_t>(i * 11);
  }
  rmw_dds_common::msg::NodeEntitiesInfo node;
  node.node_namespace = "/robot";
  node.node_name = "diagnostic_center";
  node.writer_gid_seq.resize(2);
  node.writer_gid_seq[1].data[23] = 0xEE;
  info.node_entities_info_seq.push_back(node);

  rmw_dds_common_msg_dds__Gid_ writers[2]{};
  writers[1].data[23] = 0xEE;
  rmw_dds_common_msg_dds__NodeEntitiesInfo_ c_node{};
  std::strcpy(c_node.node_namespace, "/robot");
  std::strcpy(c_node.node_name, "diagnostic_center");
  c_node.writer_gid_seq = {2, 2, writers, false};
  rmw_dds_common_msg_dds__ParticipantEntitiesInfo_ sample{};
  std::memcpy(sample.gid.data, info.gid.data.data(), 24);
  sample.node_entities_info_seq = {1, 1, &c_node, false};
  expect_same_wire(info, sample, rmw_dds_common_msg_dds__ParticipantEntitiesInfo__desc);
}

}  // namespace
