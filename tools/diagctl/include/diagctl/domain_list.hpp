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

// The ROS domains a command watches, given as `0,3-7`.
#ifndef DIAGCTL__DOMAIN_LIST_HPP_
#define DIAGCTL__DOMAIN_LIST_HPP_

#include <optional>
#include <string>
#include <vector>

#include "diagctl/arg_parser.hpp"

namespace diagctl {

// The highest domain id a ROS 2 participant can take on Cyclone DDS.
constexpr int kMaxDomainId = 232;

// Comma-separated ids and inclusive ranges, each within 0-232; the result is
// sorted without repeats. Nothing, with `error` naming `option`, when the
// text is not such a list.
std::optional<std::vector<int>> parse_domain_list(
    const std::string & text, const std::string & option, std::string & error);

// The domains of a --domains option (`list`, when given), else the global
// --domain, else ROS_DOMAIN_ID, else 0.
std::optional<std::vector<int>> chosen_domains(
    const std::optional<std::string> & list, const GlobalOptions & global, std::string & error);

}  // namespace diagctl

#endif  // DIAGCTL__DOMAIN_LIST_HPP_
