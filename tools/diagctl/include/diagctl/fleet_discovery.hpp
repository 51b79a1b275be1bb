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

// How the fleet finds diagnosis centres on the ROS graph, without a list to
// keep: a centre is whatever publishes its current_failure message type on
// `<namespace>/current_failure`.
#ifndef DIAGCTL__FLEET_DISCOVERY_HPP_
#define DIAGCTL__FLEET_DISCOVERY_HPP_

#include <map>
#include <set>
#include <string>
#include <vector>

namespace diagctl {

inline constexpr char kCurrentFailureType[] = "corvanta_protocol/msg/CurrentFailure";

// The namespaces whose `<ns>/current_failure` topic carries the centre's
// message type, at or below `under` ("/" or empty for all), from a graph
// query's topic names and types. Whether a publisher is still there is the
// caller's question: a topic stays listed while anyone subscribes.
std::set<std::string> centre_namespaces(
    const std::map<std::string, std::vector<std::string>> & topics, const std::string & under);

}  // namespace diagctl

#endif  // DIAGCTL__FLEET_DISCOVERY_HPP_
