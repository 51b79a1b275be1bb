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

#include "diagctl/fleet_discovery.hpp"

#include <algorithm>

#include "diagnostic_center/contract/names.hpp"

namespace diagctl {

namespace {

bool is_at_or_below(const std::string & ns, const std::string & under)
{
  if (under.empty() || under == "/") {
    return true;
  }
  return ns == under || (ns.size() > under.size() && ns.compare(0, under.size(), under) == 0 &&
                         ns[under.size()] == '/');
}

}  // namespace

std::set<std::string> centre_namespaces(
    const std::map<std::string, std::vector<std::string>> & topics, const std::string & under)
{
  const std::string suffix = std::string("/") + diagnostic_center::contract::kCurrentFailureTopic;
  std::set<std::string> namespaces;
  for (const auto & [name, types] : topics) {
    if (name.size() < suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0 ||
        std::find(types.begin(), types.end(), kCurrentFailureType) == types.end()) {
      continue;
    }
    std::string ns = name.substr(0, name.size() - suffix.size());
    if (ns.empty()) {
      ns = "/";
    }
    if (is_at_or_below(ns, under)) {
      namespaces.insert(std::move(ns));
    }
  }
  return namespaces;
}

}  // namespace diagctl
