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

// The command line of link_forwarder: the two links it joins and the faults
// it puts on each direction.
#ifndef INTEROP__NETWORK__FORWARDER__FORWARDER_OPTIONS_HPP_
#define INTEROP__NETWORK__FORWARDER__FORWARDER_OPTIONS_HPP_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace link_forwarder {

// What happens to the frames of one direction: each is lost with probability
// `loss`, else held back for a time drawn uniformly from delay +- jitter.
struct Impairment
{
  double loss = 0.0;
  std::chrono::microseconds delay{0};
  std::chrono::microseconds jitter{0};
};

struct ForwarderOptions
{
  std::string link_a;
  std::string link_b;
  Impairment a_to_b;
  Impairment b_to_a;
  // Caps on what is held back at once; a frame beyond either is dropped.
  std::size_t max_held_frames = 4096;
  std::size_t max_held_bytes = 16u << 20;
  // Seeds the loss and delay draws; without one a fresh seed is drawn.
  std::optional<std::uint64_t> seed;
  // Start with the link cut (SIGUSR2 restores it).
  bool start_cut = false;
};

// A command line that cannot be used; what() says why, naming the option.
class OptionError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

// Parses the arguments after the program name. Throws OptionError.
ForwarderOptions ParseForwarderOptions(const std::vector<std::string> & arguments);

// The --help text.
std::string ForwarderUsage();

}  // namespace link_forwarder

#endif  // INTEROP__NETWORK__FORWARDER__FORWARDER_OPTIONS_HPP_
