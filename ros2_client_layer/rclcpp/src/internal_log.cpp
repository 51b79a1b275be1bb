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

#include "internal_log.hpp"

#include "client_layer/logging.hpp"

namespace client_layer {

void log_debug(const std::string & logger_name, const std::string & message)
{
  logging::log(nullptr, logging::kDebug, logger_name.c_str(), "%s", message.c_str());
}

void log_info(const std::string & logger_name, const std::string & message)
{
  logging::log(nullptr, logging::kInfo, logger_name.c_str(), "%s", message.c_str());
}

void log_warning(const std::string & logger_name, const std::string & message)
{
  logging::log(nullptr, logging::kWarn, logger_name.c_str(), "%s", message.c_str());
}

void log_error(const std::string & logger_name, const std::string & message)
{
  logging::log(nullptr, logging::kError, logger_name.c_str(), "%s", message.c_str());
}

}  // namespace client_layer
