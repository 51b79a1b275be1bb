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

// Cost of raising (push) and clearing (remove) a failure in the diagnosis
// tree against the number of failures already current. Run:
//   build/bench/node/push_remove_bench
// The tree's INFO lines are switched off so that the figures show the tree,
// not the console.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "diagnostic_center/diag_tree.hpp"
#include "rclcpp/logger.hpp"

namespace {

using corvanta_protocol::msg::DiagnosticEvent;
using diag_tree::DiagTree;
using diag_tree::FaultConfig;
using diag_tree::FaultTable;

constexpr std::uint32_t kProbeRoot = 1;  // the fault raised and cleared
constexpr std::uint32_t kProbeSub = 2;   // a current consequence of it
constexpr std::uint32_t kFirstFiller = 100;

DiagnosticEvent Raise(std::uint32_t id, std::int32_t sec)
{
  DiagnosticEvent event;
  event.fault_id = static_cast<std::int32_t>(id);
  event.status = 1;
  event.stamp.sec = sec;
  return event;
}

rclcpp::Logger QuietLogger()
{
  rclcpp::Logger logger = rclcpp::get_logger("push_remove_bench");
  logger.set_level(rclcpp::Logger::Level::Warn);
  return logger;
}

// `current` failures are present besides the probe: half of them roots, half
// consequences hanging below those roots, none related to the probe.
struct Fixture
{
  explicit Fixture(std::int64_t current)
  {
    table.Insert(Config(kProbeRoot, static_cast<std::int32_t>(kProbeRoot)));
    table.Insert(Config(kProbeSub, static_cast<std::int32_t>(kProbeRoot)));
    for (std::int64_t i = 0; i < current; ++i) {
      const auto id = kFirstFiller + static_cast<std::uint32_t>(i);
      const auto cause = (i % 2 == 0) ? id : id - 1;
      table.Insert(Config(id, static_cast<std::int32_t>(cause)));
    }
    tree = std::make_unique<DiagTree>(QuietLogger(), table);
    for (std::int64_t i = 0; i < current; ++i) {
      tree->push(Raise(kFirstFiller + static_cast<std::uint32_t>(i), 100));
    }
  }

  static FaultConfig Config(std::uint32_t id, std::int32_t cause)
  {
    FaultConfig config;
    config.fault_id = id;
    config.root_cause = cause;
    config.root_cause_time_dis = 500;
    return config;
  }

  FaultTable table;
  std::unique_ptr<DiagTree> tree;
};

// Raise and clear of a fault with no current consequences.
void BM_PushRemove(benchmark::State & state)
{
  Fixture fixture(state.range(0));
  const DiagnosticEvent raise = Raise(kProbeRoot, 100);
  for (auto _ : state) {
    fixture.tree->push(raise);
    fixture.tree->remove(kProbeRoot);
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

// Raise of a root cause that adopts one current consequence, and its clear.
void BM_PushRemoveWithConsequence(benchmark::State & state)
{
  Fixture fixture(state.range(0));
  fixture.tree->push(Raise(kProbeSub, 100));
  const DiagnosticEvent raise = Raise(kProbeRoot, 100);
  for (auto _ : state) {
    fixture.tree->push(raise);
    fixture.tree->remove(kProbeRoot);
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

// A repeated raise of a failure that is already current.
void BM_RepeatedPush(benchmark::State & state)
{
  Fixture fixture(state.range(0));
  const DiagnosticEvent raise = Raise(kProbeRoot, 100);
  fixture.tree->push(raise);
  for (auto _ : state) {
    fixture.tree->push(raise);
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_PushRemove)->Arg(1)->Arg(100)->Arg(10000);
BENCHMARK(BM_PushRemoveWithConsequence)->Arg(1)->Arg(100)->Arg(10000);
BENCHMARK(BM_RepeatedPush)->Arg(1)->Arg(100)->Arg(10000);

}  // namespace

BENCHMARK_MAIN();
