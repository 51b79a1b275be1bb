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

// The resident set any node on this machine's Cyclone DDS pays before it does
// anything: the libraries loaded, then one participant on the layer's
// loopback configuration, through Cyclone's C API alone (no rclcpp, no
// messages). Compare a node's RSS with these figures.
//   layer_rss_floor
// Domain: ROS_DOMAIN_ID (default 0).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "client_layer/rmw/transport.hpp"
#include "dds/dds.h"

namespace {

// A "kB" line of /proc/self/status, in MiB.
double status_mib(const std::string & key)
{
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key + ":", 0) == 0) {
      return std::stod(line.substr(key.size() + 1)) / 1024.0;
    }
  }
  return 0.0;
}

void print_rss(const char * stage)
{
  std::printf(
      "rss floor: %s: %.1f MiB (file-backed %.1f MiB, anonymous %.1f MiB)\n", stage,
      status_mib("VmRSS"), status_mib("RssFile"), status_mib("RssAnon"));
}

}  // namespace

int main()
{
  print_rss("Cyclone DDS loaded");
  const char * domain_variable = std::getenv("ROS_DOMAIN_ID");
  const auto domain_id =
      static_cast<dds_domainid_t>(domain_variable != nullptr ? std::atoi(domain_variable) : 0);
  const std::string config = client_layer::rmw::loopback_domain_configuration();
  const dds_entity_t domain = dds_create_domain(domain_id, config.c_str());
  const dds_entity_t participant = dds_create_participant(domain_id, nullptr, nullptr);
  if (domain < 0 || participant < 0) {
    std::fprintf(stderr, "could not create a participant on domain %u\n", domain_id);
    return 1;
  }
  print_rss("one participant");
  dds_delete(participant);
  dds_delete(domain);
  return 0;
}
