// Options for creating a publisher.
#ifndef RCLCPP__PUBLISHER_OPTIONS_HPP_
#define RCLCPP__PUBLISHER_OPTIONS_HPP_

#include <memory>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/intra_process_setting.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {

struct PublisherOptionsBase
{
  /// Accepted for compatibility; messages always go through DDS.
  IntraProcessSetting use_intra_process_comm = IntraProcessSetting::NodeDefault;
  /// Runs the publisher's event callback (null: the node's default group).
  rclcpp::CallbackGroup::SharedPtr callback_group;
  /// Accepted for compatibility.
  bool require_unique_network_flow_endpoints = false;
};

template <typename Allocator>
struct PublisherOptionsWithAllocator : public PublisherOptionsBase
{
  std::shared_ptr<Allocator> allocator = nullptr;

  PublisherOptionsWithAllocator() {}

  explicit PublisherOptionsWithAllocator(const PublisherOptionsBase & publisher_options_base)
      : PublisherOptionsBase(publisher_options_base)
  {
  }
};

using PublisherOptions = PublisherOptionsWithAllocator<std::allocator<void>>;

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_OPTIONS_HPP_
