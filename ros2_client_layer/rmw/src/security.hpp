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

// DDS Security for a participant, configured as Humble's Cyclone DDS
// middleware configures it: the enclave's certificates, key, governance and
// permissions (and a revocation list, when there is one) become dds.sec.*
// properties of the participant's QoS, which make Cyclone DDS load its
// authentication, cryptography and access-control plugins and secure every
// entity of the participant. An enclave that lacks a file leaves the
// participant unsecured; the caller decides whether that is acceptable.
#ifndef CLIENT_LAYER__RMW__SECURITY_HPP_
#define CLIENT_LAYER__RMW__SECURITY_HPP_

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "client_layer/rmw/transport.hpp"
#include "dds/dds.h"

namespace client_layer::rmw::detail {

// A participant QoS property: name and value.
using Property = std::pair<std::string, std::string>;

// The properties that secure a participant with the enclave in `root_path`,
// files as "file:<path>"; nullopt when a required file is not a regular file
// (symbolic links are followed: `ros2 security` links the CA certificates and
// the governance into every enclave).
std::optional<std::vector<Property>> security_properties(const std::string & root_path);

// Adds the security properties to `qos`; false when the participant stays
// unsecured: security is off, or the enclave lacks a file (then logged, as
// Humble logs it, on the logger "rmw_cyclonedds_cpp").
bool configure_security(dds_qos_t * qos, const SecurityOptions & options);

}  // namespace client_layer::rmw::detail

#endif  // CLIENT_LAYER__RMW__SECURITY_HPP_
