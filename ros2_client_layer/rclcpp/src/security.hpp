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

// What rclcpp::init settles about DDS Security, as rcl_init does, before
// any node exists: the enclave (--enclave, else "/") must be a valid enclave
// name, and with ROS_SECURITY_ENABLE=true the enclave's directory is looked
// up in the keystore ROS_SECURITY_KEYSTORE (ROS_SECURITY_ENCLAVE_OVERRIDE
// names another enclave's). Under ROS_SECURITY_STRATEGY=Enforce a directory
// that is not there fails init; otherwise the participant goes unsecured.
// The files in the directory are looked at only when the participant is
// created (rmw/src/security.hpp), as Humble does.
#ifndef CLIENT_LAYER__SECURITY_HPP_
#define CLIENT_LAYER__SECURITY_HPP_

#include <string>

#include "client_layer/rmw/transport.hpp"

namespace client_layer {

// Throws rclcpp::exceptions::RCLError "failed to initialize rcl: Enclave
// name is not valid: ..." for an invalid enclave name.
void check_enclave_name(const std::string & enclave);

// The security of the context's participant, from the environment. Logs on
// the logger "rcl" as rcl does ("Using security", "Found security
// directory"); throws RCLError "failed to initialize rcl: ..." when
// enforced security finds no enclave directory.
rmw::SecurityOptions security_options_from_environment(const std::string & enclave);

}  // namespace client_layer

#endif  // CLIENT_LAYER__SECURITY_HPP_
