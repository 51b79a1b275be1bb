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

// The rcutils logging functions code written for ROS 2 calls directly
// (level queries and changes), over the layer's console logging backend.
// C++ only.
#ifndef RCUTILS__LOGGING_H_
#define RCUTILS__LOGGING_H_

#include <stdbool.h>

typedef int rcutils_ret_t;
#define RCUTILS_RET_OK 0
#define RCUTILS_RET_ERROR 2
#define RCUTILS_RET_INVALID_ARGUMENT 11
#define RCUTILS_RET_LOGGING_SEVERITY_STRING_INVALID 41

/// Joins the parts of a logger name ("node.child"), as char and as string.
#define RCUTILS_LOGGING_SEPARATOR_CHAR '.'
#define RCUTILS_LOGGING_SEPARATOR_STRING "."

enum RCUTILS_LOG_SEVERITY
{
  RCUTILS_LOG_SEVERITY_UNSET = 0,
  RCUTILS_LOG_SEVERITY_DEBUG = 10,
  RCUTILS_LOG_SEVERITY_INFO = 20,
  RCUTILS_LOG_SEVERITY_WARN = 30,
  RCUTILS_LOG_SEVERITY_ERROR = 40,
  RCUTILS_LOG_SEVERITY_FATAL = 50,
};

#define RCUTILS_DEFAULT_LOGGER_DEFAULT_LEVEL RCUTILS_LOG_SEVERITY_INFO

extern "C" {

/// Logging is configured on first use; these exist for code that calls them.
rcutils_ret_t rcutils_logging_initialize(void);
rcutils_ret_t rcutils_logging_shutdown(void);

int rcutils_logging_get_default_logger_level(void);
void rcutils_logging_set_default_logger_level(int level);

/// The level set on exactly this logger (RCUTILS_LOG_SEVERITY_UNSET if none), -1 for NULL.
int rcutils_logging_get_logger_level(const char * name);

/// The level in force for a logger, inherited from its ancestors or the default; -1 for NULL.
int rcutils_logging_get_logger_effective_level(const char * name);

/// An empty name sets the default level. RCUTILS_RET_INVALID_ARGUMENT for NULL
/// or a value that is not a severity.
rcutils_ret_t rcutils_logging_set_logger_level(const char * name, int level);

bool rcutils_logging_logger_is_enabled_for(const char * name, int severity);

}  // extern "C"

#endif  // RCUTILS__LOGGING_H_
