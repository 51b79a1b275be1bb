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

// The DDS transport under rclcpp: one participant per context, and raw
// readers and writers that move serialized samples (encapsulation header
// included) on DDS topics, with ROS 2 QoS mapped onto DDS QoS exactly as the
// ROS 2 Humble Cyclone DDS middleware maps it.
//
// This header is the contract the rclcpp part of the layer builds on.
// Additions since the first version (all source compatible): EndpointOptions
// (USER_DATA, ignore-local, match notification) as a defaulted last
// constructor argument, SampleInfo::publication_handle, instance_handle(),
// write_request()/take_request() for service samples, lost_count(),
// Participant::next_client_service_id() and Participant::graph(). Service
// details are in service.hpp, the discovered graph in graph.hpp.
#ifndef CLIENT_LAYER__RMW__TRANSPORT_HPP_
#define CLIENT_LAYER__RMW__TRANSPORT_HPP_

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "rmw/types.h"

namespace client_layer::rmw {

// DDS GUID of an entity (16 bytes). ROS 2 Humble carries it in a 24-byte gid,
// zero-padded.
struct Guid
{
  std::array<std::uint8_t, 16> bytes{};
  bool operator==(const Guid & other) const { return bytes == other.bytes; }
  bool operator!=(const Guid & other) const { return !(*this == other); }
  bool operator<(const Guid & other) const { return bytes < other.bytes; }
  // The 24-byte ROS gid: the GUID followed by eight zero bytes.
  std::array<std::uint8_t, RMW_GID_STORAGE_SIZE> to_gid() const;
};

struct SampleInfo
{
  Guid publication_guid;              // writer that sent the sample
  std::int64_t source_timestamp = 0;  // nanoseconds since the epoch
  // Local DDS instance handle of that writer; a service puts it in the second
  // half of rmw_request_id_t::writer_guid (see service.hpp).
  std::uint64_t publication_handle = 0;
};

// The 16 bytes the ROS 2 Cyclone middleware puts ahead of the fields of every
// service request and reply (in the sample's byte order, right after the
// encapsulation header): the client's request-writer instance handle and the
// request's sequence number.
struct RequestHeader
{
  std::uint64_t guid = 0;
  std::int64_t sequence_number = 0;
};

enum class TakeResult
{
  kNone,       // nothing to take
  kTaken,      // `out` holds a sample
  kMalformed,  // a sample was taken and dropped: too short for its header
};

// Per-endpoint settings beyond the ROS QoS profile.
struct EndpointOptions
{
  // USER_DATA QoS of the reader/writer, e.g. "clientid=<id>;" for services.
  std::string user_data;
  // Readers only: do not receive samples from writers of the same participant.
  bool ignore_local_publications = false;
  // Called from a middleware thread whenever the set of matched remote
  // endpoints changes; like on_data it must only signal, never block.
  std::function<void()> on_matched;
  // Writers only: called from a middleware thread when a reader requesting
  // incompatible QoS is discovered; like on_data it must only signal.
  std::function<void()> on_offered_incompatible_qos;
  // Readers only: the same for a writer offering incompatible QoS.
  std::function<void()> on_requested_incompatible_qos;
  // Readers only: called from a middleware thread when samples were lost
  // (see RawReader::lost_count); like on_data it must only signal.
  std::function<void()> on_sample_lost;
};

// Endpoints found with incompatible QoS since the last look.
struct IncompatibleQosChange
{
  std::int32_t count_change = 0;
  rmw_qos_policy_kind_t last_policy_kind = RMW_QOS_POLICY_INVALID;
};

class Participant;
namespace detail {
class BurstFlusher;
}  // namespace detail
class GraphCache;  // graph.hpp

// A writer of raw serialized samples on one DDS topic.
class RawWriter
{
public:
  // Throws std::invalid_argument when the QoS cannot be mapped (an UNKNOWN
  // policy, a KEEP_LAST depth above INT32_MAX) and std::runtime_error when
  // DDS refuses the topic or writer. (Cyclone 0.10 accepts a second type on
  // an existing topic name.)
  RawWriter(
      std::shared_ptr<Participant> participant, const std::string & dds_topic_name,
      const std::string & dds_type_name, const rmw_qos_profile_t & qos,
      const EndpointOptions & options = {});
  ~RawWriter();
  RawWriter(const RawWriter &) = delete;
  RawWriter & operator=(const RawWriter &) = delete;

  // `data` starts with the encapsulation header. Returns false when the DDS
  // write failed (the caller turns that into rclcpp's exception). A sample
  // goes out at once unless the writer is bursting (writing again within
  // 20 us): then samples share packets and leave within about 200 us.
  // Throws std::invalid_argument, writing nothing, when `size` is below the
  // 4 bytes of the encapsulation header: Cyclone receivers reject the packet
  // of such a sample, and every later sample of the writer with it.
  bool write(const std::uint8_t * data, std::size_t size);
  // Writes a service sample: `data` (encapsulation header + fields) with
  // `header` inserted after the encapsulation header, in its byte order.
  // Service samples always go out at once. Throws like write().
  bool write_request(const RequestHeader & header, const std::uint8_t * data, std::size_t size);
  std::size_t matched_count() const;
  // Reads and resets the offered-incompatible-QoS status.
  IncompatibleQosChange take_offered_incompatible_qos();
  // Sends what is queued, then waits until every matched reliable reader
  // acknowledged every sample (a negative timeout waits without limit);
  // false on timeout. Throws std::runtime_error when DDS fails.
  bool wait_for_acks(std::int64_t timeout_ns);
  // True when a matched reader belongs to the participant with this GUID prefix
  // (first 12 bytes of `guid`).
  bool has_matched_reader_of_participant(const Guid & guid) const;
  // USER_DATA of every matched reader.
  std::vector<std::string> matched_reader_user_data() const;
  Guid guid() const;
  // DDS instance handle of this writer (a client's request header guid).
  std::uint64_t instance_handle() const;
  std::int32_t handle() const;  // dds_entity_t

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A reader of raw serialized samples. `on_data` is called from a middleware
// thread whenever new samples may be available; it must only signal (never
// take samples or block).
class RawReader
{
public:
  // Throws like RawWriter.
  RawReader(
      std::shared_ptr<Participant> participant, const std::string & dds_topic_name,
      const std::string & dds_type_name, const rmw_qos_profile_t & qos,
      std::function<void()> on_data, const EndpointOptions & options = {});
  ~RawReader();
  RawReader(const RawReader &) = delete;
  RawReader & operator=(const RawReader &) = delete;

  // Takes the oldest available sample into `out`; false when there is none.
  // Samples come exactly as written (wire padding removed).
  bool take(std::vector<std::uint8_t> & out, SampleInfo * info = nullptr);
  // Takes a service sample: `header` gets its request header and `out` the
  // encapsulation header followed by the fields, ready to deserialize.
  TakeResult take_request(
      std::vector<std::uint8_t> & out, RequestHeader & header, SampleInfo * info = nullptr);
  std::size_t matched_count() const;
  // USER_DATA of the matched writer with this instance handle; false when no
  // such writer is matched (any more).
  bool matched_writer_user_data(std::uint64_t writer_handle, std::string & user_data) const;
  // USER_DATA of every matched writer.
  std::vector<std::string> matched_writer_user_data() const;
  // Samples lost before the user took them: those DDS reports lost on the
  // way (its sample-lost status) and, for a keep-last reader with an
  // on_sample_lost callback, those its full history dropped for newer ones.
  // (Such a reader keeps its history in the layer, see reader_history.hpp;
  // samples past a writer's lifespan stay in it until taken.)
  std::uint64_t lost_count() const;
  // Reads and resets the requested-incompatible-QoS status.
  IncompatibleQosChange take_requested_incompatible_qos();
  Guid guid() const;
  std::int32_t handle() const;  // dds_entity_t

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// DDS Security for a participant, as rclcpp's init settled it from the
// ROS_SECURITY_* variables and the enclave (rclcpp/src/security.hpp).
struct SecurityOptions
{
  // ROS_SECURITY_STRATEGY=Enforce with security on: no participant rather
  // than an unsecured one.
  bool enforce = false;
  // The enclave's directory in the keystore, holding the certificates,
  // governance and permissions; empty: the participant is not secured.
  std::string root_path;
};

// How a context's participant joins its domain.
struct ParticipantOptions
{
  // Announced in the participant's USER_DATA as "enclave=<enclave>;".
  std::string enclave = "/";
  // ROS_LOCALHOST_ONLY=1: 127.0.0.1 is the domain's interface, whatever
  // CYCLONEDDS_URI adds. Every participant of a domain in one process must
  // agree on it.
  bool localhost_only = false;
  SecurityOptions security;
};

// One DDS participant, shared by every node of a context.
class Participant : public std::enable_shared_from_this<Participant>
{
public:
  // Creates the domain (if this process has no participant in it yet) and
  // the participant. The domain takes Cyclone DDS's defaults, as Humble's
  // middleware does, unless CYCLONEDDS_URI names a configuration. With a
  // security root the participant is secured with the enclave's files; when
  // they are incomplete it is not, unless enforced (see security.hpp).
  // Throws std::runtime_error with a clear message on failure.
  static std::shared_ptr<Participant> create(
      std::uint32_t domain_id, const ParticipantOptions & options = {});
  ~Participant();
  Participant(const Participant &) = delete;
  Participant & operator=(const Participant &) = delete;

  std::uint32_t domain_id() const;
  Guid guid() const;
  std::int32_t handle() const;          // dds_entity_t
  std::int32_t dds_publisher() const;   // parent of every writer
  std::int32_t dds_subscriber() const;  // parent of every reader

  // The ROS graph as this participant has discovered it (graph.hpp).
  const GraphCache & graph() const;

  // A new id for a client or service of this participant (see service.hpp).
  std::array<std::uint8_t, 16> next_client_service_id();

  // ROS graph announcement (the "ros_discovery_info" topic): every call
  // publishes this participant's complete ParticipantEntitiesInfo, as ROS 2
  // does whenever a node, reader or writer comes or goes.
  void add_node(const std::string & node_namespace, const std::string & node_name);
  void remove_node(const std::string & node_namespace, const std::string & node_name);
  void add_reader(
      const std::string & node_namespace, const std::string & node_name, const Guid & reader);
  void remove_reader(
      const std::string & node_namespace, const std::string & node_name, const Guid & reader);
  void add_writer(
      const std::string & node_namespace, const std::string & node_name, const Guid & writer);
  void remove_writer(
      const std::string & node_namespace, const std::string & node_name, const Guid & writer);

private:
  friend class RawWriter;
  detail::BurstFlusher & burst_flusher();

  struct Impl;
  explicit Participant(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// A Cyclone DDS configuration that keeps a domain on loopback: 127.0.0.1
// only, no multicast, unicast discovery of up to 101 participant indices on
// 127.0.0.1. The benchmarks give it (as CYCLONEDDS_URI) to the layer and to
// other Cyclone programs, e.g. ddsperf, so that all of them find each other
// and stay on loopback.
std::string loopback_domain_configuration();

// DDS topic names for ROS names, as ROS 2 forms them: "/a/b" -> "rt/a/b",
// services "rq/a/bRequest" and "rr/a/bReply". (With
// avoid_ros_namespace_conventions the caller uses the name as is, plus the
// "Request"/"Reply" suffix for services.)
std::string topic_to_dds(const std::string & fully_qualified_name);
std::string service_request_to_dds(const std::string & fully_qualified_name);
std::string service_reply_to_dds(const std::string & fully_qualified_name);

}  // namespace client_layer::rmw

#endif  // CLIENT_LAYER__RMW__TRANSPORT_HPP_
