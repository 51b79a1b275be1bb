// Types of the node's parameter interface.
#ifndef RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_INTERFACE_HPP_
#define RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_INTERFACE_HPP_

#include "client_layer/node_parameters.hpp"

namespace rclcpp {
namespace node_interfaces {

/// Keeps an on-set-parameters callback registered while it lives.
using OnSetParametersCallbackHandle = client_layer::OnSetParametersCallbackHandle;

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // RCLCPP__NODE_INTERFACES__NODE_PARAMETERS_INTERFACE_HPP_
