// A node's parameter events on "/parameter_events", as rclcpp publishes them.
#ifndef CLIENT_LAYER__PARAMETER_EVENTS_HPP_
#define CLIENT_LAYER__PARAMETER_EVENTS_HPP_

#include "client_layer/node_parameters.hpp"
#include "rclcpp/clock.hpp"
#include "rclcpp/qos.hpp"

namespace client_layer {

class NodeBase;

/// Creates the node's "/parameter_events" publisher and returns the receiver
/// of its parameter store's events: each is stamped with `clock` and
/// published. Throws what creating a publisher throws.
NodeParameters::ParameterEventHandler create_parameter_event_publisher(
    NodeBase & node_base, rclcpp::Clock::SharedPtr clock, const rclcpp::QoS & qos);

}  // namespace client_layer

#endif  // CLIENT_LAYER__PARAMETER_EVENTS_HPP_
