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

// A POSIX extended regular expression that must match a whole name, for the
// mapping file's "name_pattern" and "hardware_id_pattern". POSIX matching,
// not std::regex: names come from any node on the network, and a long name
// must not be able to exhaust the stack of a backtracking matcher.
#ifndef DIAGNOSTICS_BRIDGE__NAME_PATTERN_HPP_
#define DIAGNOSTICS_BRIDGE__NAME_PATTERN_HPP_

#include <regex.h>

#include <memory>
#include <string>

namespace diagnostics_bridge {

class NamePattern
{
public:
  // Throws std::invalid_argument with the matcher's reason for a pattern that
  // does not compile, and for back-references, which make matching
  // exponential.
  explicit NamePattern(const std::string & pattern);

  // True when the pattern matches all of `name`. A name holding a NUL byte
  // never matches: the matcher would see only its first part.
  bool Matches(const std::string & name) const;

  const std::string & text() const { return text_; }

private:
  struct Compiled;
  std::string text_;
  std::shared_ptr<const Compiled> compiled_;
};

}  // namespace diagnostics_bridge

#endif  // DIAGNOSTICS_BRIDGE__NAME_PATTERN_HPP_
