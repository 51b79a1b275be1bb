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

// TLS for the dashboard's own connection handling: the front reads requests
// of many connections on one thread, so every step here is non-blocking and
// says what the socket must become (readable or writable) before it can go on.
#ifndef DIAGCTL__TLS_SESSION_HPP_
#define DIAGCTL__TLS_SESSION_HPP_

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace diagctl {

// What a non-blocking TLS step came to.
enum class TlsStep
{
  kDone,       // finished (read: some bytes; handshake: complete)
  kWantRead,   // go on once the socket is readable
  kWantWrite,  // go on once the socket is writable
  kClosed,     // the peer ended the connection, or it failed
};

class TlsSession
{
public:
  ~TlsSession();
  TlsSession(const TlsSession &) = delete;
  TlsSession & operator=(const TlsSession &) = delete;

  int fd() const { return fd_; }
  bool established() const { return established_; }

  TlsStep handshake();
  // Up to `size` bytes into `buffer`; `received` says how many on kDone.
  TlsStep read(char * buffer, std::size_t size, std::size_t & received);
  // All of `size` bytes, waiting for the socket at most `timeout` per wait;
  // false when the connection failed or a wait timed out.
  bool write_all(const char * data, std::size_t size, std::chrono::milliseconds timeout);
  // Sends what goes out now without waiting: for short refusals.
  void write_now(const std::string & bytes);
  // Tells the peer that the connection ends (close_notify), without waiting.
  void close_notify();

private:
  friend class TlsContext;
  TlsSession(SSL * ssl, int fd) : ssl_(ssl), fd_(fd) {}
  TlsStep step_of(int result);

  SSL * ssl_;
  int fd_;
  bool established_ = false;
};

// A server's certificate and key, shared by all its sessions.
class TlsContext
{
public:
  // Loads PEM files; nothing and `error` when they cannot be used.
  static std::shared_ptr<TlsContext> load(
      const std::string & certificate_file, const std::string & key_file, std::string & error);
  ~TlsContext();
  TlsContext(const TlsContext &) = delete;
  TlsContext & operator=(const TlsContext &) = delete;

  // A server session on the connected, non-blocking socket `fd` (which the
  // caller keeps owning); nothing when OpenSSL cannot make one.
  std::unique_ptr<TlsSession> accept(int fd) const;

private:
  explicit TlsContext(SSL_CTX * context) : context_(context) {}
  SSL_CTX * context_;
};

}  // namespace diagctl

#endif  // DIAGCTL__TLS_SESSION_HPP_
