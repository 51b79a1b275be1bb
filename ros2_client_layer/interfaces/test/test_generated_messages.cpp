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

// Generated interface types: the names ROS 2 knows them by, and the least
// wire size of each, which bounds what a hostile sequence count can allocate.
// Their encoding is checked against Cyclone DDS in test_cyclone_wire_compat.cpp.
#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>
#include <vector>

#include "builtin_interfaces/msg/time.hpp"
#include "client_layer/type_support.hpp"
#include "client_layer_test_interfaces/msg/event.hpp"
#include "client_layer_test_interfaces/srv/query.hpp"
#include "rmw_dds_common/msg/participant_entities_info.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;
using client_layer_test_interfaces::msg::Event;

TEST(GeneratedMessages, TypeNamesFollowTheRos2Conventions)
{
  using client_layer_test_interfaces::srv::Query;
  EXPECT_STREQ(
      client_layer::TypeSupport<Event>::dds_type_name(),
      "client_layer_test_interfaces::msg::dds_::Event_");
  EXPECT_STREQ(
      client_layer::TypeSupport<Event>::ros_type_name(), "client_layer_test_interfaces/msg/Event");
  EXPECT_STREQ(
      client_layer::TypeSupport<Query::Request>::dds_type_name(),
      "client_layer_test_interfaces::srv::dds_::Query_Request_");
  EXPECT_STREQ(
      client_layer::TypeSupport<Query::Response>::dds_type_name(),
      "client_layer_test_interfaces::srv::dds_::Query_Response_");
  EXPECT_STREQ(
      client_layer::ServiceTypeSupport<Query>::ros_type_name(),
      "client_layer_test_interfaces/srv/Query");
  static_assert(
      std::is_same<client_layer::ServiceTypeSupport<Query>::Request, Query::Request>::value);
}

TEST(GeneratedMessages, MinimumWireSizesBoundWhatAHostileCountCanAllocate)
{
  static_assert(client_layer::TypeSupport<builtin_interfaces::msg::Time>::min_wire_size == 8);
  static_assert(client_layer::TypeSupport<Event>::min_wire_size == 8 + 4 + 4 + 4 + 4);
  static_assert(client_layer::TypeSupport<rmw_dds_common::msg::Gid>::min_wire_size == 24);
  // A count of 2 node entries needs at least 2 x 16 bytes after it; 31 are refused.
  Bytes wire(4 + 24, 0);
  wire[1] = 0x01;
  wire.insert(wire.end(), {0x02, 0x00, 0x00, 0x00});
  wire.resize(wire.size() + 31, 0);
  rmw_dds_common::msg::ParticipantEntitiesInfo info;
  EXPECT_FALSE(client_layer::deserialize_message(wire.data(), wire.size(), info));
  EXPECT_TRUE(info.node_entities_info_seq.empty());
}

}  // namespace
