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

// rcutils' logging functions over the console logging backend.
#include <cstring>
#include <stdexcept>
#include <string>

#include "client_layer/logging.hpp"
#include "rcutils/logging.h"

namespace logging = client_layer::logging;

rcutils_ret_t rcutils_logging_initialize(void) { return RCUTILS_RET_OK; }

rcutils_ret_t rcutils_logging_shutdown(void) { return RCUTILS_RET_OK; }

int rcutils_logging_get_default_logger_level(void) { return logging::get_default_level(); }

void rcutils_logging_set_default_logger_level(int level) { logging::set_default_level(level); }

int rcutils_logging_get_logger_level(const char * name)
{
  return name == nullptr ? -1 : logging::get_logger_level(name);
}

int rcutils_logging_get_logger_effective_level(const char * name)
{
  return name == nullptr ? -1 : logging::get_effective_level(name);
}

rcutils_ret_t rcutils_logging_set_logger_level(const char * name, int level)
{
  if (name == nullptr) {
    return RCUTILS_RET_INVALID_ARGUMENT;
  }
  try {
    logging::set_logger_level(name, level);
  } catch (const std::invalid_argument &) {
    return RCUTILS_RET_INVALID_ARGUMENT;
  }
  return RCUTILS_RET_OK;
}

bool rcutils_logging_logger_is_enabled_for(const char * name, int severity)
{
  return logging::is_enabled_for(name, severity);
}
