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

// A second process for the transport tests. Runs until its stdin closes.
//   rmw_test_peer echo IN OUT [ENCLAVE_DIR]
//                                every sample taken from IN is written to OUT;
//                                with ENCLAVE_DIR, secured with that enclave
//   rmw_test_peer watch TOPIC    prints "sample <body as hex>" for every
//                                sample taken from TOPIC
//   rmw_test_peer discover N     prints "matched <ms>" once N-1 other peers
//                                are matched both ways on rt/presence
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "client_layer/rmw/transport.hpp"
#include "rmw/qos_profiles.h"
#include "test_support.hpp"

using client_layer::rmw::Participant;
using client_layer::rmw::RawReader;
using client_layer::rmw::RawWriter;
namespace test = client_layer::rmw::test;

namespace {

std::atomic<bool> stdin_open{true};

void watch_stdin()
{
  char buffer[64];
  while (read(STDIN_FILENO, buffer, sizeof(buffer)) > 0) {
  }
  stdin_open = false;
}

int echo(const std::string & in_topic, const std::string & out_topic, const char * enclave_dir)
{
  client_layer::rmw::ParticipantOptions options;
  if (enclave_dir != nullptr) {
    options.security.root_path = enclave_dir;
    options.security.enforce = true;
  }
  auto participant = Participant::create(test::test_domain_id(), options);
  const rmw_qos_profile_t qos = test::reliable_keep_last(1000);
  RawWriter writer(participant, out_topic, test::kBytesType, qos);
  RawReader reader(participant, in_topic, test::kBytesType, qos, nullptr);
  std::printf("ready\n");
  std::fflush(stdout);
  std::vector<std::uint8_t> sample;
  while (stdin_open) {
    if (reader.take(sample)) {
      writer.write(sample.data(), sample.size());
    } else {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }
  return 0;
}

int watch(const std::string & topic)
{
  auto participant = Participant::create(test::test_domain_id());
  RawReader reader(participant, topic, test::kBytesType, test::reliable_keep_last(1000), nullptr);
  std::printf("ready\n");
  std::fflush(stdout);
  std::vector<std::uint8_t> sample;
  while (stdin_open) {
    if (!reader.take(sample)) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      continue;
    }
    std::string hex;
    for (std::size_t i = 4; i < sample.size(); ++i) {  // after the encapsulation header
      char digits[3];
      std::snprintf(digits, sizeof(digits), "%02x", sample[i]);
      hex += digits;
    }
    std::printf("sample %s\n", hex.c_str());
    std::fflush(stdout);
  }
  return 0;
}

int discover(std::size_t peers)
{
  const auto start = std::chrono::steady_clock::now();
  auto participant = Participant::create(test::test_domain_id());
  RawWriter writer(participant, "rt/presence", test::kBytesType, rmw_qos_profile_default);
  RawReader reader(participant, "rt/presence", test::kBytesType, rmw_qos_profile_default, nullptr);
  // Own writer and reader match each other too.
  const bool matched = test::wait_until(
      [&] { return writer.matched_count() >= peers && reader.matched_count() >= peers; },
      std::chrono::seconds(30));
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  std::printf(
      "%s %lld\n", matched ? "matched" : "timeout", static_cast<long long>(elapsed.count()));
  std::fflush(stdout);
  while (stdin_open) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return matched ? 0 : 1;
}

}  // namespace

int main(int argc, char ** argv)
{
  std::thread(watch_stdin).detach();
  if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "echo") == 0) {
    return echo(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
  }
  if (argc == 3 && std::strcmp(argv[1], "watch") == 0) {
    return watch(argv[2]);
  }
  if (argc == 3 && std::strcmp(argv[1], "discover") == 0) {
    return discover(std::stoul(argv[2]));
  }
  std::fprintf(stderr, "usage: %s echo IN OUT [ENCLAVE_DIR] | watch TOPIC | discover N\n", argv[0]);
  return 2;
}
