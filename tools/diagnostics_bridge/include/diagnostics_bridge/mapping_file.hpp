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

// The bridge's mapping file: which diagnostic_updater statuses stand for
// which fault of the diagnosis centre, and on which module topic that fault
// is reported.
//
//   mappings:
//     - fault_id: 3101
//       topic: chassis_driver_diag_topic
//       name: "motor_driver: Motor temperature"   # exact status name
//       hardware_id_pattern: "motor_(left|right)" # POSIX extended regex, whole id
//       warn: raise                               # raise | ignore (default)
//       stale: ignore                             # raise | ignore (default)
//
// A mapping selects statuses by "name" or "name_pattern" and/or by
// "hardware_id" or "hardware_id_pattern"; a status is selected when every
// given selector matches it.
#ifndef DIAGNOSTICS_BRIDGE__MAPPING_FILE_HPP_
#define DIAGNOSTICS_BRIDGE__MAPPING_FILE_HPP_

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "diagnostics_bridge/name_pattern.hpp"

namespace diagnostics_bridge {

// What a status at WARN or STALE does to its fault. ERROR always raises and
// OK always clears.
enum class LevelPolicy
{
  kIgnore,  // the fault keeps the state it had
  kRaise,
};

// One selector: an exact text or a pattern.
class Selector
{
public:
  static Selector Exact(std::string text);
  static Selector Pattern(NamePattern pattern);

  bool Matches(const std::string & value) const;
  // "name 'x'" or "name_pattern 'x'", for messages.
  std::string Describe(const char * field) const;

private:
  std::string exact_;
  std::optional<NamePattern> pattern_;
};

struct Mapping
{
  std::int32_t fault_id = 0;
  // One of the centre's module topics, relative as the centre names it.
  std::string topic;
  std::optional<Selector> name;
  std::optional<Selector> hardware_id;
  LevelPolicy warn = LevelPolicy::kIgnore;
  LevelPolicy stale = LevelPolicy::kIgnore;

  bool Selects(const std::string & status_name, const std::string & status_hardware_id) const;
};

// A mapping file that cannot be used; what() names the file, the line and
// the mapping.
class MappingError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

// Reads and checks a whole mapping file: unknown keys, topics that are not
// the centre's module topics, a fault id given twice, bad patterns and
// mappings that select nothing are refused, as is a file without mappings.
std::vector<Mapping> LoadMappingFile(const std::string & path);

// The same for the file's text; `origin` names it in messages.
std::vector<Mapping> ParseMappings(const std::string & yaml_text, const std::string & origin);

}  // namespace diagnostics_bridge

#endif  // DIAGNOSTICS_BRIDGE__MAPPING_FILE_HPP_
