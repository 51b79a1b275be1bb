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

// The dashboard's HTTP server in-process, over loopback: read-only, pages,
// endpoints, bad queries and the event stream.
#include <gtest/gtest.h>

#include <httplib.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "diagctl/dashboard_server.hpp"
#include "diagnostic_center_test/child_process.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"

namespace diagctl_test {
namespace {

class DashboardServerTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    const auto records = scratch_ / "records";
    std::filesystem::create_directories(records);
    std::ofstream(records / "2026-12-06_10-00-00")
        << "2026-12-06_10-00-01 fault_id : 1001, fault_desc : bus lost, status : fault, "
           "event_msg : no heartbeat\n"
           "garbage\n"
           "2026-12-06_10-00-05 fault_id : 1001, fault_desc : bus lost, status : passed, "
           "event_msg : back\n";
    server_ = std::make_unique<diagctl::DashboardServer>(
        state_, diagctl::RecordSource::make({records.string()}, false, nullptr), nullptr);
    const auto port = server_->bind("127.0.0.1", 0);
    ASSERT_TRUE(port);
    serving_ = std::thread([this] { server_->run(); });
    client_ = std::make_unique<httplib::Client>("127.0.0.1", *port);
    client_->set_read_timeout(10, 0);
    port_ = *port;
  }

  void TearDown() override
  {
    server_->stop();
    if (serving_.joinable()) {
      serving_.join();
    }
  }

  diagnostic_center_test::ScratchDir scratch_;
  diagctl::DashboardState state_;
  std::unique_ptr<diagctl::DashboardServer> server_;
  std::thread serving_;
  std::unique_ptr<httplib::Client> client_;
  int port_ = 0;
};

TEST(DashboardHost, OnlyLoopbackNamesAreLoopback)
{
  for (const char * host :
       {"localhost", "LocalHost:8080", "127.0.0.1:80", "127.1.2.3", "[::1]:8080"}) {
    EXPECT_TRUE(diagctl::is_loopback_host(host)) << host;
  }
  for (const char * host :
       {"", "attacker.example:8080", "localhost.attacker.example", "128.0.0.1", "[::2]", "0.0.0.0",
        "127.0.0.1.attacker.example"}) {
    EXPECT_FALSE(diagctl::is_loopback_host(host)) << host;
  }
}

TEST_F(DashboardServerTest, ANameThatOnlyResolvesToLoopbackIsRefused)
{
  // A page elsewhere that rebinds its own name to 127.0.0.1 sends that name.
  const auto rebound = client_->Get("/api/records", {{"Host", "attacker.example:8080"}});
  ASSERT_TRUE(rebound);
  EXPECT_EQ(rebound->status, 403);
  const auto local = client_->Get("/api/records", {{"Host", "localhost:" + std::to_string(port_)}});
  ASSERT_TRUE(local);
  EXPECT_EQ(local->status, 200);
}

TEST_F(DashboardServerTest, ServesThePageAndItsAssetsCompiledIn)
{
  const auto page = client_->Get("/");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(page->body.find("<script src=\"app.js\">"), std::string::npos);
  for (const char * path : {"/app.js", "/style.css", "/index.html"}) {
    const auto asset = client_->Get(path);
    ASSERT_TRUE(asset) << path;
    EXPECT_EQ(asset->status, 200) << path;
    EXPECT_FALSE(asset->body.empty()) << path;
  }
  const auto head = client_->Head("/app.js");
  ASSERT_TRUE(head);
  EXPECT_EQ(head->status, 200);
  EXPECT_TRUE(head->body.empty());
  for (const char * path : {"/nothing.js", "/api/nothing", "/../CMakeLists.txt"}) {
    const auto missing = client_->Get(path);
    ASSERT_TRUE(missing) << path;
    EXPECT_EQ(missing->status, 404) << path;
  }
}

TEST_F(DashboardServerTest, EveryMethodButGetAndHeadIsRefused)
{
  for (const char * path : {"/", "/api/tree", "/api/records", "/api/events", "/nothing"}) {
    for (const std::string method : {"POST", "PUT", "PATCH", "DELETE", "OPTIONS"}) {
      httplib::Request request;
      request.method = method;
      request.path = path;
      request.body = "x";
      const auto answer = client_->send(request);
      ASSERT_TRUE(answer) << method << ' ' << path;
      EXPECT_EQ(answer->status, 405) << method << ' ' << path;
      EXPECT_EQ(answer->get_header_value("Allow"), "GET, HEAD") << path;
      EXPECT_NE(answer->body.find("read-only"), std::string::npos) << answer->body;
    }
  }
  // Nothing was changed by any of it.
  EXPECT_EQ(state_.version(), 0u);
}

TEST_F(DashboardServerTest, TreeIsUnavailableUntilOneArrives)
{
  auto answer = client_->Get("/api/tree");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 503);
  EXPECT_EQ(answer->body, "{\"error\": \"no diagnosis tree received yet\"}");

  corvanta_protocol::msg::DiagnosisTree tree;
  tree.entries.resize(1);
  tree.entries[0].fault_id = 4;
  tree.entries[0].parent_id = 4;
  state_.set_tree(tree);
  answer = client_->Get("/api/tree");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 200);
  EXPECT_EQ(answer->get_header_value("Content-Type"), "application/json; charset=utf-8");
  EXPECT_NE(answer->body.find("\"root_causes\": 1"), std::string::npos) << answer->body;
}

TEST_F(DashboardServerTest, RecordsAreFilteredAndBadQueriesGetA400)
{
  auto answer = client_->Get("/api/records?status=passed");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 200);
  EXPECT_NE(answer->body.find("\"total\": 1, \"shown\": 1"), std::string::npos) << answer->body;
  EXPECT_NE(answer->body.find("\"message\": \"back\""), std::string::npos);
  EXPECT_NE(answer->body.find(":2: skipped"), std::string::npos) << answer->body;

  answer = client_->Get("/api/records?id=1001&since=2026-12-06%2010:00:02");
  ASSERT_TRUE(answer);
  EXPECT_NE(answer->body.find("\"total\": 1,"), std::string::npos) << answer->body;

  // Which values are bad is the query parser's business (test_dashboard_api).
  for (const char * query :
       {"/api/records?id=x", "/api/records?colour=red", "/api/records?id=%ff%00"}) {
    answer = client_->Get(query);
    ASSERT_TRUE(answer) << query;
    EXPECT_EQ(answer->status, 400) << query;
    EXPECT_EQ(answer->body.rfind("{\"error\": \"", 0), 0u) << answer->body;
  }
  // A page at a time, newest first.
  answer = client_->Get("/api/records?limit=1");
  ASSERT_TRUE(answer);
  EXPECT_NE(
      answer->body.find("\"total\": 2, \"shown\": 1, \"first\": 1, \"next_before\": 1, "
                        "\"problem_count\": 1,"),
      std::string::npos)
      << answer->body;
  answer = client_->Get("/api/records?limit=1&before=1");
  ASSERT_TRUE(answer);
  EXPECT_NE(answer->body.find("\"first\": 0, \"next_before\": null"), std::string::npos)
      << answer->body;
  EXPECT_NE(answer->body.find("\"message\": \"no heartbeat\""), std::string::npos);

  // Still serving.
  answer = client_->Get("/api/records");
  ASSERT_TRUE(answer);
  EXPECT_NE(answer->body.find("\"total\": 2,"), std::string::npos) << answer->body;
}

TEST_F(DashboardServerTest, EventStreamAnnouncesChangesAndEndsWhenTheServerStops)
{
  std::string received;
  bool changed = false;
  std::thread reader([&] {
    httplib::Client client("127.0.0.1", port_);
    client.set_read_timeout(30, 0);
    client.Get("/api/events", [&](const char * data, std::size_t size) {
      received.append(data, size);
      if (received.find("data: 0\n\n") != std::string::npos && !changed) {
        changed = true;
        corvanta_protocol::msg::ExceptionHandle message;
        state_.add_exception({std::chrono::system_clock::now(), message});
      }
      return received.find("data: 1\n\n") == std::string::npos;
    });
  });
  reader.join();
  EXPECT_EQ(received, "retry: 1000\n\nevent: change\ndata: 0\n\nevent: change\ndata: 1\n\n");

  // A page left open does not keep the server from stopping.
  std::atomic<bool> opened{false};
  std::thread idle([&] {
    httplib::Client client("127.0.0.1", port_);
    client.Get("/api/events", [&](const char *, std::size_t) {
      opened = true;
      return true;
    });
  });
  ASSERT_TRUE(diagnostic_center_test::WaitUntil(
      [&] { return opened.load(); }, std::chrono::seconds(20), std::chrono::milliseconds(10)));
  server_->stop();
  serving_.join();
  idle.join();
}

TEST(DashboardServerStop, BeforeRunMakesRunReturnAtOnce)
{
  diagctl::DashboardState state;
  diagctl::DashboardServer server(
      state, diagctl::RecordSource::make({"/nonexistent"}, false, nullptr), nullptr);
  ASSERT_TRUE(server.bind("127.0.0.1", 0));
  server.stop();  // e.g. Ctrl-C before the serving thread got going
  EXPECT_TRUE(server.run());
}

TEST(DashboardUrl, BracketsIpv6Addresses)
{
  EXPECT_EQ(diagctl::dashboard_url("127.0.0.1", 8080), "http://127.0.0.1:8080/");
  EXPECT_EQ(diagctl::dashboard_url("::1", 0), "http://[::1]:0/");
}

TEST_F(DashboardServerTest, FleetRoutesServeTheFleetAndEachRobotsDocuments)
{
  // A single-robot dashboard has no fleet: the page tells the modes apart so.
  const auto single = client_->Get("/api/fleet");
  ASSERT_TRUE(single);
  EXPECT_EQ(single->status, 404);

  diagctl::FleetModel model;
  diagctl::RobotStates robots;
  diagctl::DashboardState idle;
  diagctl::DashboardServer fleet_server(
      idle, diagctl::RecordSource::make({}, false, nullptr), nullptr);
  fleet_server.serve_fleet(model, robots);
  const auto port = fleet_server.bind("127.0.0.1", 0);
  ASSERT_TRUE(port);
  std::thread serving([&fleet_server] { fleet_server.run(); });
  // Stops and joins however the test ends.
  const std::unique_ptr<std::thread, std::function<void(std::thread *)>> joined(
      &serving, [&fleet_server](std::thread * thread) {
        fleet_server.stop();
        thread->join();
      });
  httplib::Client client("127.0.0.1", *port);
  client.set_read_timeout(10, 0);
  const auto now = std::chrono::system_clock::now();
  model.on_graph(7, {"/r1"}, now);
  corvanta_protocol::msg::CurrentFailure current;
  current.fault_id_list = {1001};
  robots.of({7, "/r1"}).set_current({now, current});

  const auto fleet = client.Get("/api/fleet");
  ASSERT_TRUE(fleet);
  EXPECT_EQ(fleet->status, 200);
  EXPECT_EQ(fleet->body.rfind("{\"robots\":[{\"namespace\":\"/r1\",\"domain\":7,", 0), 0u)
      << fleet->body;

  struct Case
  {
    const char * target;
    int status;
    const char * body_holds;
  };
  const std::vector<Case> cases = {
      {"/api/robot/current?domain=7&ns=/r1", 200, "{\"fault_id\": 1001"},
      {"/api/robot/exceptions?domain=7&ns=%2Fr1", 200, "{\"exceptions\": []}"},
      {"/api/robot/tree?domain=7&ns=/r1", 503, "no diagnosis tree"},
      {"/api/robot/tree?domain=8&ns=/r1", 404, "no robot /r1 on domain 8"},
      {"/api/robot/tree?domain=7", 400, "one domain and one ns"},
      {"/api/robot/tree?domain=7&ns=/r1&ns=/r2", 400, "one domain and one ns"},
      {"/api/robot/tree?domain=233&ns=/r1", 400, "domain wants"},
      {"/api/robot/tree?domain=1-3&ns=/r1", 400, "domain wants"},
      {"/api/robot/tree?domain=7&ns=r1", 400, "ns wants"},
      {"/api/robot/tree?domain=7&ns=/r1/", 400, "ns wants"},
      {"/api/robot/tree?domain=7&ns=/r1&x=1", 400, "unknown parameter \\\"x\\\""},
  };
  for (const Case & c : cases) {
    const auto answer = client.Get(c.target);
    ASSERT_TRUE(answer) << c.target;
    EXPECT_EQ(answer->status, c.status) << c.target;
    EXPECT_NE(answer->body.find(c.body_holds), std::string::npos)
        << c.target << ": " << answer->body;
  }
}

}  // namespace
}  // namespace diagctl_test
