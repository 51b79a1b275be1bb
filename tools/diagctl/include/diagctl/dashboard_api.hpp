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

// The dashboard's JSON documents, built from a snapshot of what it has seen
// and from the fault records; free of I/O so that tests check them directly.
#ifndef DIAGCTL__DASHBOARD_API_HPP_
#define DIAGCTL__DASHBOARD_API_HPP_

#include <cstddef>
#include <map>
#include <optional>
#include <string>

#include "diagctl/dashboard_state.hpp"
#include "diagctl/fault_config.hpp"
#include "diagctl/fleet_model.hpp"
#include "diagctl/record_cache.hpp"
#include "diagctl/record_filter.hpp"
#include "diagctl/record_source.hpp"

namespace diagctl {

// /api/tree: the tree document, or nothing before the first tree arrived.
std::optional<std::string> tree_document(const DashboardSnapshot & snapshot, WallTime now);

// /api/current: the last current-failure list, when it arrived, and since
// when the centre is stale (null while current_failure comes).
std::string current_document(const DashboardSnapshot & snapshot, const FaultConfig * config);

// /api/exceptions: the last exception-handle requests, newest first.
std::string exceptions_document(const DashboardSnapshot & snapshot, const FaultConfig * config);

struct RecordsQuery
{
  static constexpr std::size_t kDefaultLimit = 1000;
  static constexpr std::size_t kMaxLimit = 5000;  // what one answer holds at most

  RecordFilter filter;
  std::size_t limit = kDefaultLimit;  // the newest this many
  // Only records numbered below this (see RecordsPage): the next page after
  // one that gave next_before.
  std::optional<std::size_t> before;
};

// The parameters of /api/records: id (repeatable, comma lists), status, since,
// until (as `diagctl records` takes them), limit and before. Empty values count as
// absent. Nothing, with `error` set, for an unknown parameter or a bad value.
std::optional<RecordsQuery> parse_records_query(
    const std::multimap<std::string, std::string> & parameters, std::string & error);

// /api/records: a page of records, newest first, each with its time in
// seconds since the epoch (record times are local time) and the module its
// fault was last seen raised on, when known; the problems counted, the first
// few of them quoted.
std::string records_document(
    const RecordsPage & page, const std::map<std::int32_t, std::string> & modules);

// The robot a fleet dashboard's /api/robot/... request names: `domain`
// (0-232) and `ns` (a namespace, "/" or "/a/b"). Nothing, with `error` set,
// when either is missing or bad, or another parameter is given.
std::optional<RobotKey> parse_robot_query(
    const std::multimap<std::string, std::string> & parameters, std::string & error);

// {"error": message}
std::string error_document(const std::string & message);

}  // namespace diagctl

#endif  // DIAGCTL__DASHBOARD_API_HPP_
