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

// The dashboard's documents and the records query.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "diagctl/dashboard_api.hpp"

namespace diagctl_test {
namespace {

using diagctl::RecordsQuery;
using Params = std::multimap<std::string, std::string>;

std::optional<RecordsQuery> parse(const Params & params, std::string & error)
{
  return diagctl::parse_records_query(params, error);
}

TEST(RecordsQuery, FiltersAsTheRecordsCommandTakesThem)
{
  std::string error;
  const auto query = parse(
      {{"id", "1001,1002"},
       {"id", "-5"},
       {"status", "passed"},
       {"since", "2026-12-06"},
       {"until", "2026-12-06T10:32:48"},
       {"limit", "20"},
       {"before", "40"}},
      error);
  ASSERT_TRUE(query) << error;
  EXPECT_EQ(query->filter.fault_ids, (std::set<std::int32_t>{-5, 1001, 1002}));
  EXPECT_EQ(query->filter.status, diagctl::RecordStatus::kPassed);
  EXPECT_EQ(query->filter.since, "2026-12-06_00-00-00");
  EXPECT_EQ(query->filter.until, "2026-12-06_10-32-48");
  EXPECT_EQ(query->limit, 20u);
  EXPECT_EQ(query->before, 40u);

  // Empty form fields are no filter at all.
  const auto blank =
      parse({{"id", ""}, {"status", ""}, {"since", ""}, {"until", ""}, {"limit", ""}}, error);
  ASSERT_TRUE(blank) << error;
  EXPECT_TRUE(blank->filter.fault_ids.empty());
  EXPECT_FALSE(blank->filter.status || blank->filter.since || blank->filter.until);
  EXPECT_EQ(blank->limit, RecordsQuery::kDefaultLimit);
  EXPECT_FALSE(blank->before);
}

TEST(RecordsQuery, BadValuesAreRefusedNamingTheParameter)
{
  const std::vector<std::pair<Params, std::string>> cases = {
      {{{"id", "1001,abc"}}, "id: not a 32-bit fault id: \"abc\""},
      {{{"id", "1001,"}}, "id: not a 32-bit fault id: \"\""},
      {{{"id", "4294967296"}}, "id: "},
      {{{"status", "raised"}}, "status: wants \"fault\" or \"passed\", not \"raised\""},
      {{{"since", "yesterday"}}, "since: not a time"},
      {{{"until", "2026-12-06 25"}}, "until: not a time"},
      {{{"limit", "0"}}, "limit: wants a number from 1 to 5000"},
      {{{"limit", "5001"}}, "limit: "},
      {{{"before", "-1"}}, "before: "},
      {{{"limit", "ten"}}, "limit: "},
      {{{"format", "csv"}}, "unknown parameter \"format\""},
      {{{"", "x"}}, "unknown parameter \"\""},
  };
  for (const auto & [params, message] : cases) {
    std::string error;
    EXPECT_FALSE(parse(params, error)) << params.begin()->first << '=' << params.begin()->second;
    EXPECT_EQ(error.rfind(message, 0), 0u) << "error: " << error;
  }
}

diagctl::Record record(std::string time, std::int32_t id, diagctl::RecordStatus status)
{
  diagctl::Record r;
  r.time = std::move(time);
  r.fault_id = id;
  r.status = status;
  r.description = "d" + std::to_string(id);
  r.message = std::string("m\xff");
  r.file = "/r/f";
  r.line = 3;
  return r;
}

TEST(RecordsDocument, APageWithItsPlaceModuleEpochAndProblemCount)
{
  // The tests run with TZ=UTC, so record times read as UTC.
  diagctl::RecordsPage page;
  page.total = 5;
  page.before = 4;
  page.records = {
      record("2026-12-06_00-00-02", 1, diagctl::RecordStatus::kPassed),
      record("2026-12-06_00-00-01", 2, diagctl::RecordStatus::kFault),
  };
  page.problem_count = 30;
  page.problems = {"/r/f:9: skipped, no record"};
  const std::string doc = diagctl::records_document(page, {{1, "/chassis_driver_diag_topic"}});
  EXPECT_EQ(
      doc,
      "{\"total\": 5, \"shown\": 2, \"first\": 2, \"next_before\": 2, \"problem_count\": 30, "
      "\"problems\": [\"/r/f:9: skipped, no record\"], \"records\": "
      "[\n"
      "{\"time\": \"2026-12-06_00-00-02\", \"epoch_s\": 1796515202, \"fault_id\": 1, "
      "\"description\": \"d1\", \"status\": \"passed\", \"message\": \"m\\\\xFF\", \"module\": "
      "\"/chassis_driver_diag_topic\", \"file\": \"/r/f\", \"line\": 3, \"truncated\": false},\n"
      "{\"time\": \"2026-12-06_00-00-01\", \"epoch_s\": 1796515201, \"fault_id\": 2, "
      "\"description\": \"d2\", \"status\": \"fault\", \"message\": \"m\\\\xFF\", \"module\": "
      "null, "
      "\"file\": \"/r/f\", \"line\": 3, \"truncated\": false}]}");
}

TEST(LiveDocuments, CurrentFailuresAndExceptionsBeforeAndAfterMessages)
{
  diagctl::DashboardState state;
  EXPECT_EQ(
      diagctl::current_document(state.snapshot(), nullptr),
      "{\"received_at\": null, \"stamp\": null, \"failures\": [], \"stale_since\": null}");
  EXPECT_EQ(diagctl::exceptions_document(state.snapshot(), nullptr), "{\"exceptions\": []}");
  EXPECT_FALSE(diagctl::tree_document(state.snapshot(), {}));

  corvanta_protocol::msg::DiagnosisTree tree;
  tree.entries.resize(1);
  tree.entries[0].fault_id = 1001;
  tree.entries[0].parent_id = 1001;
  tree.entries[0].module = "/chassis_driver_diag_topic";
  tree.entries[0].description = "motor bus lost";
  state.set_tree(tree);
  corvanta_protocol::msg::CurrentFailure current;
  current.fault_id_list = {1001, 1002};
  state.set_current({std::chrono::system_clock::time_point{}, current});
  const auto snapshot = state.snapshot();
  EXPECT_EQ(
      diagctl::current_document(snapshot, nullptr),
      "{\"received_at\": \"1970-01-01T00:00:00.000000000Z\", \"stamp\": "
      "\"1970-01-01T00:00:00.000000000Z\", \"failures\": [{\"fault_id\": 1001, \"description\": "
      "\"motor bus lost\", \"module\": \"/chassis_driver_diag_topic\"}, {\"fault_id\": 1002, "
      "\"description\": \"\", \"module\": null}], \"stale_since\": null}");
  EXPECT_TRUE(diagctl::tree_document(snapshot, {}));
}

TEST(DashboardState, MarksTheCentreStaleOnceAndFreshAgainWithCurrentFailure)
{
  diagctl::DashboardState state;
  const auto start = std::chrono::system_clock::now();
  state.set_current({start, corvanta_protocol::msg::CurrentFailure()});
  const auto version = state.version();
  state.check_stale(start + std::chrono::milliseconds(2900));
  EXPECT_EQ(state.version(), version);
  state.check_stale(start + std::chrono::seconds(5));
  state.check_stale(start + std::chrono::seconds(6));  // no second change
  EXPECT_EQ(state.version(), version + 1);
  EXPECT_EQ(state.snapshot().stale_since, start + std::chrono::seconds(3));
  EXPECT_NE(
      diagctl::current_document(state.snapshot(), nullptr).find("\"stale_since\": \"20"),
      std::string::npos);
  state.set_current({start + std::chrono::seconds(7), corvanta_protocol::msg::CurrentFailure()});
  EXPECT_FALSE(state.snapshot().stale_since);
}

TEST(DashboardState, KeepsTheLastFiftyExceptionsNewestFirstAndCountsVersions)
{
  diagctl::DashboardState state;
  const auto start = state.version();
  for (std::int32_t id = 1; id <= 60; ++id) {
    corvanta_protocol::msg::ExceptionHandle message;
    message.fault_id = id;
    state.add_exception({std::chrono::system_clock::now(), message});
  }
  const auto snapshot = state.snapshot();
  ASSERT_EQ(snapshot.exceptions.size(), diagctl::DashboardState::kExceptionsKept);
  EXPECT_EQ(snapshot.exceptions.front().message.fault_id, 60);
  EXPECT_EQ(snapshot.exceptions.back().message.fault_id, 11);
  EXPECT_EQ(snapshot.version, start + 60);
  // A change already there is seen without waiting; stop() ends a wait.
  EXPECT_EQ(state.wait_for_change(start, std::chrono::hours(1)), start + 60);
  state.stop();
  EXPECT_EQ(state.wait_for_change(start + 60, std::chrono::hours(1)), start + 60);
}

}  // namespace
}  // namespace diagctl_test
