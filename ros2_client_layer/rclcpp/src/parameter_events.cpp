#include "parameter_events.hpp"

#include <memory>
#include <utility>

#include "node_base.hpp"
#include "rcl_interfaces/msg/parameter_event.hpp"
#include "rclcpp/publisher.hpp"

namespace client_layer {

NodeParameters::ParameterEventHandler create_parameter_event_publisher(
    NodeBase & node_base, rclcpp::Clock::SharedPtr clock, const rclcpp::QoS & qos)
{
  using rcl_interfaces::msg::ParameterEvent;
  auto publisher = std::make_shared<rclcpp::Publisher<ParameterEvent>>(
      &node_base, "/parameter_events", qos, rclcpp::PublisherOptions());
  return [publisher, clock = std::move(clock)](ParameterEvent event) {
    event.stamp = clock->now();
    publisher->publish(event);
  };
}

}  // namespace client_layer
