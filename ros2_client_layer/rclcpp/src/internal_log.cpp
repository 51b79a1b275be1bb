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
