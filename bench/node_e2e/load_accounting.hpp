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

// Accounting of a load run, apart from running it: what the node's log says
// it handled, how the ExceptionHandle answers pair with the handled raises,
// and what the resident-set samples add up to. No ROS 2 here.
#ifndef BENCH__NODE_E2E__LOAD_ACCOUNTING_HPP_
#define BENCH__NODE_E2E__LOAD_ACCOUNTING_HPP_

#include <cstddef>
#include <cstdint>
#include <istream>
#include <vector>

namespace node_e2e_bench {

// The events the node handled, from its "receive failure event" INFO lines.
struct HandledEvents
{
  std::vector<std::int32_t> raise_ids;  // in the order the node handled them
  std::size_t clears = 0;
  // "diag robot status" lines: each one re-announces every current failure.
  std::size_t status_changes = 0;
};

HandledEvents ReadHandledEvents(std::istream & log);

// The answers against the handled raises, per fault id: every handled raise
// owes exactly one ExceptionHandle with its id.
struct AnswerMatch
{
  std::size_t unanswered = 0;  // raises of an id beyond that id's answers
  std::size_t surplus = 0;     // answers of an id beyond that id's raises
  // The answers are the handled raises in their order with some left out.
  // False also when an answer twice and a missing one of the same id cancel
  // out in the counts.
  bool in_handling_order = false;
};

AnswerMatch MatchAnswers(
    const std::vector<std::int32_t> & handled_raises, const std::vector<std::int32_t> & answers);

struct RssSample
{
  double seconds;  // since the load began
  double mib;
};

struct RssSummary
{
  double peak_mib = 0;     // highest sample
  double plateau_mib = 0;  // median of the samples in the window
  std::size_t plateau_samples = 0;
  double slope_mib_per_min = 0;  // least-squares slope over the window
};

// `from` and `to` (seconds since the load began) bound the plateau window.
RssSummary SummariseRss(const std::vector<RssSample> & samples, double from, double to);

}  // namespace node_e2e_bench

#endif  // BENCH__NODE_E2E__LOAD_ACCOUNTING_HPP_
