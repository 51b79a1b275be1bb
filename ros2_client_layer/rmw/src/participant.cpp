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

#include <atomic>
#include <mutex>
#include <stdexcept>

#include "burst_flusher.hpp"
#include "client_layer/rmw/graph.hpp"
#include "client_layer/rmw/transport.hpp"
#include "dds/dds.h"
#include "domain.hpp"
#include "endpoint.hpp"
#include "entities_info.hpp"
#include "qos_mapping.hpp"
#include "raw_sertype.hpp"
#include "rcutils/logging_macros.h"
#include "rmw/qos_profiles.h"
#include "security.hpp"

namespace client_layer::rmw {

std::array<std::uint8_t, RMW_GID_STORAGE_SIZE> Guid::to_gid() const
{
  std::array<std::uint8_t, RMW_GID_STORAGE_SIZE> gid{};
  std::copy(bytes.begin(), bytes.end(), gid.begin());
  return gid;
}

namespace {

// ros_discovery_info as ROS 2 Humble writes it: keep last 1, reliable,
// transient local, so late joiners get each participant's latest state.
rmw_qos_profile_t discovery_writer_qos()
{
  rmw_qos_profile_t qos = rmw_qos_profile_default;
  qos.avoid_ros_namespace_conventions = true;
  qos.history = RMW_QOS_POLICY_HISTORY_KEEP_LAST;
  qos.depth = 1;
  qos.durability = RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
  qos.reliability = RMW_QOS_POLICY_RELIABILITY_RELIABLE;
  return qos;
}

struct EntityDeleter
{
  dds_entity_t entity;
  ~EntityDeleter()
  {
    if (entity > 0) {
      dds_delete(entity);
    }
  }
};

}  // namespace

struct Participant::Impl
{
  detail::DomainLease domain;
  EntityDeleter participant;  // deleting it deletes every child entity too
  dds_entity_t publisher = 0;
  dds_entity_t subscriber = 0;
  Guid guid;
  std::atomic<std::uint32_t> last_client_service_id{0};

  std::unique_ptr<detail::Endpoint> discovery_writer;
  std::unique_ptr<GraphCache> graph_cache;  // what discovery has told this participant
  std::mutex graph_mutex;                   // guards the three members below
  detail::EntitiesInfo entities;
  std::uint64_t graph_version = 0;
  std::uint64_t announced_version = 0;

  // Last, so that it stops before anything else of the participant goes.
  detail::BurstFlusher flusher;

  Impl(
      std::uint32_t domain_id, bool localhost_only, dds_entity_t dds_participant,
      const Guid & participant_guid)
      : domain(domain_id, localhost_only),
        participant{dds_participant},
        guid(participant_guid),
        entities(participant_guid)
  {
  }

  // Applies `change` to the graph and announces the new state. Announcing
  // happens outside the lock; whoever writes a state that is no longer the
  // latest writes again, so the last sample written is always the latest.
  template <typename Change>
  void update_graph(Change && change)
  {
    std::vector<std::uint8_t> sample;
    std::uint64_t version = 0;
    {
      std::lock_guard<std::mutex> lock(graph_mutex);
      if (!change(entities)) {
        return;
      }
      version = ++graph_version;
      sample = entities.serialize();
    }
    for (;;) {
      const detail::BytePiece piece{sample.data(), sample.size()};
      ddsi_serdata * serdata = detail::make_raw_serdata(discovery_writer->sertype(), &piece, 1);
      if (serdata != nullptr && dds_writecdr(discovery_writer->entity(), serdata) >= 0) {
        detail::flush_now(discovery_writer->entity());
      }
      std::lock_guard<std::mutex> lock(graph_mutex);
      announced_version = version;
      if (announced_version == graph_version) {
        return;
      }
      version = graph_version;
      sample = entities.serialize();
    }
  }
};

std::shared_ptr<Participant> Participant::create(
    std::uint32_t domain_id, const ParticipantOptions & options)
{
  // The lease must exist before the participant: it creates the domain.
  auto lease = std::make_unique<detail::DomainLease>(domain_id, options.localhost_only);
  detail::QosPtr qos(dds_create_qos());
  const std::string user_data = "enclave=" + options.enclave + ";";
  dds_qset_userdata(qos.get(), user_data.data(), user_data.size());
  if (!detail::configure_security(qos.get(), options.security) && options.security.enforce) {
    throw std::runtime_error(
        "security is enforced, but the enclave's security files in '" + options.security.root_path +
        "' are incomplete");
  }
  const dds_entity_t dds_participant = dds_create_participant(domain_id, qos.get(), nullptr);
  if (dds_participant < 0) {
    RCUTILS_LOG_ERROR_NAMED(
        "rmw_cyclonedds_cpp", "rmw_create_node: failed to create DDS participant");
    throw std::runtime_error(
        "failed to create DDS participant on domain " + std::to_string(domain_id) + ": " +
        dds_strretcode(dds_participant));
  }
  auto impl = std::make_unique<Impl>(
      domain_id, options.localhost_only, dds_participant, detail::entity_guid(dds_participant));
  lease.reset();  // Impl holds its own reference now

  impl->publisher = dds_create_publisher(dds_participant, nullptr, nullptr);
  impl->subscriber = dds_create_subscriber(dds_participant, nullptr, nullptr);
  if (impl->publisher < 0 || impl->subscriber < 0) {
    throw std::runtime_error("failed to create DDS publisher/subscriber");
  }
  impl->discovery_writer = std::make_unique<detail::Endpoint>(
      detail::Endpoint::Kind::kWriter, dds_participant, impl->publisher,
      detail::kDiscoveryTopicName, detail::kDiscoveryTypeName, discovery_writer_qos(),
      EndpointOptions{}, nullptr);
  impl->graph_cache = std::make_unique<GraphCache>(dds_participant, impl->subscriber);
  return std::shared_ptr<Participant>(new Participant(std::move(impl)));
}

Participant::Participant(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Participant::~Participant()
{
  impl_->graph_cache.reset();
  impl_->discovery_writer.reset();
}

std::uint32_t Participant::domain_id() const { return impl_->domain.domain_id(); }
Guid Participant::guid() const { return impl_->guid; }
std::int32_t Participant::handle() const { return impl_->participant.entity; }
std::int32_t Participant::dds_publisher() const { return impl_->publisher; }
std::int32_t Participant::dds_subscriber() const { return impl_->subscriber; }
detail::BurstFlusher & Participant::burst_flusher() { return impl_->flusher; }

const GraphCache & Participant::graph() const { return *impl_->graph_cache; }

std::array<std::uint8_t, 16> Participant::next_client_service_id()
{
  // The participant's GUID prefix, then a big-endian counter in place of the
  // entity id, as ROS 2 Humble's Cyclone middleware forms these ids.
  const std::uint32_t counter = ++impl_->last_client_service_id;
  std::array<std::uint8_t, 16> id{};
  std::copy(impl_->guid.bytes.begin(), impl_->guid.bytes.begin() + 12, id.begin());
  for (int i = 0; i < 4; i++) {
    id[12 + i] = static_cast<std::uint8_t>(counter >> (24 - 8 * i));
  }
  return id;
}

void Participant::add_node(const std::string & node_namespace, const std::string & node_name)
{
  impl_->update_graph(
      [&](detail::EntitiesInfo & info) { return info.add_node(node_namespace, node_name); });
}

void Participant::remove_node(const std::string & node_namespace, const std::string & node_name)
{
  impl_->update_graph(
      [&](detail::EntitiesInfo & info) { return info.remove_node(node_namespace, node_name); });
}

void Participant::add_reader(
    const std::string & node_namespace, const std::string & node_name, const Guid & reader)
{
  impl_->update_graph([&](detail::EntitiesInfo & info) {
    return info.add_endpoint(node_namespace, node_name, reader, true);
  });
}

void Participant::remove_reader(
    const std::string & node_namespace, const std::string & node_name, const Guid & reader)
{
  impl_->update_graph([&](detail::EntitiesInfo & info) {
    return info.remove_endpoint(node_namespace, node_name, reader, true);
  });
}

void Participant::add_writer(
    const std::string & node_namespace, const std::string & node_name, const Guid & writer)
{
  impl_->update_graph([&](detail::EntitiesInfo & info) {
    return info.add_endpoint(node_namespace, node_name, writer, false);
  });
}

void Participant::remove_writer(
    const std::string & node_namespace, const std::string & node_name, const Guid & writer)
{
  impl_->update_graph([&](detail::EntitiesInfo & info) {
    return info.remove_endpoint(node_namespace, node_name, writer, false);
  });
}

}  // namespace client_layer::rmw
