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

#include <array>
#include <mutex>
#include <stdexcept>
#include <unordered_map>

#include "byte_order.hpp"
#include "client_layer/rmw/transport.hpp"
#include "endpoint.hpp"
#include "qos_mapping.hpp"
#include "raw_sertype.hpp"
#include "reader_history.hpp"

namespace client_layer::rmw {

struct RawReader::Impl
{
  std::shared_ptr<Participant> participant;
  std::function<void()> on_data;
  std::function<void()> on_matched;
  std::function<void()> on_incompatible_qos;
  std::function<void()> on_sample_lost;
  // Set for a keep-last reader whose user wants to hear of lost samples: its
  // samples wait here instead of in DDS, so that an overflow is counted.
  std::unique_ptr<detail::ReaderHistory> history;
  std::unique_ptr<detail::Endpoint> endpoint;

  // GUIDs of writers by instance handle, so SampleInfo costs one lookup.
  static constexpr std::size_t kMaxCachedWriters = 1024;
  std::mutex writer_guids_mutex;
  std::unordered_map<std::uint64_t, Guid> writer_guids;

  // Samples taken from DDS in one call and not handed out yet: one pass
  // through the reader's locks serves a whole burst.
  static constexpr std::size_t kMaxBatch = 32;
  std::size_t batch_limit = 1;
  std::mutex batch_mutex;  // guards the three members below
  std::array<ddsi_serdata *, kMaxBatch> batch{};
  std::array<dds_sample_info_t, kMaxBatch> batch_info{};
  std::size_t batch_next = 0, batch_end = 0;

  ~Impl()
  {
    endpoint.reset();  // no listener runs after this
    for (std::size_t i = batch_next; i < batch_end; i++) {
      ddsi_serdata_unref(batch[i]);
    }
  }

  // Takes the next valid sample; the caller unrefs it. Null when none.
  ddsi_serdata * take_next(dds_sample_info_t & info)
  {
    if (history) {
      return history->pop(info);
    }
    std::lock_guard<std::mutex> lock(batch_mutex);
    for (;;) {
      if (batch_next == batch_end) {
        const dds_return_t taken = dds_takecdr(
            endpoint->entity(), batch.data(), static_cast<std::uint32_t>(batch_limit),
            batch_info.data(), DDS_ANY_STATE);
        if (taken <= 0) {
          return nullptr;
        }
        batch_next = 0;
        batch_end = static_cast<std::size_t>(taken);
      }
      const std::size_t i = batch_next++;
      if (batch_info[i].valid_data) {
        info = batch_info[i];
        detail::announce_taken(batch[i]);
        return batch[i];
      }
      ddsi_serdata_unref(batch[i]);  // a writer went away: no data
    }
  }

  Guid writer_guid(std::uint64_t handle)
  {
    {
      std::lock_guard<std::mutex> lock(writer_guids_mutex);
      auto it = writer_guids.find(handle);
      if (it != writer_guids.end()) {
        return it->second;
      }
    }
    Guid guid;
    dds_builtintopic_endpoint_t * writer =
        dds_get_matched_publication_data(endpoint->entity(), handle);
    if (writer == nullptr) {
      return guid;  // already gone: leave it zero
    }
    guid = detail::guid_of(writer->key);
    dds_builtintopic_free_endpoint(writer);
    std::lock_guard<std::mutex> lock(writer_guids_mutex);
    if (writer_guids.size() >= kMaxCachedWriters) {
      writer_guids.clear();  // writers come and go; start afresh rather than grow
    }
    writer_guids.emplace(handle, guid);
    return guid;
  }

  void fill(const dds_sample_info_t & dds_info, SampleInfo * info)
  {
    if (info != nullptr) {
      info->source_timestamp = dds_info.source_timestamp;
      info->publication_handle = dds_info.publication_handle;
      info->publication_guid = writer_guid(dds_info.publication_handle);
    }
  }

  static void on_data_available(dds_entity_t reader, void * arg)
  {
    auto * impl = static_cast<Impl *>(arg);
    const bool displaced = impl->history && impl->history->take_from(reader) > 0;
    impl->on_data();
    if (displaced) {
      impl->on_sample_lost();
    }
  }

  static void on_sample_lost_status(dds_entity_t, const dds_sample_lost_status_t, void * arg)
  {
    static_cast<Impl *>(arg)->on_sample_lost();
  }

  static void on_subscription_matched(
      dds_entity_t, const dds_subscription_matched_status_t, void * arg)
  {
    static_cast<Impl *>(arg)->on_matched();
  }

  static void on_requested_incompatible_qos(
      dds_entity_t, const dds_requested_incompatible_qos_status_t, void * arg)
  {
    static_cast<Impl *>(arg)->on_incompatible_qos();
  }
};

RawReader::RawReader(
    std::shared_ptr<Participant> participant, const std::string & dds_topic_name,
    const std::string & dds_type_name, const rmw_qos_profile_t & qos, std::function<void()> on_data,
    const EndpointOptions & options)
    : impl_(std::make_unique<Impl>())
{
  if (!participant) {
    throw std::invalid_argument("RawReader needs a participant");
  }
  impl_->participant = std::move(participant);
  impl_->on_data = std::move(on_data);
  impl_->on_matched = options.on_matched;
  impl_->on_incompatible_qos = options.on_requested_incompatible_qos;
  impl_->on_sample_lost = options.on_sample_lost;
  const bool keep_all = qos.history == RMW_QOS_POLICY_HISTORY_KEEP_ALL;
  // A keep-last reader takes one sample at a time: samples held here would
  // escape its history and outlive newer ones that displace the rest.
  impl_->batch_limit = keep_all ? Impl::kMaxBatch : 1;
  if (!keep_all && impl_->on_data && impl_->on_sample_lost) {
    impl_->history = std::make_unique<detail::ReaderHistory>(qos.depth);
  }
  dds_listener_t * listener = dds_create_listener(impl_.get());
  if (impl_->on_data) {
    dds_lset_data_available_arg(listener, &Impl::on_data_available, impl_.get(), false);
  }
  if (impl_->on_matched) {
    dds_lset_subscription_matched_arg(listener, &Impl::on_subscription_matched, impl_.get(), false);
  }
  if (impl_->on_incompatible_qos) {
    // The status is left set for take_requested_incompatible_qos to read and reset.
    dds_lset_requested_incompatible_qos_arg(
        listener, &Impl::on_requested_incompatible_qos, impl_.get(), false);
  }
  if (impl_->on_sample_lost) {
    // Left set too; lost_count() reads the total.
    dds_lset_sample_lost_arg(listener, &Impl::on_sample_lost_status, impl_.get(), false);
  }
  try {
    impl_->endpoint = std::make_unique<detail::Endpoint>(
        detail::Endpoint::Kind::kReader, impl_->participant->handle(),
        impl_->participant->dds_subscriber(), dds_topic_name, dds_type_name, qos, options,
        listener);
  } catch (...) {
    dds_delete_listener(listener);
    throw;
  }
  dds_delete_listener(listener);
}

RawReader::~RawReader() = default;

bool RawReader::take(std::vector<std::uint8_t> & out, SampleInfo * info)
{
  dds_sample_info_t dds_info;
  ddsi_serdata * serdata = impl_->take_next(dds_info);
  if (serdata == nullptr) {
    return false;
  }
  detail::copy_raw_sample(serdata, out);
  ddsi_serdata_unref(serdata);
  impl_->fill(dds_info, info);
  return true;
}

TakeResult RawReader::take_request(
    std::vector<std::uint8_t> & out, RequestHeader & header, SampleInfo * info)
{
  dds_sample_info_t dds_info;
  ddsi_serdata * serdata = impl_->take_next(dds_info);
  if (serdata == nullptr) {
    return TakeResult::kNone;
  }
  const detail::BytePiece bytes = detail::raw_sample_bytes(serdata);
  constexpr std::size_t kPrefix = detail::kEncapsulationHeaderSize + detail::kRequestHeaderSize;
  if (bytes.size < kPrefix) {
    ddsi_serdata_unref(serdata);
    return TakeResult::kMalformed;
  }
  header = detail::decode_request_header(
      bytes.data + detail::kEncapsulationHeaderSize, detail::is_little_endian_sample(bytes.data));
  out.assign(bytes.data, bytes.data + detail::kEncapsulationHeaderSize);
  out[3] &= 0xfc;  // wire padding bits
  out.insert(out.end(), bytes.data + kPrefix, bytes.data + bytes.size);
  ddsi_serdata_unref(serdata);
  impl_->fill(dds_info, info);
  return TakeResult::kTaken;
}

std::size_t RawReader::matched_count() const
{
  dds_subscription_matched_status_t status{};
  if (dds_get_subscription_matched_status(impl_->endpoint->entity(), &status) < 0) {
    return 0;
  }
  return status.current_count;
}

bool RawReader::matched_writer_user_data(std::uint64_t writer_handle, std::string & user_data) const
{
  dds_builtintopic_endpoint_t * writer =
      dds_get_matched_publication_data(impl_->endpoint->entity(), writer_handle);
  if (writer == nullptr) {
    return false;
  }
  user_data = detail::user_data_of(writer->qos);
  dds_builtintopic_free_endpoint(writer);
  return true;
}

std::vector<std::string> RawReader::matched_writer_user_data() const
{
  std::vector<std::string> result;
  const dds_entity_t reader = impl_->endpoint->entity();
  for (dds_instance_handle_t handle :
       detail::matched_handles(reader, detail::Endpoint::Kind::kReader)) {
    std::string user_data;
    if (matched_writer_user_data(handle, user_data)) {
      result.push_back(std::move(user_data));
    }
  }
  return result;
}

std::uint64_t RawReader::lost_count() const
{
  const std::uint64_t dropped = impl_->history ? impl_->history->dropped() : 0;
  dds_sample_lost_status_t status{};
  if (dds_get_sample_lost_status(impl_->endpoint->entity(), &status) < 0) {
    return dropped;
  }
  return status.total_count + dropped;
}

IncompatibleQosChange RawReader::take_requested_incompatible_qos()
{
  dds_requested_incompatible_qos_status_t status{};
  IncompatibleQosChange change;
  if (dds_get_requested_incompatible_qos_status(impl_->endpoint->entity(), &status) ==
      DDS_RETCODE_OK) {
    change.count_change = status.total_count_change;
    change.last_policy_kind =
        detail::rmw_policy_kind(static_cast<dds_qos_policy_id_t>(status.last_policy_id));
  }
  return change;
}

Guid RawReader::guid() const { return impl_->endpoint->guid(); }
std::int32_t RawReader::handle() const { return impl_->endpoint->entity(); }

}  // namespace client_layer::rmw
