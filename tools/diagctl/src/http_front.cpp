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

#include "diagctl/http_front.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <utility>

#include "diagctl/dashboard_api.hpp"

namespace diagctl {

namespace {

using Clock = std::chrono::steady_clock;

bool iequals(std::string_view a, std::string_view b)
{
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view trim(std::string_view text)
{
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

HeadVerdict refused(int status, std::string error)
{
  HeadVerdict verdict;
  verdict.state = HeadState::kRefused;
  verdict.status = status;
  verdict.error = std::move(error);
  return verdict;
}

// Sends what the socket takes now, without waiting: for the short answers
// of refused connections, which fit a fresh socket's buffer.
void send_now(int fd, const std::string & bytes)
{
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n =
        ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n <= 0) {
      return;
    }
    sent += static_cast<std::size_t>(n);
  }
}

// One read from a connection, plain or TLS, without waiting.
TlsStep receive(int fd, TlsSession * tls, char * buffer, std::size_t size, std::size_t & received)
{
  if (tls != nullptr) {
    return tls->read(buffer, size, received);
  }
  const ssize_t n = ::recv(fd, buffer, size, 0);
  if (n > 0) {
    received = static_cast<std::size_t>(n);
    return TlsStep::kDone;
  }
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
    return TlsStep::kWantRead;
  }
  return TlsStep::kClosed;
}

void watch(int poller, int fd, TlsStep wanted)
{
  epoll_event event{};
  event.events = (wanted == TlsStep::kWantWrite ? EPOLLOUT : EPOLLIN) | EPOLLRDHUP;
  event.data.fd = fd;
  ::epoll_ctl(poller, EPOLL_CTL_MOD, fd, &event);
}

// A request read whole beforehand, then the socket (or its TLS session) for
// the answer.
class ReceivedStream : public httplib::Stream
{
public:
  ReceivedStream(
      int fd, TlsSession * tls, const std::string & request,
      std::chrono::milliseconds write_timeout)
      : fd_(fd), tls_(tls), request_(request), write_timeout_(write_timeout)
  {
  }

  bool is_readable() const override { return read_ < request_.size(); }

  bool is_writable() const override
  {
    pollfd wanted{fd_, POLLOUT, 0};
    return ::poll(&wanted, 1, static_cast<int>(write_timeout_.count())) > 0 &&
           (wanted.revents & (POLLERR | POLLHUP)) == 0;
  }

  ssize_t read(char * ptr, size_t size) override
  {
    const std::size_t n = std::min(size, request_.size() - read_);
    std::memcpy(ptr, request_.data() + read_, n);
    read_ += n;
    return static_cast<ssize_t>(n);
  }

  ssize_t write(const char * ptr, size_t size) override
  {
    if (tls_ != nullptr) {
      return tls_->write_all(ptr, size, write_timeout_) ? static_cast<ssize_t>(size) : -1;
    }
    std::size_t sent = 0;
    while (sent < size) {
      if (!is_writable()) {
        return -1;
      }
      const ssize_t n = ::send(fd_, ptr + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        return -1;
      }
      sent += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return static_cast<ssize_t>(sent);
  }

  void get_remote_ip_and_port(std::string & ip, int & port) const override
  {
    address_of(::getpeername, ip, port);
  }

  void get_local_ip_and_port(std::string & ip, int & port) const override
  {
    address_of(::getsockname, ip, port);
  }

  socket_t socket() const override { return fd_; }

private:
  template <typename Query>
  void address_of(Query query, std::string & ip, int & port) const
  {
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    if (query(fd_, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
      return;
    }
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
      const auto & in = reinterpret_cast<const sockaddr_in &>(address);
      inet_ntop(AF_INET, &in.sin_addr, text, sizeof(text));
      port = ntohs(in.sin_port);
    } else if (address.ss_family == AF_INET6) {
      const auto & in6 = reinterpret_cast<const sockaddr_in6 &>(address);
      inet_ntop(AF_INET6, &in6.sin6_addr, text, sizeof(text));
      port = ntohs(in6.sin6_port);
    }
    ip = text;
  }

  const int fd_;
  TlsSession * const tls_;
  const std::string & request_;
  const std::chrono::milliseconds write_timeout_;
  std::size_t read_ = 0;
};

// The library hands each accepted connection over at once (to
// process_and_close_socket, which only queues it): no thread of its own.
class InlineQueue : public httplib::TaskQueue
{
public:
  void enqueue(std::function<void()> fn) override { fn(); }
  void shutdown() override {}
};

}  // namespace

HeadVerdict check_request(std::string_view received, const FrontLimits & limits)
{
  HeadVerdict verdict;
  const std::size_t line_end = received.find("\r\n");
  // Method and version take a few bytes besides the target.
  const std::size_t max_line = limits.max_target_bytes + 32;
  if (line_end == std::string_view::npos) {
    if (received.size() > max_line) {
      return refused(
          414, "request target over " + std::to_string(limits.max_target_bytes) + " bytes");
    }
    return verdict;
  }
  const std::string_view line = received.substr(0, line_end);
  const std::size_t first_space = line.find(' ');
  const std::size_t last_space = line.rfind(' ');
  if (first_space == std::string_view::npos || first_space == 0 || last_space == first_space ||
      line.substr(last_space + 1).rfind("HTTP/1.", 0) != 0) {
    return refused(400, "bad request line");
  }
  const std::string_view target = line.substr(first_space + 1, last_space - first_space - 1);
  if (target.size() > limits.max_target_bytes) {
    return refused(
        414, "request target over " + std::to_string(limits.max_target_bytes) + " bytes");
  }
  verdict.target = std::string(target);

  std::size_t headers = 0;
  std::size_t body = 0;
  std::size_t at = line_end + 2;
  while (true) {
    if (at > limits.max_head_bytes) {
      return refused(431, "request head over " + std::to_string(limits.max_head_bytes) + " bytes");
    }
    const std::size_t end = received.find("\r\n", at);
    if (end == std::string_view::npos) {
      if (received.size() > limits.max_head_bytes) {
        return refused(
            431, "request head over " + std::to_string(limits.max_head_bytes) + " bytes");
      }
      return verdict;
    }
    const std::string_view header = received.substr(at, end - at);
    at = end + 2;
    if (header.empty()) {
      break;
    }
    if (++headers > limits.max_headers) {
      return refused(
          431, "more than " + std::to_string(limits.max_headers) + " request header fields");
    }
    const std::size_t colon = header.find(':');
    if (colon == std::string_view::npos || colon == 0) {
      return refused(400, "bad request header field");
    }
    const std::string_view name = header.substr(0, colon);
    const std::string_view value = trim(header.substr(colon + 1));
    if (iequals(name, "Transfer-Encoding")) {
      return refused(411, "request bodies need a Content-Length");
    }
    if (iequals(name, "Content-Length")) {
      if (value.empty() || value.size() > 18 ||
          !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return refused(400, "bad Content-Length");
      }
      body = std::stoull(std::string(value));
      if (body > limits.max_body_bytes) {
        return refused(
            413, "request body over " + std::to_string(limits.max_body_bytes) + " bytes");
      }
    }
  }
  if (at > limits.max_head_bytes) {
    return refused(431, "request head over " + std::to_string(limits.max_head_bytes) + " bytes");
  }
  if (received.size() >= at + body) {
    verdict.state = HeadState::kComplete;
    verdict.request_bytes = at + body;
  }
  return verdict;
}

const char * status_reason(int status)
{
  switch (status) {
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 408:
      return "Request Timeout";
    case 411:
      return "Length Required";
    case 413:
      return "Payload Too Large";
    case 414:
      return "URI Too Long";
    case 416:
      return "Range Not Satisfiable";
    case 431:
      return "Request Header Fields Too Large";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "Error";
  }
}

std::string error_response(int status, const std::string & message)
{
  const std::string body = error_document(message);
  return "HTTP/1.1 " + std::to_string(status) + " " + status_reason(status) +
         "\r\nContent-Type: application/json; charset=utf-8\r\nCache-Control: no-store\r\n"
         "Connection: close\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\n\r\n" + body;
}

struct FrontServer::Arriving
{
  std::string received;
  Clock::time_point deadline;
  std::shared_ptr<TlsSession> tls;  // null for plain HTTP
};

FrontServer::FrontServer(FrontLimits limits, std::string stream_path)
    : limits_(limits),
      stream_path_(std::move(stream_path)),
      wake_fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      requests_(std::make_unique<httplib::ThreadPool>(limits.request_threads))
{
  new_task_queue = [] { return new InlineQueue; };
  reader_ = std::thread([this] { read_requests(); });
}

void FrontServer::use_tls(std::shared_ptr<const TlsContext> tls) { tls_ = std::move(tls); }

FrontServer::~FrontServer()
{
  shut_down();
  ::close(wake_fd_);
}

void FrontServer::shut_down()
{
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (shut_down_) {
      return;
    }
    shut_down_ = true;
  }
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(wake_fd_, &one, sizeof(one));
  reader_.join();
  requests_->shutdown();
  for (StreamThread & stream : streams_) {
    stream.thread.join();
  }
  streams_.clear();
}

bool FrontServer::process_and_close_socket(socket_t sock)
{
  bool refuse_busy = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (shut_down_) {
      ::close(sock);
      return false;
    }
    if (pending_ >= limits_.max_pending) {
      refuse_busy = true;
    } else {
      ++pending_;
      accepted_.push_back(sock);
    }
  }
  if (refuse_busy) {
    if (tls_) {  // no handshake on the accepting thread: closed unanswered
      ::close(sock);
    } else {
      refuse(sock, 503, "busy: too many requests under way, try again");
    }
    return false;
  }
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(wake_fd_, &one, sizeof(one));
  return true;
}

void FrontServer::refuse(int fd, int status, const std::string & message, TlsSession * tls)
{
  if (tls != nullptr) {
    tls->write_now(error_response(status, message));
    tls->close_notify();
  } else {
    send_now(fd, error_response(status, message));
  }
  ::shutdown(fd, SHUT_WR);
  // Take in what already came, so that closing does not reset the
  // connection before the client reads the answer.
  char discard[4096];
  for (int i = 0; i < 16 && ::recv(fd, discard, sizeof(discard), MSG_DONTWAIT) > 0; ++i) {
  }
  ::close(fd);
}

void FrontServer::read_requests()
{
  const int poller = ::epoll_create1(EPOLL_CLOEXEC);
  epoll_event wake{};
  wake.events = EPOLLIN;
  wake.data.fd = wake_fd_;
  ::epoll_ctl(poller, EPOLL_CTL_ADD, wake_fd_, &wake);
  std::map<int, Arriving> arriving;
  std::size_t ended = 0;  // connections dropped or refused here
  const auto settle = [&](int fd) {
    ::epoll_ctl(poller, EPOLL_CTL_DEL, fd, nullptr);
    arriving.erase(fd);
    ++ended;
  };

  bool running = true;
  while (running) {
    int timeout = 1000;
    const auto now = Clock::now();
    for (const auto & [fd, connection] : arriving) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(connection.deadline - now).count();
      timeout = std::max(0, std::min<int>(timeout, static_cast<int>(left) + 1));
    }
    epoll_event events[64];
    const int count = ::epoll_wait(poller, events, 64, timeout);
    for (int i = 0; i < count; ++i) {
      const int fd = events[i].data.fd;
      if (fd == wake_fd_) {
        std::uint64_t value = 0;
        [[maybe_unused]] const ssize_t n = ::read(wake_fd_, &value, sizeof(value));
        std::vector<int> accepted;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          accepted.swap(accepted_);
          running = !shut_down_;
        }
        for (const int socket : accepted) {
          ::fcntl(socket, F_SETFL, ::fcntl(socket, F_GETFL) | O_NONBLOCK);
          epoll_event event{};
          event.events = EPOLLIN | EPOLLRDHUP;
          event.data.fd = socket;
          ::epoll_ctl(poller, EPOLL_CTL_ADD, socket, &event);
          Arriving & connection = arriving[socket];
          connection.deadline = Clock::now() + limits_.request_deadline;
          if (tls_) {
            connection.tls = tls_->accept(socket);
            if (!connection.tls) {
              settle(socket);
              ::close(socket);
            }
          }
        }
        continue;
      }
      const auto found = arriving.find(fd);
      if (found == arriving.end()) {
        continue;
      }
      TlsSession * const tls = found->second.tls.get();
      std::string & received = found->second.received;
      HeadVerdict verdict;
      TlsStep step = tls != nullptr && !tls->established() ? tls->handshake() : TlsStep::kDone;
      while (step == TlsStep::kDone && verdict.state == HeadState::kIncomplete) {
        char buffer[4096];
        std::size_t n = 0;
        step = receive(fd, tls, buffer, sizeof(buffer), n);
        if (step == TlsStep::kDone) {
          received.append(buffer, n);
          verdict = check_request(received, limits_);
        }
      }
      if (step == TlsStep::kClosed && verdict.state == HeadState::kIncomplete) {
        settle(fd);
        ::close(fd);
      } else if (verdict.state == HeadState::kRefused) {
        auto session = std::move(found->second.tls);
        settle(fd);
        refuse(fd, verdict.status, verdict.error, session.get());
      } else if (verdict.state == HeadState::kComplete) {
        Ready ready{fd, received.substr(0, verdict.request_bytes), std::move(found->second.tls)};
        settle(fd);
        --ended;  // dispatch() accounts for it
        const std::string path = verdict.target.substr(0, verdict.target.find('?'));
        dispatch(std::move(ready), path == stream_path_);
      } else if (tls != nullptr) {  // TLS may need the socket writable first
        watch(poller, fd, step);
      }
    }
    const auto after = Clock::now();
    for (auto it = arriving.begin(); it != arriving.end();) {
      if (it->second.deadline > after) {
        ++it;
        continue;
      }
      const int fd = it->first;
      auto session = std::move(it->second.tls);
      ++it;
      settle(fd);
      refuse(
          fd, 408,
          "request not received whole within " + std::to_string(limits_.request_deadline.count()) +
              " ms",
          session.get());
    }
    if (ended > 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      pending_ -= ended;
      ended = 0;
    }
  }
  for (const auto & [fd, connection] : arriving) {
    ::close(fd);
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_ -= arriving.size();
    for (const int fd : accepted_) {
      ::close(fd);
    }
    accepted_.clear();
  }
  ::close(poller);
}

void FrontServer::dispatch(Ready ready, bool stream)
{
  if (!stream) {
    requests_->enqueue([this, ready = std::move(ready)] {
      serve(ready);
      std::lock_guard<std::mutex> lock(mutex_);
      --pending_;
    });
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    --pending_;
  }
  streams_.erase(
      std::remove_if(
          streams_.begin(), streams_.end(),
          [](StreamThread & stream) {
            if (!stream.ended->load()) {
              return false;
            }
            stream.thread.join();
            return true;
          }),
      streams_.end());
  if (streams_.size() >= limits_.max_streams) {
    refuse(
        ready.fd, 503,
        "busy: " + std::to_string(limits_.max_streams) +
            " event streams open already; close a dashboard page",
        ready.tls.get());
    return;
  }
  auto ended = std::make_shared<std::atomic<bool>>(false);
  std::thread thread([this, ended, ready = std::move(ready)] {
    serve(ready);
    *ended = true;
  });
  streams_.push_back({std::move(thread), std::move(ended)});
}

void FrontServer::serve(const Ready & ready)
{
  ReceivedStream stream(ready.fd, ready.tls.get(), ready.request, limits_.write_timeout);
  bool closed = false;
  process_request(stream, true, closed, nullptr);
  if (ready.tls) {
    ready.tls->close_notify();
  }
  ::shutdown(ready.fd, SHUT_WR);
  ::close(ready.fd);
}

}  // namespace diagctl
