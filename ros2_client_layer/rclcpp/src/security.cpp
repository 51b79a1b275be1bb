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

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>

#include "client_layer/error_state.hpp"
#include "client_layer/names.hpp"
#include "internal_log.hpp"

namespace client_layer {
namespace {

constexpr const char * kInitFailed = "failed to initialize rcl";

// rcl reads an empty variable as an unset one.
std::string environment(const char * name)
{
  const char * value = std::getenv(name);
  return value != nullptr ? value : "";
}

// rcl's exact match: the enclave below <keystore>/enclaves, its first
// character (the leading '/' of a valid name) dropped; "/" is the enclaves
// directory itself.
std::string enclave_directory(const std::string & keystore, const std::string & enclave)
{
  std::string enclaves = keystore + "/enclaves";  // not const: returned by move
  if (enclave == "/") {
    return enclaves;
  }
  return enclaves + "/" + (enclave.empty() ? enclave : enclave.substr(1));
}

bool is_directory(const std::string & path)
{
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

// The enclave's directory, or nullopt with what rcl's error state then holds:
// nothing when no keystore is named, the missing directory otherwise.
std::optional<std::string> find_secure_root(const std::string & enclave, ErrorState & why)
{
  const std::string keystore = environment("ROS_SECURITY_KEYSTORE");
  if (keystore.empty()) {
    return std::nullopt;
  }
  const std::string override_enclave = environment("ROS_SECURITY_ENCLAVE_OVERRIDE");
  const std::string root =
      enclave_directory(keystore, override_enclave.empty() ? enclave : override_enclave);
  if (!is_directory(root)) {
    why = CLIENT_LAYER_ERROR_STATE("SECURITY ERROR: directory '" + root + "' does not exist.");
    return std::nullopt;
  }
  return root;
}

}  // namespace

void check_enclave_name(const std::string & enclave)
{
  if (const auto error = names::validate_enclave_name(enclave)) {
    throw_from_error(
        kRetError, kInitFailed,
        CLIENT_LAYER_ERROR_STATE(
            std::string("Enclave name is not valid: '") + error->message +
            "'. Invalid index: " + std::to_string(error->invalid_index)));
  }
}

rmw::SecurityOptions security_options_from_environment(const std::string & enclave)
{
  const bool enabled = environment("ROS_SECURITY_ENABLE") == "true";
  log_debug("rcl", std::string("Using security: ") + (enabled ? "true" : "false"));
  rmw::SecurityOptions options;
  if (!enabled) {
    return options;
  }
  options.enforce = environment("ROS_SECURITY_STRATEGY") == "Enforce";
  ErrorState why;
  if (const auto root = find_secure_root(enclave, why)) {
    log_info("rcl", "Found security directory: " + *root);
    options.root_path = *root;
  } else if (options.enforce) {
    throw_from_error(kRetError, kInitFailed, why);
  }
  return options;
}

}  // namespace client_layer
