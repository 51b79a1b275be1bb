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

// Who may use the dashboard when it is served beyond loopback: holders of an
// access token, read from a file only its owner can read (never from the
// command line, where every local user sees it), and presented as a bearer
// token or as the cookie the page gets after opening /?token=... once.
#ifndef DIAGCTL__DASHBOARD_ACCESS_HPP_
#define DIAGCTL__DASHBOARD_ACCESS_HPP_

#include <optional>
#include <string>
#include <string_view>

namespace diagctl {

inline constexpr char kTokenCookie[] = "diagctl_token";
inline constexpr std::size_t kMinTokenBytes = 16;

// Whether a peer or bind address is loopback: 127.0.0.0/8, ::1 and the
// IPv4-mapped 127 addresses (::ffff:127.0.0.1), and the name "localhost".
bool is_loopback_address(const std::string & address);

// The token in `path`, without surrounding white space; nothing and `error`
// when the file is not a regular file, is open to its group or to others,
// or holds no usable token (at least kMinTokenBytes of letters, digits and
// "-._~+/=", so that it travels in a header and a cookie unchanged).
std::optional<std::string> read_token_file(const std::string & path, std::string & error);

// "Bearer <token>" -> the token; anything else -> "".
std::string bearer_token(std::string_view authorization);

// The value of cookie `name` in a Cookie header; "" when absent.
std::string cookie_value(std::string_view cookie_header, std::string_view name);

// Whether `presented` is `secret`, taking as long whatever they share.
bool same_secret(std::string_view presented, std::string_view secret);

// The Set-Cookie value that keeps `token` for the page's later requests and
// event stream, out of scripts' reach and never sent over plain HTTP.
std::string token_cookie(const std::string & token);

}  // namespace diagctl

#endif  // DIAGCTL__DASHBOARD_ACCESS_HPP_
