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

// The dashboard served securely: over TLS, to holders of the access token
// only, within the same limits as over plain HTTP; and the loopback Host
// rule for loopback peers of a wildcard bind.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "diagctl/dashboard_access.hpp"
#include "diagctl/dashboard_server.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"
#include "test_credentials.hpp"

namespace diagctl_test {
namespace {

using Clock = std::chrono::steady_clock;

int ConnectLoopback(int port)
{
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return -1;
  }
  // Generous: only proves that an answer came at all.
  timeval timeout{30, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
  return fd;
}

// A TLS connection that sends what no well-behaved client sends; it trusts
// the test's certificate only.
class TlsClient
{
public:
  TlsClient(int port, const std::string & certificate)
      : context_(SSL_CTX_new(TLS_client_method())), fd_(ConnectLoopback(port))
  {
    SSL_CTX_load_verify_locations(context_, certificate.c_str(), nullptr);
    SSL_CTX_set_verify(context_, SSL_VERIFY_PEER, nullptr);
    ssl_ = SSL_new(context_);
    SSL_set_fd(ssl_, fd_);
    established_ = fd_ >= 0 && SSL_connect(ssl_) == 1;
  }
  ~TlsClient()
  {
    SSL_free(ssl_);
    SSL_CTX_free(context_);
    ::close(fd_);
  }
  TlsClient(const TlsClient &) = delete;
  TlsClient & operator=(const TlsClient &) = delete;

  bool established() const { return established_; }
  // Whether the server's answer has begun to arrive.
  bool readable() const
  {
    pollfd watched{fd_, POLLIN, 0};
    return SSL_pending(ssl_) > 0 || ::poll(&watched, 1, 0) > 0;
  }
  bool send(const std::string & bytes)
  {
    return SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size())) ==
           static_cast<int>(bytes.size());
  }
  // Until the server closes, or `marker` arrived.
  std::string answer(const std::string & marker = "")
  {
    std::string received;
    char buffer[4096];
    int n = 0;
    while ((marker.empty() || received.find(marker) == std::string::npos) &&
           (n = SSL_read(ssl_, buffer, sizeof(buffer))) > 0) {
      received.append(buffer, static_cast<std::size_t>(n));
    }
    return received;
  }

private:
  SSL_CTX * context_;
  int fd_;
  SSL * ssl_ = nullptr;
  bool established_ = false;
};

std::string Get(const std::string & target, const std::string & headers = "")
{
  return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers + "\r\n";
}

class SecureDashboardTest : public ::testing::Test
{
protected:
  void start(diagctl::FrontLimits limits = diagctl::FrontLimits())
  {
    made_ = MakeCredentials(scratch_.path());
    ASSERT_FALSE(made_.certificate.empty());
    server_ = std::make_unique<diagctl::DashboardServer>(
        state_, diagctl::RecordSource::make({"/nonexistent"}, false, nullptr), nullptr, limits);
    std::string error;
    ASSERT_TRUE(server_->use_tls(made_.certificate, made_.key, error)) << error;
    server_->require_token(made_.token);
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

  std::unique_ptr<httplib::SSLClient> client()
  {
    auto client = std::make_unique<httplib::SSLClient>("127.0.0.1", port_);
    client->set_ca_cert_path(made_.certificate.c_str());
    client->enable_server_certificate_verification(true);
    client->set_read_timeout(30, 0);
    return client;
  }

  diagnostic_center_test::ScratchDir scratch_{"diagctl_secure"};
  Credentials made_;
  diagctl::DashboardState state_;
  std::unique_ptr<diagctl::DashboardServer> server_;
  std::thread serving_;
  int port_ = 0;
};

TEST_F(SecureDashboardTest, EveryRequestNeedsTheToken)
{
  start();
  const std::string token = made_.token;
  const struct
  {
    const char * path;
    httplib::Headers headers;
    int status;
  } cases[] = {
      {"/api/current", {}, 401},
      {"/", {}, 401},
      {"/app.js", {}, 401},
      {"/api/current", {{"Authorization", "Bearer " + token}}, 200},
      {"/", {{"Authorization", "bearer " + token}}, 200},
      {"/api/current", {{"Authorization", "Bearer " + token + "x"}}, 401},
      {"/api/current", {{"Authorization", "Bearer " + token.substr(1)}}, 401},
      {"/api/current", {{"Authorization", "Basic " + token}}, 401},
      {"/api/current", {{"Cookie", "a=b; diagctl_token=" + token}}, 200},
      {"/api/current", {{"Cookie", "diagctl_token=wrong"}}, 401},
      {"/?token=wrong", {}, 401},
  };
  auto https = client();
  for (const auto & c : cases) {
    const auto answer = https->Get(c.path, c.headers);
    ASSERT_TRUE(answer) << c.path << ": " << httplib::to_string(answer.error());
    EXPECT_EQ(answer->status, c.status) << c.path;
    if (c.status == 401) {
      EXPECT_NE(answer->body.find("Authorization: Bearer <token>"), std::string::npos)
          << answer->body;
    }
  }
}

TEST_F(SecureDashboardTest, OpeningThePageWithTheTokenLeavesACookieForTheEventStream)
{
  start();
  auto https = client();
  const auto opened = https->Get(("/?token=" + made_.token).c_str());
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->status, 303);
  EXPECT_EQ(opened->get_header_value("Location"), "/");
  const std::string cookie = opened->get_header_value("Set-Cookie");
  EXPECT_EQ(cookie, "diagctl_token=" + made_.token + "; Path=/; HttpOnly; Secure; SameSite=Strict");

  TlsClient stream(port_, made_.certificate);
  ASSERT_TRUE(stream.established());
  ASSERT_TRUE(
      stream.send(Get("/api/events", "Cookie: " + cookie.substr(0, cookie.find(';')) + "\r\n")));
  const std::string events = stream.answer("data: 0\n\n");
  EXPECT_EQ(events.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << events;
  EXPECT_NE(events.find("event: change\ndata: 0\n\n"), std::string::npos) << events;

  TlsClient refused(port_, made_.certificate);
  ASSERT_TRUE(refused.send(Get("/api/events")));
  EXPECT_EQ(refused.answer().rfind("HTTP/1.1 401 Unauthorized\r\n", 0), 0u);
}

TEST_F(SecureDashboardTest, TheLimitsHoldOverTls)
{
  diagctl::FrontLimits limits;
  limits.request_deadline = std::chrono::milliseconds(1500);
  limits.max_head_bytes = 2000;
  start(limits);

  // A byte every 200 ms after the handshake, the request never whole: cut
  // at the deadline, told why. One thread writes and reads the TLS stream (an
  // SSL object is not for two threads at once), and the bytes stop well
  // before the deadline, so that none arrives unread when the server closes:
  // that would reset the connection and lose the answer.
  TlsClient trickler(port_, made_.certificate);
  ASSERT_TRUE(trickler.established());
  const std::string request = Get("/", "X-Slow: " + std::string(200, 'a') + "\r\n");
  for (std::size_t sent = 0; sent < 5 && !trickler.readable(); ++sent) {
    ASSERT_TRUE(trickler.send(request.substr(sent, 1)));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  const std::string answer = trickler.answer();
  EXPECT_EQ(answer.rfind("HTTP/1.1 408 Request Timeout\r\n", 0), 0u) << answer;

  // No handshake at all, or half of one: closed at the deadline too.
  for (const std::string & sent : {std::string(), std::string("\x16\x03\x01\x02\x00", 5)}) {
    const int fd = ConnectLoopback(port_);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(
        ::send(fd, sent.data(), sent.size(), MSG_NOSIGNAL), static_cast<ssize_t>(sent.size()));
    const auto begun = Clock::now();
    char byte = 0;
    EXPECT_EQ(::recv(fd, &byte, 1, 0), 0) << "closed, unanswered";
    EXPECT_LT(Clock::now() - begun, std::chrono::seconds(20));
    ::close(fd);
  }

  TlsClient large(port_, made_.certificate);
  ASSERT_TRUE(large.send(Get("/", "X-Large: " + std::string(3000, 'a') + "\r\n")));
  EXPECT_EQ(large.answer().rfind("HTTP/1.1 431 ", 0), 0u);
}

TEST(DashboardWildcardBind, LoopbackPeersStillObeyTheHostRule)
{
  diagctl::DashboardState state;
  diagctl::DashboardServer server(
      state, diagctl::RecordSource::make({"/nonexistent"}, false, nullptr), nullptr);
  const auto port = server.bind("0.0.0.0", 0);
  ASSERT_TRUE(port);
  std::thread serving([&server] { server.run(); });
  httplib::Client client("127.0.0.1", *port);
  client.set_read_timeout(30, 0);
  const auto rebound = client.Get("/api/current", {{"Host", "attacker.example"}});
  const auto local = client.Get("/api/current", {{"Host", "localhost"}});
  server.stop();
  serving.join();
  ASSERT_TRUE(rebound);
  EXPECT_EQ(rebound->status, 403);
  ASSERT_TRUE(local);
  EXPECT_EQ(local->status, 200);
}

TEST(DashboardAccess, LoopbackAddresses)
{
  for (const char * address : {"127.0.0.1", "127.5.6.7", "::1", "::ffff:127.0.0.1", "localhost"}) {
    EXPECT_TRUE(diagctl::is_loopback_address(address)) << address;
  }
  for (const char * address :
       {"0.0.0.0", "::", "10.231.0.1", "::ffff:10.0.0.1", "128.0.0.1", "", "localhost.example",
        "[::1]"}) {
    EXPECT_FALSE(diagctl::is_loopback_address(address)) << address;
  }
}

TEST(DashboardAccess, PresentedTokens)
{
  EXPECT_EQ(diagctl::bearer_token("Bearer abc"), "abc");
  EXPECT_EQ(diagctl::bearer_token("BEARER  abc "), "abc");
  EXPECT_EQ(diagctl::bearer_token("Bearer "), "");
  EXPECT_EQ(diagctl::bearer_token("Basic abc"), "");
  EXPECT_EQ(diagctl::cookie_value("a=1; diagctl_token=xyz; b=2", "diagctl_token"), "xyz");
  EXPECT_EQ(diagctl::cookie_value("xdiagctl_token=xyz", "diagctl_token"), "");
  EXPECT_EQ(diagctl::cookie_value("", "diagctl_token"), "");
  EXPECT_TRUE(diagctl::same_secret("secret", "secret"));
  for (const char * presented : {"", "secre", "secret ", "Secret"}) {
    EXPECT_FALSE(diagctl::same_secret(presented, "secret")) << presented;
  }
  EXPECT_FALSE(diagctl::same_secret("", "")) << "no token is no secret";
}

TEST(DashboardAccess, TokenFiles)
{
  diagnostic_center_test::ScratchDir scratch("diagctl_token");
  const struct
  {
    const char * content;
    mode_t mode;
    const char * token_or_error;
  } cases[] = {
      {"0123456789abcdef\n", 0600, "0123456789abcdef"},
      {"  0123456789abcdef-._~+/=  \n\n", 0400, "0123456789abcdef-._~+/="},
      {"0123456789abcdef\n", 0640, "chmod 600"},
      {"0123456789abcdef\n", 0604, "chmod 600"},
      {"0123456789abcde\n", 0600, "no usable token"},
      {"0123456789abcdef; x\n", 0600, "no usable token"},
      {"", 0600, "no usable token"},
  };
  int i = 0;
  for (const auto & c : cases) {
    const std::string path = (scratch / ("token" + std::to_string(i++))).string();
    std::ofstream(path) << c.content;
    ::chmod(path.c_str(), c.mode);
    std::string error;
    const auto token = diagctl::read_token_file(path, error);
    EXPECT_NE((token ? *token : error).find(c.token_or_error), std::string::npos) << c.content;
    if (token) {
      EXPECT_EQ(*token, c.token_or_error);
    }
  }
  std::string error;
  EXPECT_FALSE(diagctl::read_token_file(scratch.path().string(), error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

}  // namespace
}  // namespace diagctl_test
