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

#include "diagctl/domain_list.hpp"

#include <cstdlib>
#include <set>
#include <sstream>

namespace diagctl {

namespace {

std::optional<int> domain_id(const std::string & text)
{
  // Digits only: parse_integer would take a sign.
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const auto value = parse_integer(text);
  if (!value || *value > kMaxDomainId) {
    return std::nullopt;
  }
  return static_cast<int>(*value);
}

}  // namespace

std::optional<std::vector<int>> parse_domain_list(
    const std::string & text, const std::string & option, std::string & error)
{
  const std::string wanted = " wants domain ids 0-" + std::to_string(kMaxDomainId) +
                             " and ranges separated by commas, e.g. 0,3-7";
  std::set<int> ids;
  std::stringstream items(text);
  std::string item;
  bool any = false;
  while (std::getline(items, item, ',')) {
    any = true;
    const auto dash = item.find('-');
    const auto first = domain_id(item.substr(0, dash));
    const auto last = dash == std::string::npos ? first : domain_id(item.substr(dash + 1));
    if (!first || !last || *last < *first) {
      error = option + wanted + ": \"" + item + "\" is none";
      return std::nullopt;
    }
    for (int id = *first; id <= *last; ++id) {
      ids.insert(id);
    }
  }
  if (!any || text.back() == ',') {
    error = option + wanted + ": \"" + text + "\" holds none";
    return std::nullopt;
  }
  return std::vector<int>(ids.begin(), ids.end());
}

std::optional<std::vector<int>> chosen_domains(
    const std::optional<std::string> & list, const GlobalOptions & global, std::string & error)
{
  if (list) {
    return parse_domain_list(*list, "--domains", error);
  }
  if (global.domain_id) {
    return parse_domain_list(std::to_string(*global.domain_id), "--domain", error);
  }
  const char * environment = std::getenv("ROS_DOMAIN_ID");
  if (environment != nullptr && *environment != '\0') {
    return parse_domain_list(environment, "ROS_DOMAIN_ID", error);
  }
  return std::vector<int>{0};
}

}  // namespace diagctl
