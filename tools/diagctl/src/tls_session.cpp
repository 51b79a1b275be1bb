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

#include "diagctl/tls_session.hpp"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>

#include <csignal>

namespace diagctl {

namespace {

std::string openssl_error(const std::string & what)
{
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) {
    return what;
  }
  char text[256];
  ERR_error_string_n(code, text, sizeof(text));
  return what + ": " + text;
}

bool wait_for(int fd, short events, std::chrono::milliseconds timeout)
{
  pollfd wanted{fd, events, 0};
  return ::poll(&wanted, 1, static_cast<int>(timeout.count())) > 0 &&
         (wanted.revents & (POLLERR | POLLNVAL)) == 0;
}

}  // namespace

TlsSession::~TlsSession() { SSL_free(ssl_); }

TlsStep TlsSession::step_of(int result)
{
  switch (SSL_get_error(ssl_, result)) {
    case SSL_ERROR_WANT_READ:
      return TlsStep::kWantRead;
    case SSL_ERROR_WANT_WRITE:
      return TlsStep::kWantWrite;
    default:  // closed by the peer, a reset, or a protocol error alike
      ERR_clear_error();
      return TlsStep::kClosed;
  }
}

TlsStep TlsSession::handshake()
{
  ERR_clear_error();
  const int result = SSL_do_handshake(ssl_);
  if (result == 1) {
    established_ = true;
    return TlsStep::kDone;
  }
  return step_of(result);
}

TlsStep TlsSession::read(char * buffer, std::size_t size, std::size_t & received)
{
  ERR_clear_error();
  const int result = SSL_read(ssl_, buffer, static_cast<int>(size));
  if (result > 0) {
    received = static_cast<std::size_t>(result);
    return TlsStep::kDone;
  }
  return step_of(result);
}

bool TlsSession::write_all(const char * data, std::size_t size, std::chrono::milliseconds timeout)
{
  std::size_t sent = 0;
  while (sent < size) {
    ERR_clear_error();
    const int result = SSL_write(ssl_, data + sent, static_cast<int>(size - sent));
    if (result > 0) {
      sent += static_cast<std::size_t>(result);
      continue;
    }
    const TlsStep step = step_of(result);
    if (step == TlsStep::kClosed ||
        !wait_for(fd_, step == TlsStep::kWantRead ? POLLIN : POLLOUT, timeout)) {
      return false;
    }
  }
  return true;
}

void TlsSession::write_now(const std::string & bytes)
{
  if (established_) {
    write_all(bytes.data(), bytes.size(), std::chrono::milliseconds(0));
  }
}

void TlsSession::close_notify()
{
  if (established_) {
    ERR_clear_error();
    SSL_shutdown(ssl_);
    ERR_clear_error();
  }
}

std::shared_ptr<TlsContext> TlsContext::load(
    const std::string & certificate_file, const std::string & key_file, std::string & error)
{
  SSL_CTX * context = SSL_CTX_new(TLS_server_method());
  if (context == nullptr) {
    error = openssl_error("cannot make a TLS context");
    return nullptr;
  }
  std::shared_ptr<TlsContext> loaded(new TlsContext(context));
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  if (SSL_CTX_use_certificate_chain_file(context, certificate_file.c_str()) != 1) {
    error = openssl_error("cannot use the certificate " + certificate_file);
    return nullptr;
  }
  if (SSL_CTX_use_PrivateKey_file(context, key_file.c_str(), SSL_FILETYPE_PEM) != 1) {
    error = openssl_error("cannot use the key " + key_file);
    return nullptr;
  }
  if (SSL_CTX_check_private_key(context) != 1) {
    error = openssl_error("the key " + key_file + " does not match the certificate");
    return nullptr;
  }
  // OpenSSL writes to the socket without MSG_NOSIGNAL: a peer that went away
  // must end its session, not the process.
  std::signal(SIGPIPE, SIG_IGN);
  return loaded;
}

TlsContext::~TlsContext() { SSL_CTX_free(context_); }

std::unique_ptr<TlsSession> TlsContext::accept(int fd) const
{
  SSL * ssl = SSL_new(context_);
  if (ssl == nullptr) {
    ERR_clear_error();
    return nullptr;
  }
  SSL_set_fd(ssl, fd);
  SSL_set_accept_state(ssl);
  return std::unique_ptr<TlsSession>(new TlsSession(ssl, fd));
}

}  // namespace diagctl
