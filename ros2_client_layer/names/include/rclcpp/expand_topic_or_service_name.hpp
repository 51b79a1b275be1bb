#ifndef RCLCPP__EXPAND_TOPIC_OR_SERVICE_NAME_HPP_
#define RCLCPP__EXPAND_TOPIC_OR_SERVICE_NAME_HPP_

#include <string>

#include "client_layer/names.hpp"

namespace rclcpp {

/// Expand a topic or service name and throw if it is not valid.
/// Throws rclcpp::exceptions::InvalidTopicNameError / InvalidServiceNameError,
/// InvalidNodeNameError or InvalidNamespaceError, as rclcpp does.
inline std::string expand_topic_or_service_name(
    const std::string & name, const std::string & node_name, const std::string & namespace_,
    bool is_service = false)
{
  return client_layer::names::expand_topic_or_service_name(name, node_name, namespace_, is_service);
}

}  // namespace rclcpp

#endif  // RCLCPP__EXPAND_TOPIC_OR_SERVICE_NAME_HPP_
