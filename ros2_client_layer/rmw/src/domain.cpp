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

#include "domain.hpp"

#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "dds/dds.h"
#include "rcutils/logging_macros.h"

namespace client_layer::rmw::detail {
namespace {

struct DomainEntry
{
  dds_entity_t handle = 0;
  int references = 0;
  bool localhost_only = false;
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

std::string domain_config(bool localhost_only)
{
  // Writes are batched and the layer's writers decide when their packets go
  // (see burst_flusher.hpp). It comes first: a later source wins, so a user's
  // configuration may still turn batching off.
  static const std::string kWriteBatching =
      "<CycloneDDS><Domain Id=\"any\"><Internal><WriteBatch>true</WriteBatch></Internal>"
      "</Domain></CycloneDDS>";
  // rmw_cyclonedds_cpp's fragment, word for word: the interface is named
  // before the user's configuration, which may add to it.
  static const std::string kLocalhostOnly =
      "<CycloneDDS><Domain><General><Interfaces><NetworkInterface address=\"127.0.0.1\"/>"
      "</Interfaces></General></Domain></CycloneDDS>";
  std::string config = kWriteBatching + ",";
  if (localhost_only) {
    config += kLocalhostOnly + ",";
  }
  const char * uri = std::getenv("CYCLONEDDS_URI");
  if (uri != nullptr) {
    config += uri;  // empty fragments are ignored, as are trailing commas
  }
  return config;
}

namespace {

// Takes a reference on the domain, creating it for the first one; returns
// what Humble's middleware logs when that fails (nullopt on success).
std::optional<std::string> acquire_domain(std::uint32_t domain_id, bool localhost_only)
{
  std::lock_guard<std::mutex> lock(registry_mutex());
  DomainEntry & entry = registry()[domain_id];
  if (entry.references == 0) {
    const dds_entity_t handle = dds_create_domain(domain_id, domain_config(localhost_only).c_str());
    if (handle < 0) {
      registry().erase(domain_id);
      return std::string("rmw_create_node: failed to create domain, error ") +
             dds_strretcode(handle);
    }
    entry.handle = handle;
    entry.localhost_only = localhost_only;
  } else if (entry.localhost_only != localhost_only) {
    return std::string(
        "rmw_create_node: attempt at creating localhost-only and non-localhost-only nodes in "
        "the same domain");
  }
  ++entry.references;
  return std::nullopt;
}

}  // namespace

DomainLease::DomainLease(std::uint32_t domain_id, bool localhost_only) : domain_id_(domain_id)
{
  if (const auto failure = acquire_domain(domain_id, localhost_only)) {
    // Logged outside the registry's lock: a log line may be published.
    RCUTILS_LOG_ERROR_NAMED("rmw_cyclonedds_cpp", "%s", failure->c_str());
    throw std::runtime_error(*failure);
  }
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
