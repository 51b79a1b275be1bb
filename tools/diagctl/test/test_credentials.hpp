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

// A TLS certificate, its key and an access token file for the dashboard's
// tests, made at test time with the openssl command in a scratch directory.
#ifndef TEST_CREDENTIALS_HPP_
#define TEST_CREDENTIALS_HPP_

#include <filesystem>
#include <string>

namespace diagctl_test {

struct Credentials
{
  std::string certificate;  // self-signed, for 127.0.0.1, ::1 and localhost
  std::string key;
  std::string token_file;  // mode 600
  std::string token;
};

// Into `directory`; fails the current test (and returns empty paths) when
// openssl cannot make them.
Credentials MakeCredentials(const std::filesystem::path & directory);

}  // namespace diagctl_test

#endif  // TEST_CREDENTIALS_HPP_
