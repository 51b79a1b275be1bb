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

// Values that the driving sub-commands take from the command line or a
// scenario: module topics and event stamps.
#ifndef DIAGCTL__EVENT_VALUES_HPP_
#define DIAGCTL__EVENT_VALUES_HPP_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace diagctl {

// One of the node's module topics: "arm_driver" or "arm_driver_diag_topic" to "arm_driver_diag_topic";
// nothing when it names no module.
std::optional<std::string> module_topic(std::string_view module);

// A short list of the module names, for error messages.
std::string module_names();

struct Stamp
{
  std::int32_t sec = 0;
  std::uint32_t nanosec = 0;
};

// The wall-clock time now, as the node's clock gives it.
Stamp stamp_now();

// "now", or seconds since the epoch with up to nine decimals ("-1.5" is
// sec -2 + 500000000 ns). Nothing when out of the 32-bit range or malformed.
std::optional<Stamp> parse_stamp(std::string_view text);

}  // namespace diagctl

#endif  // DIAGCTL__EVENT_VALUES_HPP_
