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

#include "test_credentials.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

namespace diagctl_test {

Credentials MakeCredentials(const std::filesystem::path & directory)
{
  Credentials made;
  const std::string certificate = (directory / "cert.pem").string();
  const std::string key = (directory / "key.pem").string();
  const std::string command =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
      "-subj /CN=localhost -addext subjectAltName=IP:127.0.0.1,IP:::1,DNS:localhost -keyout '" +
      key + "' -out '" + certificate + "' 2>'" + (directory / "openssl.log").string() + "'";
  if (std::system(command.c_str()) != 0) {
    ADD_FAILURE() << "openssl could not make a certificate: " << command;
    return made;
  }
  made.certificate = certificate;
  made.key = key;
  made.token = "t0ken-for-the-dashboard-tests.0123456789";
  made.token_file = (directory / "token").string();
  std::ofstream(made.token_file) << made.token << '\n';
  ::chmod(made.token_file.c_str(), 0600);
  return made;
}

}  // namespace diagctl_test
