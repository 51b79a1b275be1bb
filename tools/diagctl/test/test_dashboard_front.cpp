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

// What the dashboard takes from its clients: whole requests within a
// deadline and within bounds, event streams beside requests, not instead of
// them, and error answers that say what went wrong.
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "diagctl/dashboard_server.hpp"
#include "diagctl/http_front.hpp"
#include "diagnostic_center_test/child_process.hpp"

namespace diagctl_test {
namespace {

using diagctl::HeadState;

// A raw loopback connection, for what no well-behaved client sends.
class RawClient
{
public:
  explicit RawClient(int port) : fd_(::socket(AF_INET, SOCK_STREAM, 0))
  {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    // Generous: only proves that an answer came at all.
    timeval timeout{30, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
  }
  ~RawClient() { ::close(fd_); }
  RawClient(const RawClient &) = delete;
  RawClient & operator=(const RawClient &) = delete;

  bool connected() const { return connected_; }
  bool send(const std::string & bytes)
  {
    return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
  }
  // Everything until the server closes (or the generous timeout).
  std::string answer()
  {
    std::string received;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::recv(fd_, buffer, sizeof(buffer), 0)) > 0) {
      received.append(buffer, static_cast<std::size_t>(n));
    }
    return received;
  }
  // Until `marker` arrived.
  bool wait_for(const std::string & marker)
  {
    std::string received;
    char buffer[4096];
    ssize_t n = 0;
    while (received.find(marker) == std::string::npos &&
           (n = ::recv(fd_, buffer, sizeof(buffer), 0)) > 0) {
      received.append(buffer, static_cast<std::size_t>(n));
    }
    return received.find(marker) != std::string::npos;
  }

private:
  int fd_;
  bool connected_ = false;
};

const char * const kEventsRequest = "GET /api/events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

std::string get(const std::string & target, const std::string & headers = "")
{
  return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers + "\r\n";
}

TEST(RequestCheck, WaitsForTheWholeRequestAndRefusesWhatIsTooLarge)
{
  diagctl::FrontLimits limits;
  limits.max_target_bytes = 100;
  limits.max_head_bytes = 1000;
  limits.max_headers = 5;
  limits.max_body_bytes = 10;

  EXPECT_EQ(
      diagctl::check_request("GET / HTTP/1.1\r\nHost: x\r\n", limits).state,
      HeadState::kIncomplete);
  auto verdict = diagctl::check_request(get("/api/records?limit=5"), limits);
  EXPECT_EQ(verdict.state, HeadState::kComplete);
  EXPECT_EQ(verdict.target, "/api/records?limit=5");
  EXPECT_EQ(verdict.request_bytes, get("/api/records?limit=5").size());

  // A body is waited for, up to its length.
  const std::string post = "POST / HTTP/1.1\r\ncontent-length: 3\r\n\r\n";
  EXPECT_EQ(diagctl::check_request(post + "ab", limits).state, HeadState::kIncomplete);
  EXPECT_EQ(diagctl::check_request(post + "abcdef", limits).request_bytes, post.size() + 3);

  struct Case
  {
    std::string request;
    int status;
    const char * says;
  };
  const std::vector<Case> cases = {
      {"GET /" + std::string(200, 'a'), 414, "target"},  // before the line ends
      {get("/" + std::string(101, 'a')), 414, "target"},
      {get("/", "A: 1\r\nA: 1\r\nA: 1\r\nA: 1\r\nA: 1\r\nA: 1\r\n"), 431, "header fields"},
      {"GET / HTTP/1.1\r\nA: " + std::string(1000, 'x'), 431, "head"},  // before it ends
      {"POST / HTTP/1.1\r\nContent-Length: 11\r\n\r\n", 413, "body"},
      {"POST / HTTP/1.1\r\nContent-Length: 1x\r\n\r\n", 400, "Content-Length"},
      {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 411, "Content-Length"},
      {"GET /\r\n\r\n", 400, "request line"},
      {"GET / HTTP/1.1\r\nno colon\r\n\r\n", 400, "header"},
  };
  for (const Case & c : cases) {
    verdict = diagctl::check_request(c.request, limits);
    EXPECT_EQ(verdict.state, HeadState::kRefused) << c.request;
    EXPECT_EQ(verdict.status, c.status) << c.request;
    EXPECT_NE(verdict.error.find(c.says), std::string::npos) << verdict.error;
  }
}

class DashboardFrontTest : public ::testing::Test
{
protected:
  void start(diagctl::FrontLimits limits)
  {
    server_ = std::make_unique<diagctl::DashboardServer>(
        state_, diagctl::RecordSource::make({"/nonexistent"}, false, nullptr), nullptr, limits);
    const auto port = server_->bind("127.0.0.1", 0);
    ASSERT_TRUE(port);
    port_ = *port;
    serving_ = std::thread([this] { server_->run(); });
  }

  void TearDown() override
  {
    if (server_) {
      server_->stop();
    }
    if (serving_.joinable()) {
      serving_.join();
    }
  }

  // GET `path` through a well-behaved client; its status, -1 unanswered.
  int status_of(const std::string & path)
  {
    httplib::Client client("127.0.0.1", port_);
    client.set_read_timeout(30, 0);
    const auto answer = client.Get(path.c_str());
    return answer ? answer->status : -1;
  }

  diagctl::DashboardState state_;
  std::unique_ptr<diagctl::DashboardServer> server_;
  std::thread serving_;
  int port_ = 0;
};

TEST_F(DashboardFrontTest, OpenEventStreamsAndTricklingSocketsLeaveRequestsAnswered)
{
  start(diagctl::FrontLimits());
  // More streams than there are threads for requests, each one open.
  std::vector<std::unique_ptr<RawClient>> streams;
  for (int i = 0; i < 24; ++i) {
    streams.push_back(std::make_unique<RawClient>(port_));
    ASSERT_TRUE(streams.back()->send(kEventsRequest));
    ASSERT_TRUE(streams.back()->wait_for("data: 0\n\n")) << i;
  }
  // And requests that never end, one byte at a time.
  std::vector<std::unique_ptr<RawClient>> tricklers;
  for (int i = 0; i < 24; ++i) {
    tricklers.push_back(std::make_unique<RawClient>(port_));
    ASSERT_TRUE(tricklers.back()->send("GET / HTTP/1.1\r\nX: "));
  }
  for (const char * path : {"/", "/api/current", "/api/records"}) {
    EXPECT_EQ(status_of(path), 200) << path;
  }
  for (auto & trickler : tricklers) {
    ASSERT_TRUE(trickler->send("a"));
  }
  EXPECT_EQ(status_of("/app.js"), 200);
}

TEST_F(DashboardFrontTest, ARequestMustArriveWholeWithinTheDeadlineNotPerRead)
{
  diagctl::FrontLimits limits;
  limits.request_deadline = std::chrono::milliseconds(1500);
  start(limits);
  RawClient trickler(port_);
  ASSERT_TRUE(trickler.connected());
  // A byte every 200 ms: each read is quick, the request never whole.
  std::thread drip([&] {
    const std::string request = get("/", "X-Slow: " + std::string(200, 'a') + "\r\n");
    for (const char byte : request) {
      if (!trickler.send(std::string(1, byte))) {
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
  });
  const std::string answer = trickler.answer();
  drip.join();
  EXPECT_EQ(answer.rfind("HTTP/1.1 408 Request Timeout\r\n", 0), 0u) << answer;
  EXPECT_NE(
      answer.find("{\"error\": \"request not received whole within 1500 ms\"}"), std::string::npos)
      << answer;
}

TEST_F(DashboardFrontTest, OverlargeRequestsAreRefusedSayingWhy)
{
  diagctl::FrontLimits limits;
  limits.max_streams = 2;
  start(limits);
  std::string many;
  for (int i = 0; i < 1000; ++i) {
    many += "X-" + std::to_string(i) + ": 1\r\n";
  }
  const struct
  {
    std::string request;
    const char * status_line;
    const char * says;
  } cases[] = {
      {get("/", many), "HTTP/1.1 431 ", "header fields"},
      {get("/", "X-Long: " + std::string(14000, 'a') + "\r\n" +
                    "X-Long: " + std::string(14000, 'a') + "\r\n"),
       "HTTP/1.1 431 ", "request head over 16384 bytes"},
      {get("/api/records?id=" + std::string(5000, '1')), "HTTP/1.1 414 ", "target"},
      {"BREW\r\n\r\n", "HTTP/1.1 400 ", "bad request line"},
  };
  for (const auto & c : cases) {
    RawClient client(port_);
    ASSERT_TRUE(client.send(c.request));
    const std::string answer = client.answer();
    EXPECT_EQ(answer.rfind(c.status_line, 0), 0u) << answer.substr(0, 200);
    EXPECT_NE(answer.find(c.says), std::string::npos) << answer;
    EXPECT_EQ(answer.find("no such page"), std::string::npos) << answer;
  }

  // Streams beyond the cap are told the server is busy; requests still go.
  RawClient first(port_), second(port_), third(port_);
  for (RawClient * stream : {&first, &second}) {
    ASSERT_TRUE(stream->send(kEventsRequest));
    ASSERT_TRUE(stream->wait_for("data: 0\n\n"));
  }
  ASSERT_TRUE(third.send(kEventsRequest));
  const std::string busy = third.answer();
  EXPECT_EQ(busy.rfind("HTTP/1.1 503 Service Unavailable\r\n", 0), 0u) << busy;
  EXPECT_NE(busy.find("event streams open already"), std::string::npos) << busy;
  EXPECT_EQ(status_of("/"), 200);
}

TEST_F(DashboardFrontTest, ConnectionsBeyondThoseArrivingAreToldBusy)
{
  diagctl::FrontLimits limits;
  limits.max_pending = 2;
  start(limits);
  RawClient first(port_), second(port_);
  ASSERT_TRUE(first.send("GET / HTTP/1.1\r\n"));
  ASSERT_TRUE(second.send("GET / HTTP/1.1\r\n"));
  RawClient third(port_);
  const std::string busy = third.answer();
  EXPECT_EQ(busy.rfind("HTTP/1.1 503 Service Unavailable\r\n", 0), 0u) << busy;
  EXPECT_NE(busy.find("busy"), std::string::npos) << busy;
  // Once one of them is done (the count drops just after its answer), there
  // is room again.
  ASSERT_TRUE(first.send("Host: 127.0.0.1\r\n\r\n"));
  EXPECT_EQ(first.answer().rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  EXPECT_TRUE(diagnostic_center_test::WaitUntil(
      [&] { return status_of("/") == 200; }, std::chrono::seconds(20),
      std::chrono::milliseconds(10)));
}

TEST_F(DashboardFrontTest, LibraryErrorsSayWhatWentWrong)
{
  start(diagctl::FrontLimits());
  // A range the page cannot have: the library's own 416.
  RawClient client(port_);
  ASSERT_TRUE(client.send(get("/app.js", "Range: bytes=99999999-\r\n")));
  const std::string answer = client.answer();
  EXPECT_EQ(answer.rfind("HTTP/1.1 416 ", 0), 0u) << answer.substr(0, 200);
  EXPECT_EQ(answer.find("no such page"), std::string::npos) << answer;
}

}  // namespace
}  // namespace diagctl_test
