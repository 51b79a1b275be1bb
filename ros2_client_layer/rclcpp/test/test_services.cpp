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

// Services and clients: round trips with binary payloads, the callback forms
// rclcpp accepts, clients that start before their server, other processes.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "client_layer_test_interfaces/srv/query.hpp"
#include "peer_process.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;
using client_layer_test_interfaces::srv::Query;

namespace {

// Every byte value, NUL and 0xFF included.
std::string all_bytes()
{
  std::string bytes;
  for (int i = 0; i < 256; ++i) {
    bytes.push_back(static_cast<char>(i));
  }
  return bytes;
}

// A server whose handler is a member returning bool, bound with std::bind.
class Server
{
public:
  bool handle(std::shared_ptr<Query::Request> request, std::shared_ptr<Query::Response> response)
  {
    response->result = request->cmd;
    response->data = all_bytes() + std::to_string(request->cmd);
    return true;
  }
};

class ServiceTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    rclcpp::init(0, nullptr);
    node_ = std::make_shared<rclcpp::Node>("service_test");
    executor_ =
        std::make_shared<rclcpp::executors::MultiThreadedExecutor>(rclcpp::ExecutorOptions(), 2);
    executor_->add_node(node_);
  }

  void TearDown() override
  {
    executor_.reset();
    node_.reset();
    rclcpp::shutdown();
  }

  std::shared_ptr<Query::Response> call(
      const rclcpp::Client<Query>::SharedPtr & client, int32_t cmd)
  {
    auto request = std::make_shared<Query::Request>();
    request->cmd = cmd;
    auto result = client->async_send_request(request);
    if (executor_->spin_until_future_complete(result, 10s) != rclcpp::FutureReturnCode::SUCCESS) {
      return nullptr;
    }
    return result.get();
  }

  rclcpp::Node::SharedPtr node_;
  std::shared_ptr<rclcpp::executors::MultiThreadedExecutor> executor_;
};

TEST_F(ServiceTest, RoundTripWithBinaryPayloadAndBoundMember)
{
  auto server_object = std::make_shared<Server>();
  auto service = node_->create_service<Query>(
      "query_srv",
      std::bind(&Server::handle, server_object, std::placeholders::_1, std::placeholders::_2));
  EXPECT_STREQ("/query_srv", service->get_service_name());
  auto client = node_->create_client<Query>("query_srv");
  ASSERT_TRUE(client->wait_for_service(10s));
  EXPECT_TRUE(client->service_is_ready());

  for (int32_t cmd : {0, -1, 7}) {
    auto response = call(client, cmd);
    ASSERT_NE(nullptr, response);
    EXPECT_EQ(cmd, response->result);
    EXPECT_EQ(all_bytes() + std::to_string(cmd), response->data);
  }
}

TEST_F(ServiceTest, CallbackFormsAndAsyncCallbacks)
{
  auto with_header = node_->create_service<Query>(
      "with_header",
      [](const std::shared_ptr<rmw_request_id_t> header,
         const std::shared_ptr<Query::Request> request, std::shared_ptr<Query::Response> response) {
        response->result = request->cmd;
        response->data = std::to_string(header->sequence_number);
      });
  rclcpp::Service<Query>::SharedPtr deferred;
  deferred = node_->create_service<Query>(
      "deferred",
      [&deferred](
          std::shared_ptr<rmw_request_id_t> header, std::shared_ptr<Query::Request> request) {
        Query::Response response;
        response.result = request->cmd * 2;
        deferred->send_response(*header, response);
      });

  auto client = node_->create_client<Query>("with_header");
  ASSERT_TRUE(client->wait_for_service(10s));
  auto request = std::make_shared<Query::Request>();
  request->cmd = 5;
  std::promise<std::string> seen;
  auto result = client->async_send_request(
      request,
      [&seen](rclcpp::Client<Query>::SharedFuture future) { seen.set_value(future.get()->data); });
  ASSERT_EQ(rclcpp::FutureReturnCode::SUCCESS, executor_->spin_until_future_complete(result, 10s));
  auto seen_future = seen.get_future();
  ASSERT_EQ(std::future_status::ready, seen_future.wait_for(0s));
  // The server sees the sequence number the client got.
  EXPECT_EQ(std::to_string(result.request_id), seen_future.get());

  auto deferred_client = node_->create_client<Query>("deferred");
  ASSERT_TRUE(deferred_client->wait_for_service(10s));
  auto response = call(deferred_client, 21);
  ASSERT_NE(nullptr, response);
  EXPECT_EQ(42, response->result);
}

TEST_F(ServiceTest, ClientStartsBeforeItsServer)
{
  auto client = node_->create_client<Query>("late_srv");
  EXPECT_FALSE(client->service_is_ready());
  EXPECT_FALSE(client->wait_for_service(0s));
  EXPECT_FALSE(client->wait_for_service(50ms));

  auto server_node = std::make_shared<rclcpp::Node>("late_server");
  rclcpp::Service<Query>::SharedPtr service;
  std::thread starter([&] {
    std::this_thread::sleep_for(100ms);
    service = server_node->create_service<Query>(
        "late_srv",
        [](std::shared_ptr<Query::Request> request, std::shared_ptr<Query::Response> response) {
          response->result = request->cmd;
        });
    executor_->add_node(server_node);
  });
  EXPECT_TRUE(client->wait_for_service(10s));
  starter.join();
  auto response = call(client, 3);
  ASSERT_NE(nullptr, response);
  EXPECT_EQ(3, response->result);
}

TEST_F(ServiceTest, AcrossProcesses)
{
  auto client = node_->create_client<Query>("peer_srv");
  PeerProcess peer({"serve"});
  ASSERT_TRUE(peer.started());
  ASSERT_EQ("ready", peer.read_line());
  ASSERT_TRUE(client->wait_for_service(10s));
  auto response = call(client, 12);
  ASSERT_NE(nullptr, response);
  EXPECT_EQ(std::string("\x00\xff", 2) + "12", response->data);
  EXPECT_EQ(0u, client->prune_pending_requests());
}

}  // namespace
