// rclcpp::Node: the entry point for creating publishers, subscriptions,
// services, clients, timers, parameters and callback groups.
#ifndef RCLCPP__NODE_HPP_
#define RCLCPP__NODE_HPP_

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/create_timer.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/node_interfaces/node_clock_interface.hpp"
#include "rclcpp/node_interfaces/node_timers_interface.hpp"
#include "rclcpp/node_options.hpp"
#include "rclcpp/time.hpp"
#include "rclcpp/timer.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

class Node : public std::enable_shared_from_this<Node>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Node)

  /// Create a node in the root namespace (or the one the arguments remap to).
  /**
   * \throws InvalidNodeNameError, InvalidNamespaceError for invalid names
   * \throws std::runtime_error if the context is not valid
   */
  explicit Node(const std::string & node_name, const NodeOptions & options = NodeOptions());

  explicit Node(
      const std::string & node_name, const std::string & namespace_,
      const NodeOptions & options = NodeOptions());

  virtual ~Node();

  const char * get_name() const;
  const char * get_namespace() const;
  const char * get_fully_qualified_name() const;

  /// Create a callback group of the node.
  rclcpp::CallbackGroup::SharedPtr create_callback_group(
      rclcpp::CallbackGroupType group_type, bool automatically_add_to_executor_with_node = true);

  /// Create a timer on the steady clock.
  /**
   * \throws std::invalid_argument "timer period cannot be negative", or
   *   "timer period must be less than std::chrono::nanoseconds::max()"
   */
  template <typename DurationRepT = int64_t, typename DurationT = std::milli, typename CallbackT>
  typename rclcpp::WallTimer<CallbackT>::SharedPtr create_wall_timer(
      std::chrono::duration<DurationRepT, DurationT> period, CallbackT callback,
      rclcpp::CallbackGroup::SharedPtr group = nullptr)
  {
    return rclcpp::create_wall_timer(
        period, std::move(callback), group, node_base_.get(), node_timers_.get());
  }

  rclcpp::Clock::SharedPtr get_clock();
  rclcpp::Clock::ConstSharedPtr get_clock() const;

  /// The current time of the node's clock.
  Time now() const;

  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr get_node_base_interface();
  rclcpp::node_interfaces::NodeClockInterface::SharedPtr get_node_clock_interface();
  rclcpp::node_interfaces::NodeTimersInterface::SharedPtr get_node_timers_interface();

  const rclcpp::NodeOptions & get_node_options() const;

private:
  RCLCPP_DISABLE_COPY(Node)

  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_base_;
  rclcpp::node_interfaces::NodeClockInterface::SharedPtr node_clock_;
  rclcpp::node_interfaces::NodeTimersInterface::SharedPtr node_timers_;
  const rclcpp::NodeOptions node_options_;
};

}  // namespace rclcpp

#endif  // RCLCPP__NODE_HPP_
