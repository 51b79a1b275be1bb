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

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "load_accounting.hpp"

namespace node_e2e_bench {
namespace {

TEST(ReadHandledEvents, CountsRaisesInOrderAndClearsFromTheNodesLog)
{
  std::istringstream log(
      "[INFO] [1.0] [diagnostic_center]: diag robot status 1 to 2\n"
      "[DEBUG] [1.1] [diagnostic_center]: receive event 5001\n"
      "[INFO] [1.2] [diagnostic_center]: receive failure event : 5002, desc: b, status : 1\n"
      "[INFO] [1.2] [diagnostic_center]: nodes_.size() : 1, roots_.size() : 1\n"
      "[INFO] [1.3] [diagnostic_center]: receive failure event : -7, desc: , status : 1\n"
      "[INFO] [1.4] [diagnostic_center]: receive failure event : 5002, desc: b, status : 0\n"
      // A description may hold anything, also what looks like the status.
      "[INFO] [1.5] [diagnostic_center]: receive failure event : 5001, desc: x, status : 0, "
      "status : 1\n"
      "[WARN] [1.6] [diagnostic_center]: open or create file : /r/x failed, lost some fault "
      "record\n"
      "[INFO] [1.7] [diagnostic_center]: receive failure event : 5003, desc: c, status : 1");
  const HandledEvents handled = ReadHandledEvents(log);
  EXPECT_EQ(handled.raise_ids, (std::vector<std::int32_t>{5002, -7, 5001, 5003}));
  EXPECT_EQ(handled.clears, 1u);
  EXPECT_EQ(handled.status_changes, 1u);
}

TEST(MatchAnswers, LostAnswersAreUnansweredAndKeepTheOrder)
{
  const std::vector<std::int32_t> handled{1, 2, 3, 1, 2, 3};
  const auto exact = MatchAnswers(handled, handled);
  EXPECT_EQ(exact.unanswered, 0u);
  EXPECT_EQ(exact.surplus, 0u);
  EXPECT_TRUE(exact.in_handling_order);

  const auto lossy = MatchAnswers(handled, {1, 3, 1});
  EXPECT_EQ(lossy.unanswered, 3u);
  EXPECT_EQ(lossy.surplus, 0u);
  EXPECT_TRUE(lossy.in_handling_order);

  const auto none = MatchAnswers(handled, {});
  EXPECT_EQ(none.unanswered, 6u);
  EXPECT_TRUE(none.in_handling_order);
}

TEST(MatchAnswers, ASecondAnswerShowsEvenWhenALossOfTheSameIdHidesItInTheCounts)
{
  const std::vector<std::int32_t> handled{1, 2, 1, 2};
  const auto doubled = MatchAnswers(handled, {1, 2, 2, 1, 2});
  EXPECT_EQ(doubled.surplus, 1u);
  EXPECT_FALSE(doubled.in_handling_order);

  // The first 1 answered twice, the second 1 never: the counts balance.
  const auto hidden = MatchAnswers(handled, {1, 1, 2, 2});
  EXPECT_EQ(hidden.unanswered, 0u);
  EXPECT_EQ(hidden.surplus, 0u);
  EXPECT_FALSE(hidden.in_handling_order);

  const auto stranger = MatchAnswers(handled, {1, 9, 2, 1, 2});
  EXPECT_EQ(stranger.surplus, 1u);
  EXPECT_FALSE(stranger.in_handling_order);
}

TEST(SummariseRss, PlateauIsTheMedianInsideTheWindowAndPeakIsOverAll)
{
  const std::vector<RssSample> samples{{1, 90}, {2, 10}, {3, 12}, {4, 11}, {5, 14}, {6, 50}};
  const RssSummary summary = SummariseRss(samples, 2, 5);
  EXPECT_DOUBLE_EQ(summary.peak_mib, 90);
  EXPECT_EQ(summary.plateau_samples, 4u);
  EXPECT_DOUBLE_EQ(summary.plateau_mib, 11.5);  // even count: the middle two's mean

  const RssSummary empty = SummariseRss(samples, 100, 200);
  EXPECT_EQ(empty.plateau_samples, 0u);
  EXPECT_DOUBLE_EQ(empty.peak_mib, 90);
}

TEST(SummariseRss, SlopeShowsSteadyGrowthPerMinute)
{
  std::vector<RssSample> growing;
  std::vector<RssSample> flat;
  for (int second = 0; second < 120; ++second) {
    growing.push_back({static_cast<double>(second), 40 + 0.05 * second});
    flat.push_back({static_cast<double>(second), second % 2 == 0 ? 40.0 : 40.5});
  }
  EXPECT_NEAR(SummariseRss(growing, 0, 120).slope_mib_per_min, 3.0, 1e-9);
  EXPECT_NEAR(SummariseRss(flat, 0, 120).slope_mib_per_min, 0.0, 0.01);
  EXPECT_DOUBLE_EQ(SummariseRss({{5, 40}}, 0, 10).slope_mib_per_min, 0);
}

}  // namespace
}  // namespace node_e2e_bench
