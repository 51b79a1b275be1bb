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
