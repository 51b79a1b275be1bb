#include "node_names.hpp"

#include <stdexcept>

namespace client_layer {

NodeNames::NodeNames(
    const std::string & node_name, const std::string & namespace_,
    const rclcpp::NodeOptions & options)
    : name_(node_name), namespace__(namespace_)
{
  (void)options;
  if (namespace__.empty()) {
    namespace__ = "/";
  } else if (namespace__[0] != '/') {
    namespace__ = "/" + namespace__;
  }
}

std::string NodeNames::resolve(const std::string & name, bool is_service, bool only_expand) const
{
  (void)is_service;
  (void)only_expand;
  if (!name.empty() && name[0] == '/') {
    return name;
  }
  const std::string prefix = namespace__ == "/" ? "" : namespace__;
  if (!name.empty() && name[0] == '~') {
    return prefix + "/" + name_ + name.substr(1);
  }
  return prefix + "/" + name;
}

}  // namespace client_layer
