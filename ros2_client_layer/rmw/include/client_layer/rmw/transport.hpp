// The DDS transport under rclcpp: one participant per context, and raw
// readers and writers that move serialized samples (encapsulation header
// included) on DDS topics, with ROS 2 QoS mapped onto DDS QoS.
//
// This header is the contract the rclcpp part of the layer builds on.
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
};

struct SampleInfo
{
  Guid publication_guid;        // writer that sent the sample
  std::int64_t source_timestamp = 0;  // nanoseconds since the epoch
};

class Participant;

// A writer of raw serialized samples on one DDS topic.
class RawWriter
{
public:
  RawWriter(
    std::shared_ptr<Participant> participant, const std::string & dds_topic_name,
    const std::string & dds_type_name, const rmw_qos_profile_t & qos);
  ~RawWriter();
  RawWriter(const RawWriter &) = delete;
  RawWriter & operator=(const RawWriter &) = delete;

  // `data` starts with the encapsulation header. Returns false when the DDS
  // write failed (the caller turns that into rclcpp's exception).
  bool write(const std::uint8_t * data, std::size_t size);
  std::size_t matched_count() const;
  // True when a matched reader belongs to the participant with this GUID prefix
  // (first 12 bytes of `guid`); used before sending a service reply.
  bool has_matched_reader_of_participant(const Guid & guid) const;
  Guid guid() const;

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
  RawReader(
    std::shared_ptr<Participant> participant, const std::string & dds_topic_name,
    const std::string & dds_type_name, const rmw_qos_profile_t & qos,
    std::function<void()> on_data);
  ~RawReader();
  RawReader(const RawReader &) = delete;
  RawReader & operator=(const RawReader &) = delete;

  // Takes the oldest available sample into `out`; false when there is none.
  bool take(std::vector<std::uint8_t> & out, SampleInfo * info = nullptr);
  std::size_t matched_count() const;
  Guid guid() const;

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// One DDS participant, shared by every node of a context.
class Participant : public std::enable_shared_from_this<Participant>
{
public:
  // Creates the domain and participant. Unless CYCLONEDDS_URI is set, the
  // domain is configured for loopback-only unicast discovery on 127.0.0.1.
  // Throws std::runtime_error with a clear message on failure.
  static std::shared_ptr<Participant> create(std::uint32_t domain_id, const std::string & enclave);
  ~Participant();

  std::uint32_t domain_id() const;
  Guid guid() const;
  std::int32_t handle() const;  // dds_entity_t

  // ROS graph announcement (the "ros_discovery_info" topic).
  void add_node(const std::string & node_namespace, const std::string & node_name);
  void remove_node(const std::string & node_namespace, const std::string & node_name);
  void add_reader(const std::string & node_namespace, const std::string & node_name, const Guid & reader);
  void remove_reader(const std::string & node_namespace, const std::string & node_name, const Guid & reader);
  void add_writer(const std::string & node_namespace, const std::string & node_name, const Guid & writer);
  void remove_writer(const std::string & node_namespace, const std::string & node_name, const Guid & writer);

private:
  struct Impl;
  explicit Participant(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// DDS topic names for ROS names, as ROS 2 forms them: "/a/b" -> "rt/a/b",
// services "rq/a/bRequest" and "rr/a/bReply".
std::string topic_to_dds(const std::string & fully_qualified_name);
std::string service_request_to_dds(const std::string & fully_qualified_name);
std::string service_reply_to_dds(const std::string & fully_qualified_name);

}  // namespace client_layer::rmw

#endif  // CLIENT_LAYER__RMW__TRANSPORT_HPP_
