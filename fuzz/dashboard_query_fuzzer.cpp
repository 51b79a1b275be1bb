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

// The dashboard's reading of /api query strings on any bytes: the query text
// split and decoded as the HTTP library does for the server, then
// parse_records_query; and the request head that carries it, as the
// dashboard's front judges it.
//
// A refused query says why; an accepted one stays within its bounds and,
// written back in its canonical form, parses to the same query. A request
// line carrying the text (without spaces or line ends) is complete with that
// very target, or refused with an error status and a reason.
#include <httplib.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "diagctl/dashboard_api.hpp"
#include "diagctl/http_front.hpp"
#include "diagnostic_center/contract/record_line.hpp"
#include "fuzz_check.hpp"

namespace {

using diagctl::RecordsQuery;

httplib::Params canonical(const RecordsQuery & query)
{
  httplib::Params params;
  std::string ids;
  for (const std::int32_t id : query.filter.fault_ids) {
    ids += (ids.empty() ? "" : ",") + std::to_string(id);
  }
  params.emplace("id", ids);
  if (query.filter.status) {
    params.emplace("status", diagnostic_center::contract::ToString(*query.filter.status));
  }
  params.emplace("since", query.filter.since.value_or(""));
  params.emplace("until", query.filter.until.value_or(""));
  params.emplace("limit", std::to_string(query.limit));
  if (query.before) {
    params.emplace("before", std::to_string(*query.before));
  }
  return params;
}

bool same(const RecordsQuery & a, const RecordsQuery & b)
{
  return a.filter.fault_ids == b.filter.fault_ids && a.filter.status == b.filter.status &&
         a.filter.since == b.filter.since && a.filter.until == b.filter.until &&
         a.limit == b.limit && a.before == b.before;
}

void check_query(const std::string & text)
{
  httplib::Params params;
  httplib::detail::parse_query_text(text, params);
  std::string error;
  const auto query = diagctl::parse_records_query(params, error);
  if (!query) {
    fuzz::check(!error.empty(), "a query refused without a reason: ", text);
    return;
  }
  fuzz::check(
      query->limit >= 1 && query->limit <= RecordsQuery::kMaxLimit,
      "a limit out of bounds: ", text);
  std::string again_error;
  const auto again = diagctl::parse_records_query(canonical(*query), again_error);
  fuzz::check(again.has_value(), "a query written back is refused (", again_error, "): ", text);
  fuzz::check(same(*query, *again), "a query written back parses differently: ", text);
}

void check_head(const std::string & text)
{
  const diagctl::FrontLimits limits;
  const std::string target = "/api/records?" + text;
  const std::string request = "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  const diagctl::HeadVerdict verdict = diagctl::check_request(request, limits);
  // Spaces and line ends make another request line (or more lines) of it.
  const bool one_target = text.find_first_of(" \r\n") == std::string::npos;
  if (verdict.state == diagctl::HeadState::kComplete) {
    fuzz::check(
        !one_target || verdict.target == target, "the request target read back differs: ", text);
    fuzz::check(
        !one_target || verdict.request_bytes == request.size(),
        "a request not taken whole: ", text);
    return;
  }
  fuzz::check(
      verdict.state == diagctl::HeadState::kRefused && verdict.status >= 400 &&
          verdict.status < 500 && !verdict.error.empty(),
      "a whole request neither taken nor refused with a reason: ", text);
  // Each prefix of a request is waited for or refused, never taken.
  for (std::size_t length = 0; length < request.size(); length += 7) {
    fuzz::check(
        diagctl::check_request(request.substr(0, length), limits).state !=
            diagctl::HeadState::kComplete,
        "a request taken before it was whole: ", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * data, std::size_t size)
{
  const std::string text(reinterpret_cast<const char *>(data), size);
  check_query(text);
  check_head(text);
  return 0;
}
