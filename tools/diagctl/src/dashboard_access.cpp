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

#include "diagctl/dashboard_access.hpp"

#include <arpa/inet.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>

namespace diagctl {

namespace {

constexpr std::size_t kMaxTokenFileBytes = 4096;

std::string_view trim_space(std::string_view text)
{
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

bool is_token_character(char c)
{
  return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("-._~+/=", c) != nullptr;
}

}  // namespace

bool is_loopback_address(const std::string & address)
{
  std::string host = address;
  std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) {
    return static_cast<char>(std::tolower(c));
  });
  if (host == "localhost") {
    return true;
  }
  in_addr v4{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1) {
    return (ntohl(v4.s_addr) >> 24) == 127;
  }
  in6_addr v6{};
  if (inet_pton(AF_INET6, host.c_str(), &v6) != 1) {
    return false;
  }
  if (IN6_IS_ADDR_LOOPBACK(&v6)) {
    return true;
  }
  return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
}

std::optional<std::string> read_token_file(const std::string & path, std::string & error)
{
  struct stat status
  {
  };
  if (::stat(path.c_str(), &status) != 0) {
    error = "cannot read the token file " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  if (!S_ISREG(status.st_mode)) {
    error = "the token file " + path + " is not a regular file";
    return std::nullopt;
  }
  if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
    error = "the token file " + path +
            " is open to its group or to others; make it readable by its owner only "
            "(chmod 600)";
    return std::nullopt;
  }
  std::ifstream file(path, std::ios::binary);
  std::string content(kMaxTokenFileBytes + 1, '\0');
  file.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (file.bad() || (!file && !file.eof())) {
    error = "cannot read the token file " + path;
    return std::nullopt;
  }
  content.resize(static_cast<std::size_t>(file.gcount()));
  if (content.size() > kMaxTokenFileBytes) {
    error = "the token file " + path + " is over " + std::to_string(kMaxTokenFileBytes) + " bytes";
    return std::nullopt;
  }
  const std::string_view token = trim_space(content);
  if (token.size() < kMinTokenBytes ||
      !std::all_of(token.begin(), token.end(), is_token_character)) {
    error = "the token file " + path + " holds no usable token: at least " +
            std::to_string(kMinTokenBytes) +
            " letters, digits or '-._~+/=' (e.g. from 'openssl rand -hex 32')";
    return std::nullopt;
  }
  return std::string(token);
}

std::string bearer_token(std::string_view authorization)
{
  authorization = trim_space(authorization);
  constexpr std::string_view kScheme = "bearer ";
  if (authorization.size() <= kScheme.size()) {
    return "";
  }
  const bool bearer = std::equal(
      kScheme.begin(), kScheme.end(), authorization.begin(),
      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
  return bearer ? std::string(trim_space(authorization.substr(kScheme.size()))) : "";
}

std::string cookie_value(std::string_view cookie_header, std::string_view name)
{
  while (!cookie_header.empty()) {
    const std::size_t end = std::min(cookie_header.find(';'), cookie_header.size());
    const std::string_view pair = trim_space(cookie_header.substr(0, end));
    cookie_header.remove_prefix(std::min(end + 1, cookie_header.size()));
    const std::size_t equals = pair.find('=');
    if (equals != std::string_view::npos && pair.substr(0, equals) == name) {
      return std::string(pair.substr(equals + 1));
    }
  }
  return "";
}

bool same_secret(std::string_view presented, std::string_view secret)
{
  // Every byte of the secret is compared, whatever the presented length.
  unsigned char difference = presented.size() == secret.size() ? 0 : 1;
  for (std::size_t i = 0; i < secret.size(); ++i) {
    const char theirs = i < presented.size() ? presented[i] : '\0';
    difference |= static_cast<unsigned char>(theirs ^ secret[i]);
  }
  return difference == 0 && !secret.empty();
}

std::string token_cookie(const std::string & token)
{
  return std::string(kTokenCookie) + "=" + token + "; Path=/; HttpOnly; Secure; SameSite=Strict";
}

}  // namespace diagctl
