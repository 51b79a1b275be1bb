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

// The DDS side of publishers, subscriptions, services and clients.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "client_layer/error_state.hpp"
#include "client_layer/rmw/service.hpp"
#include "client_layer/rmw/transport.hpp"
#include "client_layer/sample_counters.hpp"
#include "internal_log.hpp"
#include "node_base.hpp"
#include "rclcpp/client.hpp"
#include "rclcpp/publisher.hpp"
#include "rclcpp/service.hpp"
#include "rclcpp/subscription.hpp"

namespace client_layer {

namespace {

std::atomic<std::uint64_t> g_malformed_samples{0};

NodeBase & node_base_of(rclcpp::node_interfaces::NodeBaseInterface * node_base)
{
  auto base = dynamic_cast<NodeBase *>(node_base);
  if (base == nullptr) {
    throw std::invalid_argument("node_base is not a node of this client layer");
  }
  return *base;
}

std::string dds_topic_name(const std::string & fully_qualified_name, const rmw_qos_profile_t & qos)
{
  return qos.avoid_ros_namespace_conventions ? fully_qualified_name
                                             : rmw::topic_to_dds(fully_qualified_name);
}

// The node an endpoint belongs to, for the graph announcements.
struct NodeIdentity
{
  std::shared_ptr<rmw::Participant> participant;
  std::string node_namespace;
  std::string node_name;
  std::string logger_name;
  std::weak_ptr<rclcpp::Context> context;

  explicit NodeIdentity(NodeBase & node)
      : participant(node.participant()),
        node_namespace(node.get_namespace()),
        node_name(node.get_name()),
        logger_name(node.logger_name()),
        context(node.get_context())
  {
  }

  bool context_is_valid() const
  {
    auto locked = context.lock();
    return locked && locked->is_valid();
  }
};

rmw_gid_t to_rmw_gid(const rmw::Guid & guid)
{
  rmw_gid_t gid{};
  gid.implementation_identifier = "rmw_cyclonedds_cpp";
  const auto bytes = guid.to_gid();
  std::memcpy(gid.data, bytes.data(), bytes.size());
  return gid;
}

// DDS gives no reason for a failed write beyond its return code.
constexpr const char * kWriteFailed = "failed to publish data";

// A raw write; a sample the writer refuses (shorter than its encapsulation
// header) becomes the RCLInvalidArgument rclcpp throws for a bad argument.
template <typename Write>
bool write_checked(const char * error_prefix, Write && write)
{
  try {
    return write();
  } catch (const std::invalid_argument & error) {
    throw_from_error(kRetInvalidArgument, error_prefix, CLIENT_LAYER_ERROR_STATE(error.what()));
  }
}

// What ROS 2 Humble's Cyclone DDS middleware reports: the writer and its time
// stamp, no reception time and no sequence numbers.
rclcpp::MessageInfo message_info_of(const rmw::SampleInfo & sample)
{
  rmw_message_info_t info = rmw_get_zero_initialized_message_info();
  info.source_timestamp = sample.source_timestamp;
  info.received_timestamp = 0;
  info.publication_sequence_number = RMW_MESSAGE_INFO_SEQUENCE_NUMBER_UNSUPPORTED;
  info.reception_sequence_number = RMW_MESSAGE_INFO_SEQUENCE_NUMBER_UNSUPPORTED;
  info.publisher_gid = to_rmw_gid(sample.publication_guid);
  info.from_intra_process = false;
  return info;
}

}  // namespace

std::uint64_t dropped_malformed_samples() { return g_malformed_samples.load(); }

void count_malformed_sample() { g_malformed_samples.fetch_add(1, std::memory_order_relaxed); }

// ---- publishers ----

class PublisherImpl
{
public:
  PublisherImpl(
      NodeBase & node, const std::string & topic, const char * dds_type_name,
      const rclcpp::QoS & qos, std::function<void()> on_incompatible_qos)
      : identity_(node), topic_(node.resolve_topic_or_service_name(topic, false)), qos_(qos)
  {
    rmw::EndpointOptions endpoint_options;
    endpoint_options.on_offered_incompatible_qos = std::move(on_incompatible_qos);
    try {
      writer_ = std::make_unique<rmw::RawWriter>(
          identity_.participant, dds_topic_name(topic_, qos.get_rmw_qos_profile()), dds_type_name,
          qos.get_rmw_qos_profile(), endpoint_options);
    } catch (const std::exception & e) {
      throw_from_error(kRetError, "could not create publisher", CLIENT_LAYER_ERROR_STATE(e.what()));
    }
    gid_ = to_rmw_gid(writer_->guid());
    identity_.participant->add_writer(
        identity_.node_namespace, identity_.node_name, writer_->guid());
  }

  ~PublisherImpl()
  {
    identity_.participant->remove_writer(
        identity_.node_namespace, identity_.node_name, writer_->guid());
  }

  void publish(const std::vector<std::uint8_t> & sample)
  {
    if (!write_checked("failed to publish serialized message", [&] {
          return writer_->write(sample.data(), sample.size());
        })) {
      if (!identity_.context_is_valid()) {
        return;  // publishing after shutdown is silently dropped, as in rclcpp
      }
      throw_from_error(
          kRetError, "failed to publish message", CLIENT_LAYER_ERROR_STATE(kWriteFailed));
    }
  }

  NodeIdentity identity_;
  std::string topic_;
  rclcpp::QoS qos_;
  std::unique_ptr<rmw::RawWriter> writer_;
  rmw_gid_t gid_{};
};

// ---- subscriptions ----

class SubscriptionImpl
{
public:
  SubscriptionImpl(
      NodeBase & node, const std::string & topic, const char * dds_type_name,
      const rclcpp::QoS & qos, const rclcpp::SubscriptionOptionsBase & options,
      std::function<void()> on_data, std::function<void()> on_incompatible_qos,
      std::function<void()> on_message_lost)
      : identity_(node), topic_(node.resolve_topic_or_service_name(topic, false)), qos_(qos)
  {
    rmw::EndpointOptions endpoint_options;
    endpoint_options.ignore_local_publications = options.ignore_local_publications;
    endpoint_options.on_requested_incompatible_qos = std::move(on_incompatible_qos);
    endpoint_options.on_sample_lost = std::move(on_message_lost);
    try {
      reader_ = std::make_unique<rmw::RawReader>(
          identity_.participant, dds_topic_name(topic_, qos.get_rmw_qos_profile()), dds_type_name,
          qos.get_rmw_qos_profile(), std::move(on_data), endpoint_options);
    } catch (const std::exception & e) {
      throw_from_error(
          kRetError, "could not create subscription", CLIENT_LAYER_ERROR_STATE(e.what()));
    }
    identity_.participant->add_reader(
        identity_.node_namespace, identity_.node_name, reader_->guid());
  }

  ~SubscriptionImpl()
  {
    identity_.participant->remove_reader(
        identity_.node_namespace, identity_.node_name, reader_->guid());
  }

  NodeIdentity identity_;
  std::string topic_;
  rclcpp::QoS qos_;
  std::unique_ptr<rmw::RawReader> reader_;
};

// ---- services ----

class ServiceImpl
{
public:
  ServiceImpl(
      NodeBase & node, const std::string & service_name, const char * dds_request_type_name,
      const char * dds_response_type_name, const rmw_qos_profile_t & qos,
      std::function<void()> on_data)
      : identity_(node), service_name_(node.resolve_topic_or_service_name(service_name, true))
  {
    rmw::EndpointOptions endpoint_options;
    endpoint_options.user_data =
        rmw::service_user_data(identity_.participant->next_client_service_id());
    const bool plain = qos.avoid_ros_namespace_conventions;
    try {
      reply_writer_ = std::make_unique<rmw::RawWriter>(
          identity_.participant,
          plain ? service_name_ + "Reply" : rmw::service_reply_to_dds(service_name_),
          dds_response_type_name, qos, endpoint_options);
      request_reader_ = std::make_unique<rmw::RawReader>(
          identity_.participant,
          plain ? service_name_ + "Request" : rmw::service_request_to_dds(service_name_),
          dds_request_type_name, qos, std::move(on_data), endpoint_options);
    } catch (const std::exception & e) {
      throw_from_error(kRetError, "could not create service", CLIENT_LAYER_ERROR_STATE(e.what()));
    }
    request_reader_guid_ = request_reader_->guid();
    identity_.participant->add_writer(
        identity_.node_namespace, identity_.node_name, reply_writer_->guid());
    identity_.participant->add_reader(
        identity_.node_namespace, identity_.node_name, request_reader_guid_);
  }

  ~ServiceImpl()
  {
    request_reader_.reset();  // no more data callbacks from here on
    identity_.participant->remove_reader(
        identity_.node_namespace, identity_.node_name, request_reader_guid_);
    identity_.participant->remove_writer(
        identity_.node_namespace, identity_.node_name, reply_writer_->guid());
  }

  // Waits (up to 100 ms) for the client's reply reader, then replies.
  void send_reply(const rmw_request_id_t & request_id, const std::vector<std::uint8_t> & sample)
  {
    rmw::RequestHeader header;
    std::uint64_t request_writer_handle = 0;
    rmw::from_request_id(request_id, header, request_writer_handle);
    switch (
        rmw::wait_for_response_reader(*request_reader_, *reply_writer_, request_writer_handle)) {
      case rmw::ClientPresence::kYes:
        if (!write_checked("failed to send response", [&] {
              return reply_writer_->write_request(header, sample.data(), sample.size());
            })) {
          throw_from_error(
              kRetError, "failed to send response", CLIENT_LAYER_ERROR_STATE(kWriteFailed));
        }
        return;
      case rmw::ClientPresence::kGone:
        return;  // the client left: nobody to answer
      case rmw::ClientPresence::kMaybe:
        log_warning(
            identity_.logger_name + ".rclcpp", "failed to send response to " + service_name_ +
                                                   " (timeout): client will not receive response");
        return;
      case rmw::ClientPresence::kFailure:
        break;
    }
    throw_from_error(
        kRetError, "failed to send response",
        CLIENT_LAYER_ERROR_STATE("could not query the readers matched to the reply writer"));
  }

  NodeIdentity identity_;
  std::string service_name_;
  std::unique_ptr<rmw::RawWriter> reply_writer_;
  std::unique_ptr<rmw::RawReader> request_reader_;
  rmw::Guid request_reader_guid_;
};

// ---- clients ----

class ClientImpl
{
public:
  ClientImpl(
      NodeBase & node, const std::string & service_name, const char * dds_request_type_name,
      const char * dds_response_type_name, const rmw_qos_profile_t & qos,
      std::function<void()> on_data)
      : identity_(node), service_name_(node.resolve_topic_or_service_name(service_name, true))
  {
    rmw::EndpointOptions endpoint_options;
    endpoint_options.user_data =
        rmw::client_user_data(identity_.participant->next_client_service_id());
    endpoint_options.on_matched = [this]() { on_matched(); };
    const bool plain = qos.avoid_ros_namespace_conventions;
    try {
      reply_reader_ = std::make_unique<rmw::RawReader>(
          identity_.participant,
          plain ? service_name_ + "Reply" : rmw::service_reply_to_dds(service_name_),
          dds_response_type_name, qos, std::move(on_data), endpoint_options);
      request_writer_ = std::make_unique<rmw::RawWriter>(
          identity_.participant,
          plain ? service_name_ + "Request" : rmw::service_request_to_dds(service_name_),
          dds_request_type_name, qos, endpoint_options);
    } catch (const std::exception & e) {
      reply_reader_.reset();
      throw_from_error(kRetError, "could not create client", CLIENT_LAYER_ERROR_STATE(e.what()));
    }
    reply_reader_guid_ = reply_reader_->guid();
    identity_.participant->add_writer(
        identity_.node_namespace, identity_.node_name, request_writer_->guid());
    identity_.participant->add_reader(
        identity_.node_namespace, identity_.node_name, reply_reader_guid_);
  }

  ~ClientImpl()
  {
    // Endpoints first: their callbacks use this object.
    auto request_writer_guid = request_writer_->guid();
    request_writer_.reset();
    reply_reader_.reset();
    identity_.participant->remove_reader(
        identity_.node_namespace, identity_.node_name, reply_reader_guid_);
    identity_.participant->remove_writer(
        identity_.node_namespace, identity_.node_name, request_writer_guid);
  }

  void on_matched()
  {
    {
      std::lock_guard<std::mutex> lock(matched_mutex_);
      ++matched_changes_;
    }
    matched_condition_.notify_all();
  }

  bool service_is_ready() const
  {
    return rmw::service_is_available(*request_writer_, *reply_reader_);
  }

  bool wait_for_service(std::chrono::nanoseconds timeout)
  {
    const auto start = std::chrono::steady_clock::now();
    while (true) {
      if (!identity_.context_is_valid()) {
        return false;
      }
      std::uint64_t changes = 0;
      {
        std::lock_guard<std::mutex> lock(matched_mutex_);
        changes = matched_changes_;
      }
      if (service_is_ready()) {
        return true;
      }
      auto slice = std::chrono::nanoseconds(std::chrono::milliseconds(50));
      if (timeout >= std::chrono::nanoseconds::zero()) {
        const auto left = timeout - (std::chrono::steady_clock::now() - start);
        if (left <= std::chrono::nanoseconds::zero()) {
          return false;
        }
        slice = std::min(slice, std::chrono::duration_cast<std::chrono::nanoseconds>(left));
      }
      // Woken by a match change; the slice bounds the wait so that shutdown
      // and the timeout are noticed.
      std::unique_lock<std::mutex> lock(matched_mutex_);
      matched_condition_.wait_for(lock, slice, [&] { return matched_changes_ != changes; });
    }
  }

  void send(int64_t sequence_number, const std::vector<std::uint8_t> & sample)
  {
    rmw::RequestHeader header;
    header.guid = request_writer_->instance_handle();
    header.sequence_number = sequence_number;
    if (!write_checked("failed to send request", [&] {
          return request_writer_->write_request(header, sample.data(), sample.size());
        })) {
      throw_from_error(kRetError, "failed to send request", CLIENT_LAYER_ERROR_STATE(kWriteFailed));
    }
  }

  NodeIdentity identity_;
  std::string service_name_;
  std::unique_ptr<rmw::RawReader> reply_reader_;
  std::unique_ptr<rmw::RawWriter> request_writer_;
  rmw::Guid reply_reader_guid_;

  std::mutex matched_mutex_;
  std::condition_variable matched_condition_;
  std::uint64_t matched_changes_ = 0;
};

}  // namespace client_layer

namespace rclcpp {

// ---- PublisherBase ----

PublisherBase::PublisherBase(
    node_interfaces::NodeBaseInterface * node_base, const CallbackGroup::SharedPtr & event_group,
    const std::string & topic, const char * dds_type_name, const QoS & qos)
    : ReadableEntity(event_group->notifier()),
      impl_(std::make_unique<client_layer::PublisherImpl>(
          client_layer::node_base_of(node_base), topic, dds_type_name, qos,
          [this]() { on_data_available(); }))
{
}

PublisherBase::~PublisherBase() = default;

bool PublisherBase::take_and_handle()
{
  const client_layer::rmw::IncompatibleQosChange change =
      impl_->writer_->take_offered_incompatible_qos();
  if (change.count_change > 0) {
    client_layer::log_warning(
        impl_->identity_.logger_name,
        "New subscription discovered on topic '" + impl_->topic_ +
            "', requesting incompatible QoS. No messages will be sent to it. "
            "Last incompatible policy: " +
            qos_policy_name_from_kind(change.last_policy_kind));
  }
  return false;  // one status read covers every reader found so far
}

const char * PublisherBase::get_topic_name() const { return impl_->topic_.c_str(); }

size_t PublisherBase::get_queue_size() const { return impl_->qos_.depth(); }

const rmw_gid_t & PublisherBase::get_gid() const { return impl_->gid_; }

size_t PublisherBase::get_subscription_count() const { return impl_->writer_->matched_count(); }

size_t PublisherBase::get_intra_process_subscription_count() const { return 0; }

QoS PublisherBase::get_actual_qos() const { return impl_->qos_; }

bool PublisherBase::assert_liveliness() const { return true; }

bool PublisherBase::wait_for_all_acked_nanoseconds(std::chrono::nanoseconds timeout) const
{
  try {
    return impl_->writer_->wait_for_acks(timeout.count());
  } catch (const std::runtime_error & e) {
    client_layer::throw_from_error(
        client_layer::kRetError, "failed to wait for acknowledgements",
        CLIENT_LAYER_ERROR_STATE(e.what()));
  }
}

bool PublisherBase::operator==(const rmw_gid_t & gid) const
{
  return std::memcmp(gid.data, impl_->gid_.data, RMW_GID_STORAGE_SIZE) == 0;
}

bool PublisherBase::operator==(const rmw_gid_t * gid) const
{
  return gid != nullptr && *this == *gid;
}

void PublisherBase::publish_serialized(const std::vector<std::uint8_t> & sample)
{
  impl_->publish(sample);
}

// ---- SubscriptionBase ----

SubscriptionBase::SubscriptionBase(
    node_interfaces::NodeBaseInterface * node_base, const CallbackGroup::SharedPtr & group,
    const std::string & topic, const char * dds_type_name, const QoS & qos,
    const SubscriptionOptionsBase & options)
    : ReadableEntity(group->notifier()),
      message_lost_callback_(options.event_callbacks.message_lost_callback),
      impl_(std::make_unique<client_layer::SubscriptionImpl>(
          client_layer::node_base_of(node_base), topic, dds_type_name, qos, options,
          [this]() { on_data_available(); },
          [this]() {
            incompatible_qos_pending_.store(true);
            on_data_available();
          },
          message_lost_callback_ ? std::function<void()>([this]() {
            message_lost_pending_.store(true);
            on_data_available();
          })
                                 : std::function<void()>()))
{
}

SubscriptionBase::~SubscriptionBase() = default;

void SubscriptionBase::warn_of_incompatible_publishers()
{
  const client_layer::rmw::IncompatibleQosChange change =
      impl_->reader_->take_requested_incompatible_qos();
  if (change.count_change > 0) {
    client_layer::log_warning(
        impl_->identity_.logger_name,
        "New publisher discovered on topic '" + impl_->topic_ +
            "', offering incompatible QoS. No messages will be sent to it. "
            "Last incompatible policy: " +
            qos_policy_name_from_kind(change.last_policy_kind));
  }
}

void SubscriptionBase::report_lost_messages()
{
  const std::uint64_t total = impl_->reader_->lost_count();
  if (total <= lost_reported_) {
    return;
  }
  QOSMessageLostInfo info{};
  info.total_count = static_cast<size_t>(total);
  info.total_count_change = static_cast<size_t>(total - lost_reported_);
  lost_reported_ = total;
  message_lost_callback_(info);
}

const char * SubscriptionBase::get_topic_name() const { return impl_->topic_.c_str(); }

size_t SubscriptionBase::get_publisher_count() const { return impl_->reader_->matched_count(); }

QoS SubscriptionBase::get_actual_qos() const { return impl_->qos_; }

bool SubscriptionBase::take_and_handle()
{
  if (incompatible_qos_pending_.exchange(false)) {
    warn_of_incompatible_publishers();
  }
  if (message_lost_pending_.exchange(false)) {
    report_lost_messages();
  }
  thread_local std::vector<std::uint8_t> sample;
  client_layer::rmw::SampleInfo sample_info;
  if (!impl_->reader_->take(sample, &sample_info)) {
    return false;
  }
  if (!handle_sample(sample.data(), sample.size(), client_layer::message_info_of(sample_info))) {
    client_layer::count_malformed_sample();
  }
  return true;
}

// ---- ServiceBase ----

ServiceBase::ServiceBase(
    node_interfaces::NodeBaseInterface * node_base, const CallbackGroup::SharedPtr & group,
    const std::string & service_name, const char * ros_type_name,
    const char * dds_request_type_name, const char * dds_response_type_name,
    const rmw_qos_profile_t & qos)
    : ReadableEntity(group->notifier())
{
  (void)ros_type_name;
  impl_ = std::make_unique<client_layer::ServiceImpl>(
      client_layer::node_base_of(node_base), service_name, dds_request_type_name,
      dds_response_type_name, qos, [this]() { on_data_available(); });
}

ServiceBase::~ServiceBase() = default;

const char * ServiceBase::get_service_name() { return impl_->service_name_.c_str(); }

bool ServiceBase::take_and_handle()
{
  thread_local std::vector<std::uint8_t> sample;
  client_layer::rmw::RequestHeader header;
  client_layer::rmw::SampleInfo info;
  switch (impl_->request_reader_->take_request(sample, header, &info)) {
    case client_layer::rmw::TakeResult::kNone:
      return false;
    case client_layer::rmw::TakeResult::kMalformed:
      client_layer::count_malformed_sample();
      return true;
    case client_layer::rmw::TakeResult::kTaken:
      break;
  }
  const auto request_id = client_layer::rmw::to_request_id(header, info.publication_handle);
  if (!handle_request(sample.data(), sample.size(), request_id)) {
    client_layer::count_malformed_sample();
  }
  return true;
}

void ServiceBase::send_serialized_response(
    const rmw_request_id_t & request_id, const std::vector<std::uint8_t> & sample)
{
  impl_->send_reply(request_id, sample);
}

// ---- ClientBase ----

ClientBase::ClientBase(
    node_interfaces::NodeBaseInterface * node_base, const CallbackGroup::SharedPtr & group,
    const std::string & service_name, const char * dds_request_type_name,
    const char * dds_response_type_name, const rmw_qos_profile_t & qos)
    : ReadableEntity(group->notifier()),
      impl_(std::make_unique<client_layer::ClientImpl>(
          client_layer::node_base_of(node_base), service_name, dds_request_type_name,
          dds_response_type_name, qos, [this]() { on_data_available(); }))
{
}

ClientBase::~ClientBase() = default;

const char * ClientBase::get_service_name() const { return impl_->service_name_.c_str(); }

bool ClientBase::service_is_ready() const { return impl_->service_is_ready(); }

bool ClientBase::wait_for_service_nanoseconds(std::chrono::nanoseconds timeout)
{
  return impl_->wait_for_service(timeout);
}

bool ClientBase::take_and_handle()
{
  thread_local std::vector<std::uint8_t> sample;
  client_layer::rmw::RequestHeader header;
  switch (impl_->reply_reader_->take_request(sample, header, nullptr)) {
    case client_layer::rmw::TakeResult::kNone:
      return false;
    case client_layer::rmw::TakeResult::kMalformed:
      client_layer::count_malformed_sample();
      return true;
    case client_layer::rmw::TakeResult::kTaken:
      break;
  }
  if (header.guid != impl_->request_writer_->instance_handle()) {
    return true;  // a reply to another client of the same service
  }
  if (!handle_response(sample.data(), sample.size(), header.sequence_number)) {
    client_layer::count_malformed_sample();
  }
  return true;
}

int64_t ClientBase::next_sequence_number()
{
  return client_layer::rmw::next_request_sequence_number();
}

void ClientBase::send_serialized_request(
    int64_t sequence_number, const std::vector<std::uint8_t> & sample)
{
  impl_->send(sequence_number, sample);
}

}  // namespace rclcpp
