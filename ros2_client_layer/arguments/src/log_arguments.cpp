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

// The logging settings of the command line, applied to the process's logging.
#include "client_layer/arguments.hpp"
#include "client_layer/logging.hpp"

namespace client_layer {

void apply_log_levels(const LogLevels & levels)
{
  if (levels.default_level) {
    logging::set_default_level(*levels.default_level);
  }
  for (const auto & logger_level : levels.logger_levels) {
    logging::set_logger_level(logger_level.first, logger_level.second);
  }
}

void apply_logging_arguments(const Arguments & arguments)
{
  apply_log_levels(arguments.log_levels);
  logging::set_console_output_enabled(!arguments.log_stdout_disabled);
  logging::set_rosout_enabled(!arguments.log_rosout_disabled);
}

}  // namespace client_layer
