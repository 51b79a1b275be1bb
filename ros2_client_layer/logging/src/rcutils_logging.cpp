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
