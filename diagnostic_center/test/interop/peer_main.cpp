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

// The interoperability peer: see peer_modes.hpp.
#include <cstdio>
#include <cstring>
#include <exception>

#include "peer_modes.hpp"

namespace {

struct Mode
{
  const char * name;
  int (*run)(int argc, char ** argv);
};

constexpr Mode kModes[] = {
    {"echo", protocol_peer::RunEcho},
    {"call", protocol_peer::RunCall},
    {"pub", protocol_peer::RunPublisher},
    {"sub", protocol_peer::RunSubscriber},
};

}  // namespace

int main(int argc, char ** argv)
{
  if (argc >= 2) {
    for (const Mode & mode : kModes) {
      if (std::strcmp(argv[1], mode.name) == 0) {
        try {
          return mode.run(argc - 1, argv + 1);
        } catch (const std::exception & e) {
          std::fprintf(stderr, "peer: %s failed: %s\n", mode.name, e.what());
          return 2;
        }
      }
    }
  }
  std::fprintf(
      stderr,
      "usage: %s echo | call | pub <name> <qos> <count> [late] | sub <name> <qos> <count>\n",
      argv[0]);
  return 2;
}
