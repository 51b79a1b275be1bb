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

// What stands between the dashboard's socket and the HTTP library. Debian's
// cpp-httplib is a shared library built with its own limits: a read timeout
// per read (not per request), 8 KiB per header line and no bound on their
// number, and a thread per connection for as long as the connection lasts.
// So one thread here reads the requests of every connection at once, each
// within a deadline for the whole request and within bounds on its size, and
// hands only complete requests to the library: the ordinary ones to a small
// pool, event streams to threads of their own, of which there are at most
// FrontLimits::max_streams (503 beyond), so that neither trickling sockets
// nor open pages can take the threads that answer requests. With TLS, the
// same thread does the handshakes, under the same deadline.
//
// Private to the dashboard: it includes httplib.h, whose macros are left as
// Debian built the library (the limits are enforced here instead).
#ifndef DIAGCTL__HTTP_FRONT_HPP_
#define DIAGCTL__HTTP_FRONT_HPP_

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "diagctl/dashboard_server.hpp"
#include "diagctl/tls_session.hpp"

namespace diagctl {

enum class HeadState
{
  kIncomplete,  // more bytes wanted
  kComplete,    // head and body whole: `request_bytes` of them
  kRefused,     // `status` and `error` say why
};

struct HeadVerdict
{
  HeadState state = HeadState::kIncomplete;
  std::size_t request_bytes = 0;
  std::string target;  // the request target, once the request line is whole
  int status = 0;
  std::string error;
};

// Judges the bytes a connection sent so far. Refuses as early as the bytes
// allow: an over-long target (414) or head (431) before it is whole.
HeadVerdict check_request(std::string_view received, const FrontLimits & limits);

// The reason phrase of an HTTP status the dashboard sends.
const char * status_reason(int status);

// A whole response, closing the connection, with {"error": message}.
std::string error_response(int status, const std::string & message);

class FrontServer : public httplib::Server
{
public:
  // `stream_path`: the target (without query) whose requests are event streams.
  FrontServer(FrontLimits limits, std::string stream_path);
  ~FrontServer() override;

  // Serves HTTPS with `tls` instead of plain HTTP; before listening.
  void use_tls(std::shared_ptr<const TlsContext> tls);

  // After httplib::Server::stop(): ends the reader, closes the connections
  // still arriving and waits for the requests and streams being served.
  // Open streams must have been told to end. Idempotent.
  void shut_down();

private:
  struct Arriving;
  struct Ready
  {
    int fd = -1;
    std::string request;
    std::shared_ptr<TlsSession> tls;  // null for plain HTTP
  };
  struct StreamThread
  {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> ended;
  };

  // Called by the library's accept loop for each new connection; overridden
  // so that the connection goes to the reader rather than to a thread.
  bool process_and_close_socket(socket_t sock) override;

  void read_requests();
  void dispatch(Ready ready, bool stream);
  void serve(const Ready & ready);
  void refuse(int fd, int status, const std::string & message, TlsSession * tls = nullptr);

  const FrontLimits limits_;
  const std::string stream_path_;
  std::shared_ptr<const TlsContext> tls_;  // set before the reader sees a connection
  int wake_fd_ = -1;

  std::mutex mutex_;  // guards the three members below
  std::vector<int> accepted_;
  std::size_t pending_ = 0;  // accepted, not yet served
  bool shut_down_ = false;

  // The reader's alone, then shut_down()'s once the reader has ended.
  std::vector<StreamThread> streams_;

  std::unique_ptr<httplib::ThreadPool> requests_;
  std::thread reader_;
};

}  // namespace diagctl

#endif  // DIAGCTL__HTTP_FRONT_HPP_
