// Copyright 2026 Corvanta diagnostics team
//
// Licensed under the Apache License, Version 2.0 (the "License");
// you may not use this file except in compliance with the License.
// You may obtain a copy of the License at
//
//     http://www.apache.org/licenses/LICENSE-2.0
//
// Unless required by applicable law or agreed to in writing, software
// distributed under the License is distributed on an "AS IS" BASIS,
// WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
// See the License for the specific language governing permissions and
// limitations under the License.
//
// SPDX-License-Identifier: Apache-2.0

// Subscriptions: take samples from the topic's DDS reader, deserialize them
// and run the callback on an executor thread.
#ifndef RCLCPP__SUBSCRIPTION_HPP_
#define RCLCPP__SUBSCRIPTION_HPP_

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "client_layer/readable_entity.hpp"
#include "client_layer/sample_counters.hpp"
#include "client_layer/type_support.hpp"
#include "rclcpp/any_subscription_callback.hpp"
#include "rclcpp/callback_group.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/message_info.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/qos_event.hpp"
#include "rclcpp/subscription_options.hpp"
#include "rclcpp/visibility_control.hpp"

namespace client_layer {
class SubscriptionImpl;
}  // namespace client_layer

namespace rclcpp {

class SubscriptionBase : public client_layer::ReadableEntity
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(SubscriptionBase)

  /// \throws rclcpp::exceptions::RCLError "could not create subscription: ..." when DDS refuses it
  SubscriptionBase(
      rclcpp::node_interfaces::NodeBaseInterface * node_base,
      const rclcpp::CallbackGroup::SharedPtr & group, const std::string & topic,
      const char * dds_type_name, const rclcpp::QoS & qos,
      const rclcpp::SubscriptionOptionsBase & options);

  ~SubscriptionBase() override;

  /// The fully qualified topic name.
  const char * get_topic_name() const;

  /// Number of matched publishers.
  size_t get_publisher_count() const;

  rclcpp::QoS get_actual_qos() const;

protected:
  /// Also runs the subscription's event callbacks in the subscription's
  /// group: Humble's default warning about publishers offering incompatible
  /// QoS, and the message-lost callback of the options.
  bool take_and_handle() override;

  /// Deserialize one sample and run the callback; false if it is malformed.
  virtual bool handle_sample(
      const std::uint8_t * data, size_t size, const rclcpp::MessageInfo & message_info) = 0;

private:
  RCLCPP_DISABLE_COPY(SubscriptionBase)
  void warn_of_incompatible_publishers();
  void report_lost_messages();

  // Set by the middleware when a publisher offering incompatible QoS is
  // found, or messages were lost; before impl_, as the middleware may call
  // as soon as it exists.
  std::atomic<bool> incompatible_qos_pending_{false};
  std::atomic<bool> message_lost_pending_{false};
  QOSMessageLostCallbackType message_lost_callback_;
  std::uint64_t lost_reported_ = 0;  // used only by the executor thread that holds the entity
  std::unique_ptr<client_layer::SubscriptionImpl> impl_;
};

template <typename MessageT, typename AllocatorT = std::allocator<void>>
class Subscription : public SubscriptionBase
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Subscription)

  template <typename CallbackT>
  Subscription(
      rclcpp::node_interfaces::NodeBaseInterface * node_base,
      const rclcpp::CallbackGroup::SharedPtr & group, const std::string & topic,
      const rclcpp::QoS & qos, CallbackT && callback,
      const rclcpp::SubscriptionOptionsWithAllocator<AllocatorT> & options)
      : SubscriptionBase(
            node_base, group, topic, client_layer::TypeSupport<MessageT>::dds_type_name(), qos,
            options),
        callback_(std::forward<CallbackT>(callback))
  {
  }

protected:
  bool handle_sample(
      const std::uint8_t * data, size_t size, const rclcpp::MessageInfo & message_info) override
  {
    auto message = std::make_unique<MessageT>();
    if (!client_layer::deserialize_message(data, size, *message)) {
      return false;
    }
    callback_.dispatch(std::move(message), message_info);
    return true;
  }

private:
  AnySubscriptionCallback<MessageT, AllocatorT> callback_;
};

}  // namespace rclcpp

#endif  // RCLCPP__SUBSCRIPTION_HPP_
