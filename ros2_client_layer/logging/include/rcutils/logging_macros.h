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

// RCUTILS_LOG_<SEVERITY>(...) and RCUTILS_LOG_<SEVERITY>_NAMED(name, ...),
// printf style, over the layer's console logging backend. C++ only.
#ifndef RCUTILS__LOGGING_MACROS_H_
#define RCUTILS__LOGGING_MACROS_H_

#include <cstddef>

#include "client_layer/logging.hpp"
#include "rcutils/logging.h"

#define CLIENT_LAYER_RCUTILS_LOG_NAMED_(severity, name, ...)                       \
  do {                                                                             \
    const char * client_layer_name_ = (name);                                      \
    if (::client_layer::logging::is_enabled_for(client_layer_name_, severity)) {   \
      static const ::client_layer::logging::LogLocation client_layer_location_ = { \
          __func__, __FILE__, static_cast<size_t>(__LINE__)};                      \
      ::client_layer::logging::detail::write(                                      \
          &client_layer_location_, severity, client_layer_name_, __VA_ARGS__);     \
    }                                                                              \
  } while (0)

#define RCUTILS_LOG_DEBUG_NAMED(name, ...) \
  CLIENT_LAYER_RCUTILS_LOG_NAMED_(RCUTILS_LOG_SEVERITY_DEBUG, name, __VA_ARGS__)
#define RCUTILS_LOG_INFO_NAMED(name, ...) \
  CLIENT_LAYER_RCUTILS_LOG_NAMED_(RCUTILS_LOG_SEVERITY_INFO, name, __VA_ARGS__)
#define RCUTILS_LOG_WARN_NAMED(name, ...) \
  CLIENT_LAYER_RCUTILS_LOG_NAMED_(RCUTILS_LOG_SEVERITY_WARN, name, __VA_ARGS__)
#define RCUTILS_LOG_ERROR_NAMED(name, ...) \
  CLIENT_LAYER_RCUTILS_LOG_NAMED_(RCUTILS_LOG_SEVERITY_ERROR, name, __VA_ARGS__)
#define RCUTILS_LOG_FATAL_NAMED(name, ...) \
  CLIENT_LAYER_RCUTILS_LOG_NAMED_(RCUTILS_LOG_SEVERITY_FATAL, name, __VA_ARGS__)

#define RCUTILS_LOG_DEBUG(...) RCUTILS_LOG_DEBUG_NAMED(nullptr, __VA_ARGS__)
#define RCUTILS_LOG_INFO(...) RCUTILS_LOG_INFO_NAMED(nullptr, __VA_ARGS__)
#define RCUTILS_LOG_WARN(...) RCUTILS_LOG_WARN_NAMED(nullptr, __VA_ARGS__)
#define RCUTILS_LOG_ERROR(...) RCUTILS_LOG_ERROR_NAMED(nullptr, __VA_ARGS__)
#define RCUTILS_LOG_FATAL(...) RCUTILS_LOG_FATAL_NAMED(nullptr, __VA_ARGS__)

#endif  // RCUTILS__LOGGING_MACROS_H_
