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

// Publishers: serialize messages and write them to the topic's DDS writer.
#ifndef RCLCPP__PUBLISHER_HPP_
#define RCLCPP__PUBLISHER_HPP_

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "client_layer/readable_entity.hpp"
#include "client_layer/type_support.hpp"
#include "rclcpp/callback_group.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/publisher_options.hpp"
#include "rclcpp/qos.hpp"
#include "rclcpp/visibility_control.hpp"
#include "rcpputils/time.hpp"
#include "rmw/types.h"

namespace client_layer {
class PublisherImpl;
}  // namespace client_layer

namespace rclcpp {

/// A publisher's event callback is the warning about subscriptions that request
/// incompatible QoS; it runs in `event_group` once the publisher is added to it.
class PublisherBase : public client_layer::ReadableEntity,
                      public std::enable_shared_from_this<PublisherBase>
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(PublisherBase)

  /// \throws rclcpp::exceptions::RCLError "could not create publisher: ..." when DDS refuses it
  PublisherBase(
      rclcpp::node_interfaces::NodeBaseInterface * node_base,
      const rclcpp::CallbackGroup::SharedPtr & event_group, const std::string & topic,
      const char * dds_type_name, const rclcpp::QoS & qos);

  virtual ~PublisherBase();

  /// The fully qualified topic name.
  const char * get_topic_name() const;

  /// The history depth of the QoS.
  size_t get_queue_size() const;

  /// The gid of the DDS writer.
  const rmw_gid_t & get_gid() const;

  /// Number of matched subscriptions (in this and other processes).
  size_t get_subscription_count() const;

  /// Always 0: there is no intra-process path.
  size_t get_intra_process_subscription_count() const;

  rclcpp::QoS get_actual_qos() const;

  /// Liveliness is automatic; returns true.
  bool assert_liveliness() const;

  bool operator==(const rmw_gid_t & gid) const;
  bool operator==(const rmw_gid_t * gid) const;

  /// Wait until every matched reliable subscription acknowledged every
  /// message published so far, or until `timeout` passed (negative: no
  /// limit, zero: only check). A best-effort publisher returns true at once.
  /**
   * \return true when everything was acknowledged in time
   * \throws std::invalid_argument if the timeout does not fit in nanoseconds
   * \throws rclcpp::exceptions::RCLError when DDS fails
   */
  template <typename DurationRepT = int64_t, typename DurationT = std::milli>
  bool wait_for_all_acked(
      std::chrono::duration<DurationRepT, DurationT> timeout =
          std::chrono::duration<DurationRepT, DurationT>(-1)) const
  {
    return wait_for_all_acked_nanoseconds(rcpputils::convert_to_nanoseconds(timeout));
  }

protected:
  /// Logs the warning for each newly found incompatible subscription.
  bool take_and_handle() override;

  /// Write one serialized sample (encapsulation header included).
  /** \throws rclcpp::exceptions::RCLError "failed to publish message: ..." when DDS fails,
   *  rclcpp::exceptions::RCLInvalidArgument "failed to publish serialized message: ..." when
   *  the sample is shorter than its 4-byte encapsulation header (nothing is written) */
  void publish_serialized(const std::vector<std::uint8_t> & sample);

private:
  RCLCPP_DISABLE_COPY(PublisherBase)
  bool wait_for_all_acked_nanoseconds(std::chrono::nanoseconds timeout) const;

  std::unique_ptr<client_layer::PublisherImpl> impl_;
};

template <typename MessageT, typename AllocatorT = std::allocator<void>>
class Publisher : public PublisherBase
{
public:
  using MessageAllocator =
      typename std::allocator_traits<AllocatorT>::template rebind_alloc<MessageT>;
  using MessageDeleter = std::default_delete<MessageT>;
  using MessageUniquePtr = std::unique_ptr<MessageT, MessageDeleter>;
  using MessageSharedPtr = std::shared_ptr<const MessageT>;

  RCLCPP_SMART_PTR_DEFINITIONS(Publisher<MessageT, AllocatorT>)

  Publisher(
      rclcpp::node_interfaces::NodeBaseInterface * node_base, const std::string & topic,
      const rclcpp::QoS & qos, const rclcpp::PublisherOptionsWithAllocator<AllocatorT> & options)
      : PublisherBase(
            node_base,
            options.callback_group ? options.callback_group
                                   : node_base->get_default_callback_group(),
            topic, client_layer::TypeSupport<MessageT>::dds_type_name(), qos),
        options_(options)
  {
  }

  /// Publish a message (silently dropped once the context is shut down).
  void publish(const MessageT & msg)
  {
    // One buffer per thread: publishing allocates nothing in steady state.
    thread_local std::vector<std::uint8_t> sample;
    client_layer::serialize_message(msg, sample);
    publish_serialized(sample);
  }

  template <typename Deleter>
  void publish(std::unique_ptr<MessageT, Deleter> msg)
  {
    publish(*msg);
  }

private:
  rclcpp::PublisherOptionsWithAllocator<AllocatorT> options_;
};

}  // namespace rclcpp

#endif  // RCLCPP__PUBLISHER_HPP_
