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

// Log lines the layer itself writes (warnings of services, signals, what
// init found of security, a node without a participant).
#ifndef CLIENT_LAYER__INTERNAL_LOG_HPP_
#define CLIENT_LAYER__INTERNAL_LOG_HPP_

#include <string>

namespace client_layer {

void log_debug(const std::string & logger_name, const std::string & message);
void log_info(const std::string & logger_name, const std::string & message);
void log_warning(const std::string & logger_name, const std::string & message);
void log_error(const std::string & logger_name, const std::string & message);

}  // namespace client_layer

#endif  // CLIENT_LAYER__INTERNAL_LOG_HPP_
