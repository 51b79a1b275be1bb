// A node's name, namespace and name remapping, from the context's and the
// node's own ROS arguments.
#ifndef CLIENT_LAYER__NODE_NAMES_HPP_
#define CLIENT_LAYER__NODE_NAMES_HPP_

#include <string>

#include "rclcpp/node_options.hpp"

namespace client_layer {

class NodeNames
{
public:
  // Applies the __node and __ns remappings, then validates both.
  // Throws rclcpp's InvalidNodeNameError / InvalidNamespaceError.
  NodeNames(
      const std::string & node_name, const std::string & namespace_,
      const rclcpp::NodeOptions & options);

  const std::string & name() const { return name_; }
  const std::string & namespace_() const { return namespace__; }

  // Expands a topic or service name in the node's namespace and applies the
  // remapping rules (unless only_expand). Throws rclcpp's InvalidTopicNameError
  // or InvalidServiceNameError.
  std::string resolve(const std::string & name, bool is_service, bool only_expand) const;

private:
  std::string name_;
  std::string namespace__;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__NODE_NAMES_HPP_
