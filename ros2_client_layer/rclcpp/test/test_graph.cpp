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

// Graph queries: counts, topic, service and node names converge to the
// discovered state, within a process and across processes.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "client_layer/rmw/transport.hpp"
#include "client_layer_test_interfaces/msg/event.hpp"
#include "client_layer_test_interfaces/srv/query.hpp"
#include "layer_test_support.hpp"
#include "peer_process.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/rclcpp.hpp"
#include "rmw/qos_profiles.h"

using client_layer_test_interfaces::msg::Event;
using client_layer_test_interfaces::srv::Query;
using layer_test::wait_until;  // discovery is asynchronous

namespace {

const std::vector<std::string> kEventType = {"client_layer_test_interfaces/msg/Event"};
const std::vector<std::string> kServiceType = {"client_layer_test_interfaces/srv/Query"};

bool contains(const std::vector<std::string> & names, const std::string & name)
{
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The types of `name`, empty when it is not in `names_and_types`.
std::vector<std::string> types_of(
    const std::map<std::string, std::vector<std::string>> & names_and_types,
    const std::string & name)
{
  auto it = names_and_types.find(name);
  return it == names_and_types.end() ? std::vector<std::string>{} : it->second;
}

void ignore_request(const std::shared_ptr<Query::Request>, std::shared_ptr<Query::Response>) {}

class GraphTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    rclcpp::init(0, nullptr);
    node_ = std::make_shared<rclcpp::Node>("graph_test", "/g");
  }

  void TearDown() override
  {
    node_.reset();
    rclcpp::shutdown();
  }

  rclcpp::Node::SharedPtr node_;
};

TEST_F(GraphTest, CountsAndNamesFollowEntitiesOfTheProcess)
{
  auto other = std::make_shared<rclcpp::Node>("other", "/g");
  auto publisher = node_->create_publisher<Event>("chatter", 10);
  auto s1 = other->create_subscription<Event>("chatter", 10, [](Event::UniquePtr) {});
  auto s2 = other->create_subscription<Event>("/g/chatter", 10, [](Event::UniquePtr) {});
  auto service = other->create_service<Query>("srv", &ignore_request);

  ASSERT_TRUE(wait_until([&] {
    return node_->count_publishers("chatter") == 1u && node_->count_subscribers("chatter") == 2u;
  }));
  EXPECT_EQ(1u, node_->count_publishers("/g/chatter"));
  EXPECT_EQ(0u, node_->count_publishers("/chatter"));
  EXPECT_EQ(0u, node_->count_subscribers("~/chatter"));  // /g/graph_test/chatter
  EXPECT_THROW(node_->count_publishers("bad name"), rclcpp::exceptions::InvalidTopicNameError);

  ASSERT_TRUE(wait_until([&] {
    return !types_of(node_->get_service_names_and_types(), "/g/srv").empty() &&
           contains(node_->get_node_names(), "/g/other");
  }));
  const auto topics = node_->get_topic_names_and_types();
  EXPECT_EQ(kEventType, types_of(topics, "/g/chatter"));
  for (const auto & [name, types] : topics) {
    EXPECT_EQ('/', name.front()) << name;  // no DDS names (rq/..., ros_discovery_info)
    EXPECT_EQ(std::string::npos, name.find("Request")) << name;
  }
  EXPECT_EQ(kServiceType, types_of(node_->get_service_names_and_types(), "/g/srv"));
  EXPECT_TRUE(types_of(node_->get_service_names_and_types(), "/g/chatter").empty());
  const auto nodes = node_->get_node_names();
  EXPECT_TRUE(contains(nodes, "/g/graph_test"));
  EXPECT_EQ(1, std::count(nodes.begin(), nodes.end(), "/g/other"));

  publisher.reset();
  s1.reset();
  service.reset();
  ASSERT_TRUE(wait_until([&] {
    return node_->count_publishers("chatter") == 0u && node_->count_subscribers("chatter") == 1u &&
           types_of(node_->get_service_names_and_types(), "/g/srv").empty();
  }));
  s2.reset();
  other.reset();
  ASSERT_TRUE(wait_until([&] {
    return !contains(node_->get_node_names(), "/g/other") &&
           types_of(node_->get_topic_names_and_types(), "/g/chatter").empty();
  }));
  EXPECT_TRUE(contains(node_->get_node_names(), "/g/graph_test"));
}

// rclcpp's time source subscribes every node to /parameter_events, so tools
// list that subscription among a node's endpoints.
TEST_F(GraphTest, EveryNodeSubscribesToParameterEvents)
{
  auto other = std::make_shared<rclcpp::Node>("other", "/g");
  ASSERT_TRUE(wait_until([&] { return node_->count_subscribers("/parameter_events") == 2u; }));
  other.reset();
  ASSERT_TRUE(wait_until([&] { return node_->count_subscribers("/parameter_events") == 1u; }));
}

TEST_F(GraphTest, ListsEveryTypeOfATopicAndSkipsPlainDdsTopics)
{
  auto participant = client_layer::rmw::Participant::create(
      static_cast<uint32_t>(rclcpp::contexts::get_global_default_context()->get_domain_id()));
  client_layer::rmw::RawWriter foreign_type(
      participant, "rt/g/multi", "vendor::Sample", rmw_qos_profile_default);
  client_layer::rmw::RawWriter plain_dds(
      participant, "plain_topic", "client_layer_test_interfaces::msg::dds_::Event_",
      rmw_qos_profile_default);
  auto publisher = node_->create_publisher<Event>("multi", 10);

  const std::vector<std::string> both = {
      "client_layer_test_interfaces/msg/Event", "vendor::Sample"};
  ASSERT_TRUE(
      wait_until([&] { return types_of(node_->get_topic_names_and_types(), "/g/multi") == both; }));
  EXPECT_EQ(2u, node_->count_publishers("multi"));
  for (const auto & [name, types] : node_->get_topic_names_and_types()) {
    EXPECT_EQ(std::string::npos, name.find("plain_topic")) << name;
  }
}

TEST_F(GraphTest, SeesAnotherProcessComeAndGo)
{
  PeerProcess peer({"serve"});
  ASSERT_TRUE(peer.started());
  ASSERT_EQ("ready", peer.read_line());

  ASSERT_TRUE(wait_until([&] {
    return node_->count_publishers("/pong") == 1u && node_->count_subscribers("/ping") == 1u &&
           contains(node_->get_node_names(), "/peer") &&
           !types_of(node_->get_service_names_and_types(), "/peer_srv").empty();
  }));
  EXPECT_EQ(kEventType, types_of(node_->get_topic_names_and_types(), "/pong"));
  EXPECT_EQ(kServiceType, types_of(node_->get_service_names_and_types(), "/peer_srv"));

  peer.signal(SIGINT);  // the peer shuts down and its participant says goodbye
  const int status = peer.wait();
  EXPECT_TRUE(WIFEXITED(status)) << status;
  ASSERT_TRUE(wait_until([&] {
    return node_->count_publishers("/pong") == 0u && node_->count_subscribers("/ping") == 0u &&
           !contains(node_->get_node_names(), "/peer") &&
           types_of(node_->get_service_names_and_types(), "/peer_srv").empty();
  }));
}

}  // namespace
