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
