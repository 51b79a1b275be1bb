// DDS topic names for ROS names, with ROS 2's prefixes and suffixes.
#include <string>

#include "client_layer/rmw/transport.hpp"

namespace client_layer::rmw {

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
