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

// One call of the node's query service "diagnostic_srv".
#ifndef DIAGCTL__ROOT_CAUSE_QUERY_HPP_
#define DIAGCTL__ROOT_CAUSE_QUERY_HPP_

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "diagctl/ros_session.hpp"
#include "diagnostic_center/contract/names.hpp"

namespace diagctl {

constexpr const char * kQueryService = diagnostic_center::contract::kQueryService;

// Asks for the current root causes and waits at most `timeout` for the
// service and its answer. On failure returns nothing and sets `error`.
std::optional<std::vector<std::int32_t>> query_root_causes(
    const RosSession & session, std::chrono::milliseconds timeout, std::string & error);

}  // namespace diagctl

#endif  // DIAGCTL__ROOT_CAUSE_QUERY_HPP_
