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

#include "diagctl/dashboard_api.hpp"

#include <time.h>

#include <algorithm>
#include <cstdio>

#include "diagctl/arg_parser.hpp"
#include "diagctl/domain_list.hpp"
#include "diagctl/output_format.hpp"
#include "diagctl/tree_view.hpp"
#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {

namespace {

namespace contract = diagnostic_center::contract;

std::string text(const std::string & value)
{
  return json_string(value, InvalidUtf8::kReplacement);
}

// The configured description, or the one the current tree carries.
std::string description_of(
    std::int32_t fault_id, const DashboardSnapshot & snapshot, const FaultConfig * config)
{
  if (config) {
    if (const FaultEntry * entry = config->find(fault_id)) {
      return entry->description;
    }
  }
  if (snapshot.tree) {
    for (const auto & entry : snapshot.tree->entries) {
      if (entry.fault_id == fault_id) {
        return entry.description;
      }
    }
  }
  return "";
}

std::string module_of(std::int32_t fault_id, const std::map<std::int32_t, std::string> & modules)
{
  const auto found = modules.find(fault_id);
  return found == modules.end() ? "null" : text(found->second);
}

// Seconds since the epoch of a record time "YYYY-MM-DD_HH-MM-SS", local time.
std::optional<long long> record_epoch(const std::string & time)
{
  struct tm local = {};
  char tail = '\0';
  if (std::sscanf(
          time.c_str(), "%4d-%2d-%2d_%2d-%2d-%2d%c", &local.tm_year, &local.tm_mon, &local.tm_mday,
          &local.tm_hour, &local.tm_min, &local.tm_sec, &tail) != 6) {
    return std::nullopt;
  }
  local.tm_year -= 1900;
  local.tm_mon -= 1;
  local.tm_isdst = -1;
  const time_t epoch = mktime(&local);
  return epoch == static_cast<time_t>(-1) ? std::nullopt : std::optional<long long>(epoch);
}

[[nodiscard]] bool set_time_bound(
    const std::string & key, const std::string & value, RangeEnd end,
    std::optional<std::string> & bound, std::string & error)
{
  bound = normalize_record_time(value, end);
  if (!bound) {
    error = key + ": not a time (YYYY-MM-DD, YYYY-MM-DD_HH-MM-SS or YYYY-MM-DD HH:MM:SS): \"" +
            value + "\"";
    return false;
  }
  return true;
}

[[nodiscard]] bool apply_parameter(
    const std::string & key, const std::string & value, RecordsQuery & query, std::string & error)
{
  if (key == "id") {
    if (!add_fault_ids(value, query.filter.fault_ids, error)) {
      error = "id: " + error;
      return false;
    }
    return true;
  }
  if (key == "status") {
    query.filter.status = parse_record_status(value);
    if (!query.filter.status) {
      error = "status: wants \"fault\" or \"passed\", not \"" + value + "\"";
      return false;
    }
    return true;
  }
  if (key == "since") {
    return set_time_bound(key, value, RangeEnd::kSince, query.filter.since, error);
  }
  if (key == "until") {
    return set_time_bound(key, value, RangeEnd::kUntil, query.filter.until, error);
  }
  if (key == "limit") {
    const auto limit = parse_integer(value);
    if (!limit || *limit < 1 || *limit > static_cast<std::int64_t>(RecordsQuery::kMaxLimit)) {
      error = "limit: wants a number from 1 to " + std::to_string(RecordsQuery::kMaxLimit) +
              ", not \"" + value + "\"";
      return false;
    }
    query.limit = static_cast<std::size_t>(*limit);
    return true;
  }
  if (key == "before") {
    const auto before = parse_integer(value);
    if (!before || *before < 0) {
      error =
          "before: wants a record number (next_before of the page before), not \"" + value + "\"";
      return false;
    }
    query.before = static_cast<std::size_t>(*before);
    return true;
  }
  error = "unknown parameter \"" + key + "\" (id, status, since, until, limit, before)";
  return false;
}

}  // namespace

std::optional<std::string> tree_document(const DashboardSnapshot & snapshot, WallTime now)
{
  if (!snapshot.tree) {
    return std::nullopt;
  }
  return tree_json(*snapshot.tree, now);
}

std::string current_document(const DashboardSnapshot & snapshot, const FaultConfig * config)
{
  const std::string stale_since =
      snapshot.stale_since ? "\"" + iso8601_utc(*snapshot.stale_since) + "\"" : "null";
  if (!snapshot.current) {
    return "{\"received_at\": null, \"stamp\": null, \"failures\": [], \"stale_since\": " +
           stale_since + "}";
  }
  std::string failures;
  for (const std::int32_t id : snapshot.current->message.fault_id_list) {
    failures += (failures.empty() ? "" : ", ") + std::string("{\"fault_id\": ") +
                std::to_string(id) +
                ", \"description\": " + text(description_of(id, snapshot, config)) +
                ", \"module\": " + module_of(id, snapshot.modules) + "}";
  }
  return "{\"received_at\": \"" + iso8601_utc(snapshot.current->received) + "\", \"stamp\": \"" +
         iso8601_utc(snapshot.current->message.stamp) + "\", \"failures\": [" + failures +
         "], \"stale_since\": " + stale_since + "}";
}

std::optional<RobotKey> parse_robot_query(
    const std::multimap<std::string, std::string> & parameters, std::string & error)
{
  for (const auto & [name, value] : parameters) {
    if (name != "domain" && name != "ns") {
      error = "unknown parameter \"" + name + "\": a robot is named by domain and ns";
      return std::nullopt;
    }
  }
  const auto domain_text = parameters.find("domain");
  const auto ns = parameters.find("ns");
  if (domain_text == parameters.end() || ns == parameters.end() ||
      parameters.count("domain") != 1 || parameters.count("ns") != 1) {
    error = "a robot is named by one domain and one ns, e.g. ?domain=0&ns=/robot1";
    return std::nullopt;
  }
  const auto domains = parse_domain_list(domain_text->second, "domain", error);
  if (!domains || domains->size() != 1 ||
      domain_text->second.find_first_of(",-") != std::string::npos) {
    error = "domain wants one domain id from 0 to " + std::to_string(kMaxDomainId);
    return std::nullopt;
  }
  if (ns->second.empty() || ns->second.front() != '/' ||
      (ns->second.size() > 1 && ns->second.back() == '/')) {
    error = "ns wants a namespace such as / or /robot1";
    return std::nullopt;
  }
  return RobotKey{domains->front(), ns->second};
}

std::string exceptions_document(const DashboardSnapshot & snapshot, const FaultConfig * config)
{
  std::string items;
  for (const ReceivedExceptionHandle & seen : snapshot.exceptions) {
    const std::int32_t id = seen.message.fault_id;
    items += (items.empty() ? "" : ", ") + std::string("{\"received_at\": \"") +
             iso8601_utc(seen.received) + "\", \"stamp\": \"" + iso8601_utc(seen.message.stamp) +
             "\", \"fault_id\": " + std::to_string(id) +
             ", \"description\": " + text(description_of(id, snapshot, config)) + "}";
  }
  return "{\"exceptions\": [" + items + "]}";
}

std::optional<RecordsQuery> parse_records_query(
    const std::multimap<std::string, std::string> & parameters, std::string & error)
{
  RecordsQuery query;
  for (const auto & [key, value] : parameters) {
    // An empty form field means no filter of that kind.
    const bool known = key == "id" || key == "status" || key == "since" || key == "until" ||
                       key == "limit" || key == "before";
    if (known && value.empty()) {
      continue;
    }
    if (!apply_parameter(key, value, query, error)) {
      return std::nullopt;
    }
  }
  return query;
}

std::string records_document(
    const RecordsPage & page, const std::map<std::int32_t, std::string> & modules)
{
  std::string items;
  for (const Record & record : page.records) {
    const auto epoch = record_epoch(record.time);
    items +=
        (items.empty() ? "\n" : ",\n") + std::string("{\"time\": ") + json_string(record.time) +
        ", \"epoch_s\": " + (epoch ? std::to_string(*epoch) : "null") +
        ", \"fault_id\": " + std::to_string(record.fault_id) +
        ", \"description\": " + json_string(record.description) +
        ", \"status\": " + json_string(contract::ToString(record.status)) +
        ", \"message\": " + json_string(record.message) +
        ", \"module\": " + module_of(record.fault_id, modules) +
        ", \"file\": " + json_string(record.file) + ", \"line\": " + std::to_string(record.line) +
        ", \"truncated\": " + (record.truncated ? "true" : "false") + "}";
  }
  std::string problems;
  for (const std::string & problem : page.problems) {
    problems += (problems.empty() ? "" : ", ") + json_string(problem);
  }
  const std::size_t first = page.first();
  return "{\"total\": " + std::to_string(page.total) +
         ", \"shown\": " + std::to_string(page.records.size()) +
         ", \"first\": " + std::to_string(first) +
         ", \"next_before\": " + (first > 0 ? std::to_string(first) : "null") +
         ", \"problem_count\": " + std::to_string(page.problem_count) + ", \"problems\": [" +
         problems + "], \"records\": [" + items + "]}";
}

std::string error_document(const std::string & message)
{
  return "{\"error\": " + text(message) + "}";
}

}  // namespace diagctl
