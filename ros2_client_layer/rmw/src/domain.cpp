#include "domain.hpp"

#include <cstdlib>
#include <map>
#include <mutex>
#include <stdexcept>

#include "dds/dds.h"

namespace client_layer::rmw::detail {
namespace {

struct DomainEntry
{
  dds_entity_t handle = 0;
  int references = 0;
};

// Creation and deletion of domains happen under this lock, so that a domain
// being deleted by its last user is never mistaken for one still alive.
std::mutex & registry_mutex()
{
  static auto * mutex = new std::mutex();  // outlives static destructors too
  return *mutex;
}

std::map<std::uint32_t, DomainEntry> & registry()
{
  static auto * domains = new std::map<std::uint32_t, DomainEntry>();  // outlives static dtors
  return *domains;
}

}  // namespace

std::string loopback_domain_config()
{
  // Participant index auto with up to 100 keeps every port valid for domain
  // ids up to 230 (7400 + 250 * id + 11 + 2 * index <= 65535).
  return "<CycloneDDS><Domain Id=\"any\">"
         "<General>"
         "<Interfaces><NetworkInterface address=\"127.0.0.1\" multicast=\"false\"/></Interfaces>"
         "<AllowMulticast>false</AllowMulticast>"
         "</General>"
         "<Discovery>"
         "<ParticipantIndex>auto</ParticipantIndex>"
         "<MaxAutoParticipantIndex>100</MaxAutoParticipantIndex>"
         "<Peers><Peer address=\"127.0.0.1\"/></Peers>"
         "</Discovery>"
         "</Domain></CycloneDDS>";
}

std::string domain_config()
{
  // Writes are batched and the layer's writers decide when their packets go
  // (see burst_flusher.hpp). It comes first: a later source wins, so a user's
  // configuration may still turn batching off.
  static const std::string kWriteBatching =
      "<CycloneDDS><Domain Id=\"any\"><Internal><WriteBatch>true</WriteBatch></Internal>"
      "</Domain></CycloneDDS>";
  const char * uri = std::getenv("CYCLONEDDS_URI");
  if (uri != nullptr && uri[0] != '\0') {
    return kWriteBatching + "," + uri;
  }
  return kWriteBatching + "," + loopback_domain_config();
}

DomainLease::DomainLease(std::uint32_t domain_id) : domain_id_(domain_id)
{
  std::lock_guard<std::mutex> lock(registry_mutex());
  DomainEntry & entry = registry()[domain_id];
  if (entry.references == 0) {
    const dds_entity_t handle = dds_create_domain(domain_id, domain_config().c_str());
    if (handle < 0) {
      registry().erase(domain_id);
      throw std::runtime_error(
          "failed to create DDS domain " + std::to_string(domain_id) + ": " +
          dds_strretcode(handle));
    }
    entry.handle = handle;
  }
  ++entry.references;
}

DomainLease::~DomainLease()
{
  std::lock_guard<std::mutex> lock(registry_mutex());
  auto it = registry().find(domain_id_);
  if (it != registry().end() && --it->second.references == 0) {
    dds_delete(it->second.handle);
    registry().erase(it);
  }
}

}  // namespace client_layer::rmw::detail
