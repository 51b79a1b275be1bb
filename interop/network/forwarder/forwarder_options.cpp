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

#include "forwarder_options.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

namespace link_forwarder {
namespace {

double ParseNumber(const std::string & option, const std::string & text)
{
  errno = 0;
  char * end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE ||
      !std::isfinite(value)) {
    throw OptionError(option + " wants a number, not \"" + text + "\"");
  }
  return value;
}

double ParseProbability(const std::string & option, const std::string & text)
{
  const double value = ParseNumber(option, text);
  if (value < 0.0 || value > 1.0) {
    throw OptionError(option + " wants a probability from 0 to 1, not " + text);
  }
  return value;
}

std::chrono::microseconds ParseMilliseconds(const std::string & option, const std::string & text)
{
  const double value = ParseNumber(option, text);
  // An hour is far beyond any test; the cap keeps the conversion exact.
  if (value < 0.0 || value > 3.6e6) {
    throw OptionError(option + " wants milliseconds from 0 to 3600000, not " + text);
  }
  return std::chrono::microseconds(std::llround(value * 1000.0));
}

std::uint64_t ParseCount(const std::string & option, const std::string & text)
{
  errno = 0;
  char * end = nullptr;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
  if (text.empty() || text[0] == '-' || end != text.c_str() + text.size() || errno == ERANGE) {
    throw OptionError(option + " wants a whole number, not \"" + text + "\"");
  }
  return value;
}

void CheckInterfaceName(const std::string & option, const std::string & name)
{
  // IFNAMSIZ - 1: the kernel's limit on an interface name.
  if (name.empty() || name.size() > 15 || name.find('/') != std::string::npos) {
    throw OptionError(
        option + " wants an interface name of 1 to 15 characters, not \"" + name + "\"");
  }
}

}  // namespace

ForwarderOptions ParseForwarderOptions(const std::vector<std::string> & arguments)
{
  ForwarderOptions options;
  using Setter = std::function<void(const std::string & option, const std::string & value)>;
  const std::map<std::string, Setter> with_value = {
      {"--link-a",
       [&](auto & o, auto & v) {
         CheckInterfaceName(o, v);
         options.link_a = v;
       }},
      {"--link-b",
       [&](auto & o, auto & v) {
         CheckInterfaceName(o, v);
         options.link_b = v;
       }},
      {"--loss",
       [&](auto & o, auto & v) {
         options.a_to_b.loss = options.b_to_a.loss = ParseProbability(o, v);
       }},
      {"--loss-a-to-b", [&](auto & o, auto & v) { options.a_to_b.loss = ParseProbability(o, v); }},
      {"--loss-b-to-a", [&](auto & o, auto & v) { options.b_to_a.loss = ParseProbability(o, v); }},
      {"--delay-ms",
       [&](auto & o, auto & v) {
         options.a_to_b.delay = options.b_to_a.delay = ParseMilliseconds(o, v);
       }},
      {"--jitter-ms",
       [&](auto & o, auto & v) {
         options.a_to_b.jitter = options.b_to_a.jitter = ParseMilliseconds(o, v);
       }},
      {"--max-held-frames",
       [&](auto & o, auto & v) { options.max_held_frames = ParseCount(o, v); }},
      {"--max-held-bytes", [&](auto & o, auto & v) { options.max_held_bytes = ParseCount(o, v); }},
      {"--seed", [&](auto & o, auto & v) { options.seed = ParseCount(o, v); }},
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string & option = arguments[i];
    if (option == "--start-cut") {
      options.start_cut = true;
      continue;
    }
    const auto setter = with_value.find(option);
    if (setter == with_value.end()) {
      throw OptionError("unknown option \"" + option + "\" (--help lists them)");
    }
    if (i + 1 == arguments.size()) {
      throw OptionError(option + " wants a value");
    }
    setter->second(option, arguments[++i]);
  }
  if (options.link_a.empty() || options.link_b.empty()) {
    throw OptionError("--link-a and --link-b name the two links to join");
  }
  if (options.link_a == options.link_b) {
    throw OptionError("--link-a and --link-b name the same interface " + options.link_a);
  }
  if (options.a_to_b.jitter > options.a_to_b.delay) {
    throw OptionError("--jitter-ms may not exceed --delay-ms: a frame cannot leave before it came");
  }
  if (options.max_held_frames == 0 || options.max_held_bytes == 0) {
    throw OptionError("--max-held-frames and --max-held-bytes must be at least 1");
  }
  return options;
}

std::string ForwarderUsage()
{
  return "usage: link_forwarder --link-a IF --link-b IF [options]\n"
         "\n"
         "Forwards every Ethernet frame between two interfaces of this network namespace,\n"
         "both ways, with loss and delay; for a namespace between two test hosts.\n"
         "\n"
         "  --loss P              lose each frame with probability P (0..1), both ways\n"
         "  --loss-a-to-b P       ... only frames from link a to link b\n"
         "  --loss-b-to-a P       ... only frames from link b to link a\n"
         "  --delay-ms MS         hold each frame back MS milliseconds (default 0)\n"
         "  --jitter-ms MS        ... plus or minus up to MS, drawn uniformly per frame;\n"
         "                        frames may overtake each other, as on a real link\n"
         "  --max-held-frames N   at most N frames held back at once (default 4096)\n"
         "  --max-held-bytes N    at most N bytes held back at once (default 16 MiB)\n"
         "  --seed N              seed of the loss and delay draws (default: fresh, printed)\n"
         "  --start-cut           start with the link cut\n"
         "\n"
         "Signals: SIGUSR1 cuts the link (frames held and arriving are dropped), SIGUSR2\n"
         "restores it, SIGHUP prints the counters, SIGTERM and SIGINT print them and end.\n";
}

}  // namespace link_forwarder
