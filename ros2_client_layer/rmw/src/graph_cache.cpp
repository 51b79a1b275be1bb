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

#include <algorithm>
#include <map>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "client_layer/rmw/graph.hpp"
#include "client_layer/type_support.hpp"
#include "dds/dds.h"
#include "endpoint.hpp"
#include "entities_info.hpp"
#include "raw_sertype.hpp"
#include "rmw/qos_profiles.h"
#include "rmw_dds_common/msg/participant_entities_info.hpp"

namespace client_layer::rmw {
namespace {

// Announcements are keyless: every participant writes the same instance, so
// the reader keeps all of them until the listener has taken them.
rmw_qos_profile_t discovery_reader_qos()
{
  rmw_qos_profile_t qos = rmw_qos_profile_default;
  qos.avoid_ros_namespace_conventions = true;
  qos.history = RMW_QOS_POLICY_HISTORY_KEEP_ALL;
  qos.durability = RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
  qos.reliability = RMW_QOS_POLICY_RELIABILITY_RELIABLE;
  return qos;
}

Guid guid_of_gid(const rmw_dds_common::msg::Gid & gid)
{
  Guid guid;
  std::copy(gid.data.begin(), gid.data.begin() + guid.bytes.size(), guid.bytes.begin());
  return guid;
}

constexpr std::uint32_t kTakeBatch = 16;

}  // namespace

struct GraphCache::Impl
{
  dds_entity_t participant_reader = 0;
  dds_entity_t publication_reader = 0;
  dds_entity_t subscription_reader = 0;
  std::unique_ptr<detail::Endpoint> announcement_reader;

  // Held while a reader is drained and applied, so that two middleware
  // threads draining one reader apply its samples in order.
  mutable std::mutex mutex;
  std::map<dds_instance_handle_t, DiscoveredEndpoint> endpoints;  // by DDS instance
  std::map<dds_instance_handle_t, Guid> participants;             // alive ones
  std::map<Guid, std::vector<DiscoveredNode>> nodes;              // by participant
  std::uint64_t malformed = 0;

  ~Impl()
  {
    // Deleting a reader waits for its listener calls to finish.
    announcement_reader.reset();
    for (dds_entity_t reader : {subscription_reader, publication_reader, participant_reader}) {
      if (reader > 0) {
        dds_delete(reader);
      }
    }
  }

  // Takes built-in topic samples in batches and hands each to `apply`.
  template <typename SampleT, typename Apply>
  static void drain_builtin(dds_entity_t reader, Apply && apply)
  {
    void * samples[kTakeBatch] = {};
    dds_sample_info_t infos[kTakeBatch];
    for (;;) {
      const dds_return_t n = dds_take(reader, samples, infos, kTakeBatch, kTakeBatch);
      if (n <= 0) {
        return;
      }
      for (dds_return_t i = 0; i < n; ++i) {
        const bool alive = infos[i].valid_data && infos[i].instance_state == DDS_IST_ALIVE;
        apply(infos[i].instance_handle, alive ? static_cast<const SampleT *>(samples[i]) : nullptr);
      }
      dds_return_loan(reader, samples, n);
    }
  }

  void drain_endpoints(dds_entity_t reader, bool is_reader)
  {
    std::lock_guard<std::mutex> lock(mutex);
    drain_builtin<dds_builtintopic_endpoint_t>(
        reader, [&](dds_instance_handle_t handle, const dds_builtintopic_endpoint_t * sample) {
          if (sample == nullptr) {
            endpoints.erase(handle);
            return;
          }
          DiscoveredEndpoint & endpoint = endpoints[handle];
          endpoint.topic_name = sample->topic_name != nullptr ? sample->topic_name : "";
          endpoint.type_name = sample->type_name != nullptr ? sample->type_name : "";
          endpoint.guid = detail::guid_of(sample->key);
          endpoint.participant = detail::guid_of(sample->participant_key);
          endpoint.is_reader = is_reader;
        });
  }

  void drain_participants(dds_entity_t reader)
  {
    std::lock_guard<std::mutex> lock(mutex);
    drain_builtin<dds_builtintopic_participant_t>(
        reader, [&](dds_instance_handle_t handle, const dds_builtintopic_participant_t * sample) {
          if (sample != nullptr) {
            participants[handle] = detail::guid_of(sample->key);
            return;
          }
          // A participant that left takes its nodes along.
          auto it = participants.find(handle);
          if (it != participants.end()) {
            nodes.erase(it->second);
            participants.erase(it);
          }
        });
  }

  void drain_announcements(dds_entity_t reader)
  {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<std::uint8_t> bytes;
    ddsi_serdata * serdata = nullptr;
    dds_sample_info_t info;
    while (dds_takecdr(reader, &serdata, 1, &info, DDS_ANY_STATE) == 1) {
      if (info.valid_data) {
        detail::copy_raw_sample(serdata, bytes);
        apply_announcement(bytes);
      }
      ddsi_serdata_unref(serdata);
    }
  }

  void apply_announcement(const std::vector<std::uint8_t> & bytes)
  {
    rmw_dds_common::msg::ParticipantEntitiesInfo info;
    if (!deserialize_message(bytes.data(), bytes.size(), info)) {
      ++malformed;
      return;
    }
    std::vector<DiscoveredNode> announced;
    announced.reserve(info.node_entities_info_seq.size());
    for (auto & node : info.node_entities_info_seq) {
      announced.push_back({std::move(node.node_namespace), std::move(node.node_name)});
    }
    nodes[guid_of_gid(info.gid)] = std::move(announced);
  }

  static void on_publication(dds_entity_t reader, void * arg)
  {
    static_cast<Impl *>(arg)->drain_endpoints(reader, false);
  }
  static void on_subscription(dds_entity_t reader, void * arg)
  {
    static_cast<Impl *>(arg)->drain_endpoints(reader, true);
  }
  // Listeners get the reader: they may run before the constructor has stored it.
  static void on_participant(dds_entity_t reader, void * arg)
  {
    static_cast<Impl *>(arg)->drain_participants(reader);
  }
  static void on_announcement(dds_entity_t reader, void * arg)
  {
    static_cast<Impl *>(arg)->drain_announcements(reader);
  }
};

namespace {

dds_entity_t create_builtin_reader(
    dds_entity_t participant, dds_entity_t topic, dds_on_data_available_fn on_data, void * arg)
{
  dds_listener_t * listener = dds_create_listener(arg);
  dds_lset_data_available(listener, on_data);
  const dds_entity_t reader = dds_create_reader(participant, topic, nullptr, listener);
  dds_delete_listener(listener);
  if (reader < 0) {
    throw std::runtime_error(
        std::string("failed to create a built-in topic reader: ") + dds_strretcode(reader));
  }
  return reader;
}

}  // namespace

GraphCache::GraphCache(std::int32_t dds_participant, std::int32_t dds_subscriber)
    : impl_(std::make_unique<Impl>())
{
  Impl * impl = impl_.get();
  // Participants first: nodes of a participant are dropped when it leaves.
  impl->participant_reader = create_builtin_reader(
      dds_participant, DDS_BUILTIN_TOPIC_DCPSPARTICIPANT, &Impl::on_participant, impl);
  impl->publication_reader = create_builtin_reader(
      dds_participant, DDS_BUILTIN_TOPIC_DCPSPUBLICATION, &Impl::on_publication, impl);
  impl->subscription_reader = create_builtin_reader(
      dds_participant, DDS_BUILTIN_TOPIC_DCPSSUBSCRIPTION, &Impl::on_subscription, impl);

  dds_listener_t * listener = dds_create_listener(impl);
  dds_lset_data_available(listener, &Impl::on_announcement);
  try {
    impl->announcement_reader = std::make_unique<detail::Endpoint>(
        detail::Endpoint::Kind::kReader, dds_participant, dds_subscriber,
        detail::kDiscoveryTopicName, detail::kDiscoveryTypeName, discovery_reader_qos(),
        EndpointOptions{}, listener);
  } catch (...) {
    dds_delete_listener(listener);
    throw;
  }
  dds_delete_listener(listener);

  // Whatever arrived before the listeners were in place.
  impl->drain_participants(impl->participant_reader);
  impl->drain_endpoints(impl->publication_reader, false);
  impl->drain_endpoints(impl->subscription_reader, true);
  impl->drain_announcements(impl->announcement_reader->entity());
}

GraphCache::~GraphCache() = default;

std::size_t GraphCache::count(const std::string & dds_topic_name, bool readers) const
{
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return static_cast<std::size_t>(
      std::count_if(impl_->endpoints.begin(), impl_->endpoints.end(), [&](const auto & entry) {
        return entry.second.is_reader == readers && entry.second.topic_name == dds_topic_name;
      }));
}

std::vector<DiscoveredEndpoint> GraphCache::endpoints() const
{
  std::vector<DiscoveredEndpoint> result;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  result.reserve(impl_->endpoints.size());
  for (const auto & entry : impl_->endpoints) {
    result.push_back(entry.second);
  }
  return result;
}

std::vector<DiscoveredNode> GraphCache::nodes() const
{
  std::vector<DiscoveredNode> result;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  for (const auto & entry : impl_->nodes) {
    result.insert(result.end(), entry.second.begin(), entry.second.end());
  }
  return result;
}

std::uint64_t GraphCache::malformed_announcements() const
{
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->malformed;
}

}  // namespace client_layer::rmw
