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

// DDS names back to ROS names, as ROS 2's Cyclone DDS middleware demangles them.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "client_layer/rmw/graph.hpp"

namespace client_layer::rmw {
namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;

TEST(GraphNames, TopicsAndServices)
{
  for (const auto & [dds, ros] : Cases{
           {"rt/chatter", "/chatter"},
           {"rt/a/b", "/a/b"},
           {"rtx/a", ""},  // a prefix must end at a '/'
           {"rt", ""},
           {"ros_discovery_info", ""},
           {"rq/a/bRequest", ""},
       }) {
    EXPECT_EQ(ros, ros_topic_from_dds(dds)) << dds;
  }
  for (const auto & [dds, ros] : Cases{
           {"rq/a/bRequest", "/a/b"},
           {"rr/a/bReply", "/a/b"},
           {"rq/a/bReply", ""},  // suffix of the other direction
           {"rq/a/bRequestX", ""},
           {"rt/a/bRequest", ""},
           {"", ""},
       }) {
    EXPECT_EQ(ros, ros_service_from_dds(dds)) << dds;
  }
}

TEST(GraphNames, Types)
{
  for (const auto & [dds, ros] : Cases{
           {"std_msgs::msg::dds_::String_", "std_msgs/msg/String"},
           {"a::b::c::dds_::T_", "a/b/c/T"},
           {"vendor::Sample", "vendor::Sample"},  // not a ROS type: unchanged
           {"pkg::msg::dds_::T", "pkg::msg::dds_::T"},
           {"", ""},
       }) {
    EXPECT_EQ(ros, ros_type_from_dds(dds)) << dds;
  }
  for (const auto & [dds, ros] : Cases{
           {"pkg::srv::dds_::Add_Request_", "pkg/srv/Add"},
           {"pkg::srv::dds_::Add_Response_", "pkg/srv/Add"},
           {"pkg::msg::dds_::Add_", ""},
           {"vendor::Add_Request_", ""},
           {"dds_::_Request_", ""},
       }) {
    EXPECT_EQ(ros, ros_service_type_from_dds(dds)) << dds;
  }
}

}  // namespace
}  // namespace client_layer::rmw
