#include "diagnostic_center/publisher.hpp"

#include <string>

#include "diagnostic_center/contract/names.hpp"

namespace diagnostic_center {

namespace {

// Each publisher gets a mutually exclusive group of its own for its event
// callbacks.
template <typename MsgT>
typename rclcpp::Publisher<MsgT>::SharedPtr CreatePublisher(
    const std::shared_ptr<rclcpp::Node> & node, const std::string & topic, std::size_t depth)
{
  rclcpp::PublisherOptions options;
  options.callback_group =
      node->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, true);
  return node->create_publisher<MsgT>(topic, rclcpp::QoS(depth), options);
}

}  // namespace

PublisherExceptionHandle::PublisherExceptionHandle(const std::shared_ptr<rclcpp::Node> & node)
    : pub_(CreatePublisher<ExceptionHandle>(node, contract::kExceptionHandleTopic, 10))
{
}

void PublisherExceptionHandle::Publish(const ExceptionHandle & msg) const { pub_->publish(msg); }

PublisherCurFailure::PublisherCurFailure(const std::shared_ptr<rclcpp::Node> & node)
    : pub_(CreatePublisher<CurrentFailure>(node, contract::kCurrentFailureTopic, 1))
{
}

void PublisherCurFailure::Publish(const CurrentFailure & msg) const { pub_->publish(msg); }

}  // namespace diagnostic_center
