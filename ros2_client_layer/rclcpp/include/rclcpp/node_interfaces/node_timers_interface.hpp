// Adding timers to a node.
#ifndef RCLCPP__NODE_INTERFACES__NODE_TIMERS_INTERFACE_HPP_
#define RCLCPP__NODE_INTERFACES__NODE_TIMERS_INTERFACE_HPP_

#include "rclcpp/callback_group.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/timer.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {
namespace node_interfaces {

class NodeTimersInterface
{
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeTimersInterface)

  virtual ~NodeTimersInterface() = default;

  /// Add a timer to the group (the node's default group when null).
  /** \throws std::runtime_error if the group does not belong to the node. */
  virtual void add_timer(
      rclcpp::TimerBase::SharedPtr timer, rclcpp::CallbackGroup::SharedPtr callback_group) = 0;
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // RCLCPP__NODE_INTERFACES__NODE_TIMERS_INTERFACE_HPP_
