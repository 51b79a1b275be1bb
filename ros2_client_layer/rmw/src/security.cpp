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

#include "security.hpp"

#include <filesystem>
#include <system_error>

#include "rcutils/logging_macros.h"

namespace client_layer::rmw::detail {
namespace {

struct EnclaveFile
{
  const char * property;
  const char * file_name;
};

// What an enclave must hold, in the order Humble sets the properties.
constexpr EnclaveFile kRequiredFiles[] = {
    {"dds.sec.auth.identity_ca", "identity_ca.cert.pem"},
    {"dds.sec.auth.identity_certificate", "cert.pem"},
    {"dds.sec.auth.private_key", "key.pem"},
    {"dds.sec.access.permissions_ca", "permissions_ca.cert.pem"},
    {"dds.sec.access.governance", "governance.p7s"},
    {"dds.sec.access.permissions", "permissions.p7s"},
};
constexpr EnclaveFile kCertificateRevocationList = {
    "org.eclipse.cyclonedds.sec.auth.crl", "crl.pem"};

// Cyclone DDS's plugins, found by library name in its plugin directory.
constexpr std::pair<const char *, const char *> kPluginProperties[] = {
    {"dds.sec.auth.library.path", "dds_security_auth"},
    {"dds.sec.auth.library.init", "init_authentication"},
    {"dds.sec.auth.library.finalize", "finalize_authentication"},
    {"dds.sec.crypto.library.path", "dds_security_crypto"},
    {"dds.sec.crypto.library.init", "init_crypto"},
    {"dds.sec.crypto.library.finalize", "finalize_crypto"},
    {"dds.sec.access.library.path", "dds_security_ac"},
    {"dds.sec.access.library.init", "init_access_control"},
    {"dds.sec.access.library.finalize", "finalize_access_control"},
};

// "file:<root>/<name>" when that is a regular file (or a link to one).
std::optional<std::string> file_uri(const std::string & root_path, const char * file_name)
{
  const std::string path = root_path + "/" + file_name;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    return std::nullopt;
  }
  return "file:" + path;
}

}  // namespace

std::optional<std::vector<Property>> security_properties(const std::string & root_path)
{
  std::vector<Property> properties;
  for (const EnclaveFile & file : kRequiredFiles) {
    auto uri = file_uri(root_path, file.file_name);
    if (!uri) {
      return std::nullopt;
    }
    properties.emplace_back(file.property, std::move(*uri));
  }
  for (const auto & [name, value] : kPluginProperties) {
    properties.emplace_back(name, value);
  }
  if (auto uri = file_uri(root_path, kCertificateRevocationList.file_name)) {
    properties.emplace_back(kCertificateRevocationList.property, std::move(*uri));
  }
  return properties;
}

bool configure_security(dds_qos_t * qos, const SecurityOptions & options)
{
  if (options.root_path.empty()) {
    return false;
  }
  const auto properties = security_properties(options.root_path);
  if (!properties) {
    RCUTILS_LOG_INFO_NAMED("rmw_cyclonedds_cpp", "could not find all security files");
    return false;
  }
  for (const auto & [name, value] : *properties) {
    dds_qset_prop(qos, name.c_str(), value.c_str());
  }
  return true;
}

}  // namespace client_layer::rmw::detail
