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

// Process-wide DDS domains. Every participant of a domain in this process
// shares one Cyclone domain instance: the first participant creates it with
// the layer's configuration, the last one deletes it.
//
// The configuration is Humble's (rmw_cyclonedds_cpp): Cyclone DDS's own
// defaults (an interface it picks, multicast discovery, the standard ports)
// unless CYCLONEDDS_URI says otherwise, with 127.0.0.1 as the interface put
// before it when ROS_LOCALHOST_ONLY=1.
#ifndef CLIENT_LAYER__RMW__DOMAIN_HPP_
#define CLIENT_LAYER__RMW__DOMAIN_HPP_

#include <cstdint>
#include <string>

namespace client_layer::rmw::detail {

// Loopback-only, unicast-only discovery: 127.0.0.1 as the only interface, no
// multicast at all, and SPDP sent to the participant-index ports 0..100 of
// 127.0.0.1, so that up to 101 processes per domain find each other.
std::string loopback_domain_config();

// The configuration a new domain gets: write batching on, then, for a
// localhost-only domain, 127.0.0.1 as the interface, then CYCLONEDDS_URI
// (empty or unset: nothing, so Cyclone's defaults).
std::string domain_config(bool localhost_only);

// Holds a reference on a domain for as long as it lives.
class DomainLease
{
public:
  // Throws std::runtime_error when the domain cannot be created, or when it
  // exists in this process with the other localhost-only setting, after
  // logging it as Humble's middleware does.
  DomainLease(std::uint32_t domain_id, bool localhost_only);
  ~DomainLease();
  DomainLease(const DomainLease &) = delete;
  DomainLease & operator=(const DomainLease &) = delete;

  std::uint32_t domain_id() const { return domain_id_; }

private:
  std::uint32_t domain_id_;
};

}  // namespace client_layer::rmw::detail

#endif  // CLIENT_LAYER__RMW__DOMAIN_HPP_
