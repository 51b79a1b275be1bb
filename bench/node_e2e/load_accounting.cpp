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

#include "load_accounting.hpp"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <unordered_map>

namespace node_e2e_bench {
namespace {

constexpr const char * kEventLine = "receive failure event : ";
constexpr const char * kStatusField = ", status : ";
constexpr const char * kStatusChange = "diag robot status ";

double Median(std::vector<double> values)
{
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double SlopePerMinute(const std::vector<RssSample> & window)
{
  if (window.size() < 2) {
    return 0;
  }
  double mean_t = 0;
  double mean_m = 0;
  for (const auto & sample : window) {
    mean_t += sample.seconds;
    mean_m += sample.mib;
  }
  mean_t /= static_cast<double>(window.size());
  mean_m /= static_cast<double>(window.size());
  double covariance = 0;
  double variance = 0;
  for (const auto & sample : window) {
    covariance += (sample.seconds - mean_t) * (sample.mib - mean_m);
    variance += (sample.seconds - mean_t) * (sample.seconds - mean_t);
  }
  return variance > 0 ? 60.0 * covariance / variance : 0;
}

}  // namespace

HandledEvents ReadHandledEvents(std::istream & log)
{
  HandledEvents handled;
  std::string line;
  while (std::getline(log, line)) {
    const auto event = line.find(kEventLine);
    if (event == std::string::npos) {
      handled.status_changes += line.find(kStatusChange) != std::string::npos ? 1 : 0;
      continue;
    }
    // The description sits between id and status and may hold anything, so
    // the status is the last field.
    const auto status = line.rfind(kStatusField);
    if (status == std::string::npos || status < event) {
      continue;
    }
    const auto id =
        std::strtol(line.c_str() + event + std::char_traits<char>::length(kEventLine), nullptr, 10);
    if (std::atoi(line.c_str() + status + std::char_traits<char>::length(kStatusField)) == 1) {
      handled.raise_ids.push_back(static_cast<std::int32_t>(id));
    } else {
      ++handled.clears;
    }
  }
  return handled;
}

AnswerMatch MatchAnswers(
    const std::vector<std::int32_t> & handled_raises, const std::vector<std::int32_t> & answers)
{
  AnswerMatch match;
  std::unordered_map<std::int32_t, long> balance;
  for (const std::int32_t id : handled_raises) {
    ++balance[id];
  }
  for (const std::int32_t id : answers) {
    --balance[id];
  }
  for (const auto & entry : balance) {
    (entry.second > 0 ? match.unanswered : match.surplus) +=
        static_cast<std::size_t>(std::labs(entry.second));
  }
  // Greedy matching decides whether the answers are a subsequence.
  std::size_t next = 0;
  std::size_t paired = 0;
  for (const std::int32_t id : answers) {
    while (next < handled_raises.size() && handled_raises[next] != id) {
      ++next;
    }
    if (next == handled_raises.size()) {
      break;
    }
    ++next;
    ++paired;
  }
  match.in_handling_order = paired == answers.size();
  return match;
}

RssSummary SummariseRss(const std::vector<RssSample> & samples, double from, double to)
{
  RssSummary summary;
  std::vector<RssSample> window;
  for (const auto & sample : samples) {
    summary.peak_mib = std::max(summary.peak_mib, sample.mib);
    if (sample.seconds >= from && sample.seconds <= to) {
      window.push_back(sample);
    }
  }
  if (window.empty()) {
    return summary;
  }
  std::vector<double> values;
  for (const auto & sample : window) {
    values.push_back(sample.mib);
  }
  summary.plateau_mib = Median(values);
  summary.plateau_samples = window.size();
  summary.slope_mib_per_min = SlopePerMinute(window);
  return summary;
}

}  // namespace node_e2e_bench
