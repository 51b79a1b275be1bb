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

#include <stdexcept>
#include <string>

#include "burst_flusher.hpp"
#include "byte_order.hpp"
#include "client_layer/rmw/transport.hpp"
#include "endpoint.hpp"
#include "qos_mapping.hpp"
#include "raw_sertype.hpp"

namespace client_layer::rmw {

struct RawWriter::Impl
{
  std::shared_ptr<Participant> participant;
  std::function<void()> on_matched;
  std::function<void()> on_incompatible_qos;
  std::unique_ptr<detail::Endpoint> endpoint;
  std::unique_ptr<detail::WritePacer> pacer;

  // Queues the sample in the writer's packet (the domain batches writes);
  // the caller decides when the packet goes out.
  bool queue(const detail::BytePiece * pieces, std::size_t count)
  {
    ddsi_serdata * serdata = detail::make_raw_serdata(endpoint->sertype(), pieces, count);
    // dds_writecdr takes over the reference.
    return serdata != nullptr && dds_writecdr(endpoint->entity(), serdata) >= 0;
  }

  static void require_encapsulation_header(std::size_t size)
  {
    if (size < detail::kEncapsulationHeaderSize) {
      throw std::invalid_argument(
          "serialized sample of " + std::to_string(size) +
          " bytes is shorter than its 4-byte encapsulation header");
    }
  }

  static void on_publication_matched(
      dds_entity_t, const dds_publication_matched_status_t, void * arg)
  {
    static_cast<Impl *>(arg)->on_matched();
  }

  static void on_offered_incompatible_qos(
      dds_entity_t, const dds_offered_incompatible_qos_status_t, void * arg)
  {
    static_cast<Impl *>(arg)->on_incompatible_qos();
  }
};

RawWriter::RawWriter(
    std::shared_ptr<Participant> participant, const std::string & dds_topic_name,
    const std::string & dds_type_name, const rmw_qos_profile_t & qos,
    const EndpointOptions & options)
    : impl_(std::make_unique<Impl>())
{
  if (!participant) {
    throw std::invalid_argument("RawWriter needs a participant");
  }
  impl_->participant = std::move(participant);
  impl_->on_matched = options.on_matched;
  impl_->on_incompatible_qos = options.on_offered_incompatible_qos;
  dds_listener_t * listener = nullptr;
  if (impl_->on_matched || impl_->on_incompatible_qos) {
    listener = dds_create_listener(impl_.get());
  }
  if (impl_->on_matched) {
    dds_lset_publication_matched_arg(listener, &Impl::on_publication_matched, impl_.get(), false);
  }
  if (impl_->on_incompatible_qos) {
    // The status is left set for take_offered_incompatible_qos to read and reset.
    dds_lset_offered_incompatible_qos_arg(
        listener, &Impl::on_offered_incompatible_qos, impl_.get(), false);
  }
  try {
    impl_->endpoint = std::make_unique<detail::Endpoint>(
        detail::Endpoint::Kind::kWriter, impl_->participant->handle(),
        impl_->participant->dds_publisher(), dds_topic_name, dds_type_name, qos, options, listener);
  } catch (...) {
    if (listener != nullptr) {
      dds_delete_listener(listener);
    }
    throw;
  }
  if (listener != nullptr) {
    dds_delete_listener(listener);
  }
  impl_->pacer = std::make_unique<detail::WritePacer>(impl_->endpoint->entity());
}

RawWriter::~RawWriter()
{
  if (impl_->endpoint) {
    detail::flush_now(impl_->endpoint->entity());  // nothing queued is lost
  }
}

bool RawWriter::write(const std::uint8_t * data, std::size_t size)
{
  Impl::require_encapsulation_header(size);
  const detail::BytePiece piece{data, size};
  if (!impl_->queue(&piece, 1)) {
    return false;
  }
  impl_->pacer->after_write(impl_->participant->burst_flusher());
  return true;
}

bool RawWriter::write_request(
    const RequestHeader & header, const std::uint8_t * data, std::size_t size)
{
  Impl::require_encapsulation_header(size);
  const auto header_bytes =
      detail::encode_request_header(header, detail::is_little_endian_sample(data));
  const detail::BytePiece pieces[] = {
      {data, detail::kEncapsulationHeaderSize},
      {header_bytes.data(), header_bytes.size()},
      {data + detail::kEncapsulationHeaderSize, size - detail::kEncapsulationHeaderSize}};
  if (!impl_->queue(pieces, 3)) {
    return false;
  }
  detail::flush_now(impl_->endpoint->entity());
  return true;
}

std::size_t RawWriter::matched_count() const
{
  dds_publication_matched_status_t status{};
  if (dds_get_publication_matched_status(impl_->endpoint->entity(), &status) < 0) {
    return 0;
  }
  return status.current_count;
}

IncompatibleQosChange RawWriter::take_offered_incompatible_qos()
{
  dds_offered_incompatible_qos_status_t status{};
  IncompatibleQosChange change;
  if (dds_get_offered_incompatible_qos_status(impl_->endpoint->entity(), &status) ==
      DDS_RETCODE_OK) {
    change.count_change = status.total_count_change;
    change.last_policy_kind =
        detail::rmw_policy_kind(static_cast<dds_qos_policy_id_t>(status.last_policy_id));
  }
  return change;
}

bool RawWriter::wait_for_acks(std::int64_t timeout_ns)
{
  const dds_entity_t writer = impl_->endpoint->entity();
  detail::flush_now(writer);
  const dds_return_t ret = dds_wait_for_acks(writer, timeout_ns < 0 ? DDS_INFINITY : timeout_ns);
  if (ret != DDS_RETCODE_OK && ret != DDS_RETCODE_TIMEOUT) {
    throw std::runtime_error(dds_strretcode(ret));
  }
  return ret == DDS_RETCODE_OK;
}

bool RawWriter::has_matched_reader_of_participant(const Guid & guid) const
{
  const dds_entity_t writer = impl_->endpoint->entity();
  for (dds_instance_handle_t handle :
       detail::matched_handles(writer, detail::Endpoint::Kind::kWriter)) {
    dds_builtintopic_endpoint_t * reader = dds_get_matched_subscription_data(writer, handle);
    if (reader == nullptr) {
      continue;
    }
    const bool same_participant =
        std::equal(guid.bytes.begin(), guid.bytes.begin() + 12, reader->key.v);
    dds_builtintopic_free_endpoint(reader);
    if (same_participant) {
      return true;
    }
  }
  return false;
}

std::vector<std::string> RawWriter::matched_reader_user_data() const
{
  std::vector<std::string> result;
  const dds_entity_t writer = impl_->endpoint->entity();
  for (dds_instance_handle_t handle :
       detail::matched_handles(writer, detail::Endpoint::Kind::kWriter)) {
    dds_builtintopic_endpoint_t * reader = dds_get_matched_subscription_data(writer, handle);
    if (reader != nullptr) {
      result.push_back(detail::user_data_of(reader->qos));
      dds_builtintopic_free_endpoint(reader);
    }
  }
  return result;
}

Guid RawWriter::guid() const { return impl_->endpoint->guid(); }
std::uint64_t RawWriter::instance_handle() const { return impl_->endpoint->instance_handle(); }
std::int32_t RawWriter::handle() const { return impl_->endpoint->entity(); }

}  // namespace client_layer::rmw
