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

#include "diagnostics_bridge/name_pattern.hpp"

#include <cctype>
#include <stdexcept>

namespace diagnostics_bridge {

struct NamePattern::Compiled
{
  regex_t regex{};
  bool compiled = false;
  ~Compiled()
  {
    if (compiled) {
      regfree(&regex);
    }
  }
};

namespace {

bool HasBackReference(const std::string & pattern)
{
  for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
    if (pattern[i] == '\\') {
      if (std::isdigit(static_cast<unsigned char>(pattern[i + 1]))) {
        return true;
      }
      ++i;  // the escaped character is taken as it is
    }
  }
  return false;
}

}  // namespace

NamePattern::NamePattern(const std::string & pattern) : text_(pattern)
{
  if (pattern.find('\0') != std::string::npos) {
    throw std::invalid_argument("a pattern cannot hold a NUL byte");
  }
  if (HasBackReference(pattern)) {
    throw std::invalid_argument("back-references (\\1 ... \\9) are not supported");
  }
  auto compiled = std::make_shared<Compiled>();
  // Anchored here, so that a pattern always means the whole name.
  const std::string anchored = "^(" + pattern + ")$";
  const int error = regcomp(&compiled->regex, anchored.c_str(), REG_EXTENDED | REG_NOSUB);
  if (error != 0) {
    char reason[256];
    regerror(error, &compiled->regex, reason, sizeof(reason));
    throw std::invalid_argument(reason);
  }
  compiled->compiled = true;
  compiled_ = std::move(compiled);
}

bool NamePattern::Matches(const std::string & name) const
{
  if (name.find('\0') != std::string::npos) {
    return false;
  }
  return regexec(&compiled_->regex, name.c_str(), 0, nullptr, 0) == 0;
}

}  // namespace diagnostics_bridge
