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

// The dashboard's record pages: what a fresh read gives, a page at a time, as
// files grow, appear and go, kept or not kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "diagctl/record_cache.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"

namespace diagctl_test {
namespace {

std::string line(const std::string & time, int id, const std::string & status)
{
  return time + " fault_id : " + std::to_string(id) + ", fault_desc : d, status : " + status +
         ", event_msg : m\n";
}

std::string ids(const diagctl::RecordsPage & page)
{
  std::string out;
  for (const auto & record : page.records) {
    out += (out.empty() ? "" : " ") + std::to_string(record.fault_id) +
           (record.status == diagctl::RecordStatus::kFault ? "f" : "p");
  }
  return out;
}

const diagctl::RecordFilter everything;

// Kept within the budget and read piece by piece beyond it: the same pages.
class RecordCacheTest : public ::testing::TestWithParam<std::size_t>
{
};

TEST_P(RecordCacheTest, FollowsFilesThatGrowAppearAndGo)
{
  diagnostic_center_test::ScratchDir scratch;
  const auto dir = scratch / "records";
  std::filesystem::create_directories(dir);
  const auto first = dir / "2026-12-06_10-00-00";
  std::ofstream(first) << line("2026-12-06_10-00-01", 1, "fault");
  diagctl::RecordCache cache(
      diagctl::RecordSource::make({dir.string()}, false, nullptr), GetParam());
  EXPECT_EQ(ids(cache.page(everything, 10, std::nullopt)), "1f");

  std::ofstream(first, std::ios::app) << line("2026-12-06_10-00-02", 1, "passed") << "junk\n";
  const auto grown = cache.page(everything, 10, std::nullopt);
  EXPECT_EQ(ids(grown), "1p 1f");
  ASSERT_EQ(grown.problems.size(), 1u);
  EXPECT_EQ(grown.problem_count, 1u);
  EXPECT_NE(grown.problems[0].find(":3: skipped"), std::string::npos) << grown.problems[0];

  // The filter applies to what is kept, not to what was kept.
  diagctl::RecordFilter passed;
  passed.status = diagctl::RecordStatus::kPassed;
  EXPECT_EQ(ids(cache.page(passed, 10, std::nullopt)), "1p");

  std::ofstream(dir / "2026-12-06_11-00-00") << line("2026-12-06_11-00-01", 2, "fault");
  EXPECT_EQ(ids(cache.page(everything, 10, std::nullopt)), "2f 1p 1f");
  std::filesystem::remove(first);
  EXPECT_EQ(ids(cache.page(everything, 10, std::nullopt)), "2f");
  if (GetParam() == 0) {
    EXPECT_EQ(cache.cached_bytes(), 0u);
  }
}

TEST_P(RecordCacheTest, PagesWalkBackFromTheNewestAndProblemsAreCounted)
{
  diagnostic_center_test::ScratchDir scratch;
  const auto file = scratch / "2026-12-06_10-00-00";
  {
    std::ofstream out(file);
    for (int i = 0; i < 25; ++i) {
      out << line("2026-12-06_10-00-00", i, i % 2 == 0 ? "fault" : "passed") << "junk\n";
    }
  }
  diagctl::RecordCache cache(
      diagctl::RecordSource::make({file.string()}, false, nullptr), GetParam());
  auto page = cache.page(everything, 10, std::nullopt);
  EXPECT_EQ(page.total, 25u);
  EXPECT_EQ(page.first(), 15u);
  EXPECT_EQ(page.records.front().fault_id, 24);
  EXPECT_EQ(page.records.back().fault_id, 15);
  // 25 problems: counted, the first 20 quoted.
  EXPECT_EQ(page.problem_count, 25u);
  ASSERT_EQ(page.problems.size(), diagctl::RecordsPage::kProblemsShown);
  EXPECT_NE(page.problems[0].find(":2: skipped"), std::string::npos) << page.problems[0];

  page = cache.page(everything, 10, page.first());
  EXPECT_EQ(page.first(), 5u);
  EXPECT_EQ(page.records.front().fault_id, 14);
  page = cache.page(everything, 10, page.first());
  EXPECT_EQ(page.first(), 0u);
  EXPECT_EQ(ids(page), "4f 3p 2f 1p 0f");
  // Past the end: the newest; a filter numbers what it selects.
  EXPECT_EQ(cache.page(everything, 1, 1000).records.front().fault_id, 24);
  diagctl::RecordFilter passed;
  passed.status = diagctl::RecordStatus::kPassed;
  page = cache.page(passed, 2, 3);
  EXPECT_EQ(page.total, 12u);
  EXPECT_EQ(ids(page), "5p 3p");
}

INSTANTIATE_TEST_SUITE_P(
    KeptAndStreamed, RecordCacheTest,
    ::testing::Values(diagctl::RecordCache::kDefaultBudgetBytes, std::size_t{0}));

TEST(RecordCacheBudget, KeepsWhatFitsOnly)
{
  diagnostic_center_test::ScratchDir scratch;
  const auto dir = scratch / "records";
  std::filesystem::create_directories(dir);
  for (const char * name : {"2026-12-06_10-00-00", "2026-12-06_11-00-00"}) {
    std::ofstream out(dir / name);
    for (int i = 0; i < 200; ++i) {
      out << line("2026-12-06_10-00-00", i, "fault");
    }
  }
  const std::size_t file_size = std::filesystem::file_size(dir / "2026-12-06_10-00-00");
  // Room for one file, not two.
  diagctl::RecordCache cache(
      diagctl::RecordSource::make({dir.string()}, false, nullptr), 60 * file_size / 10 + 1);
  const auto page = cache.page(everything, 5, std::nullopt);
  EXPECT_EQ(page.total, 400u);
  EXPECT_GT(cache.cached_bytes(), 0u);
  EXPECT_LE(cache.cached_bytes(), 60 * file_size / 10 + 1);
  EXPECT_EQ(cache.page(everything, 5, std::nullopt).total, 400u);
}

}  // namespace
}  // namespace diagctl_test
