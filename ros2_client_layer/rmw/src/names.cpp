// DDS names for ROS names, and the default domain configuration.
#include <string>

#include "client_layer/rmw/transport.hpp"
#include "domain.hpp"

namespace client_layer::rmw {

std::string loopback_domain_configuration() { return detail::loopback_domain_config(); }

std::string topic_to_dds(const std::string & fully_qualified_name)
{
  return "rt" + fully_qualified_name;
}

std::string service_request_to_dds(const std::string & fully_qualified_name)
{
  return "rq" + fully_qualified_name + "Request";
}

std::string service_reply_to_dds(const std::string & fully_qualified_name)
{
  return "rr" + fully_qualified_name + "Reply";
}

}  // namespace client_layer::rmw
