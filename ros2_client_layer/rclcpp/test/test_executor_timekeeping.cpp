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

// The executor's timekeeping rules on their own: which claimant watches the
// earliest timer, which stands by behind it, and how the due-timer batch is
// served. No threads and no sleeps: only the bookkeeping.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "due_timer_batch.hpp"
#include "timekeeper.hpp"

namespace {

using client_layer::DueTimerBatch;
using client_layer::Timekeeper;
using Kind = Timekeeper::Role::Kind;
using std::chrono::microseconds;
using std::chrono::milliseconds;

const Timekeeper::Clock::time_point kTick = Timekeeper::Clock::now() + std::chrono::seconds(10);

TEST(Timekeeper, OneWatcherAndOneStandbyPerTick)
{
  Timekeeper keeper;
  const auto a = keeper.new_claimant();
  const auto b = keeper.new_claimant();
  const auto c = keeper.new_claimant();
  ASSERT_NE(a, b);

  const auto role_a = keeper.plan_sleep(a, kTick);
  EXPECT_EQ(role_a.kind, Kind::watcher);
  EXPECT_EQ(role_a.wake_at, kTick);
  // A scan a moment later computes the same tick a little later: still watched.
  EXPECT_EQ(keeper.plan_sleep(b, kTick + microseconds(20)).kind, Kind::standby);
  EXPECT_EQ(keeper.plan_sleep(c, kTick).kind, Kind::none);

  EXPECT_TRUE(keeper.wakes_by(kTick));
  EXPECT_FALSE(keeper.wakes_by(kTick - microseconds(1)));

  // Planning again keeps each in its role.
  EXPECT_EQ(keeper.plan_sleep(a, kTick).kind, Kind::watcher);
  EXPECT_EQ(keeper.plan_sleep(b, kTick).kind, Kind::standby);
  EXPECT_EQ(keeper.plan_sleep(c, kTick).kind, Kind::none);
}

TEST(Timekeeper, RolesPassOnWhenGivenUpOrOvertaken)
{
  Timekeeper keeper;
  const auto a = keeper.new_claimant();
  const auto b = keeper.new_claimant();
  const auto c = keeper.new_claimant();
  keeper.plan_sleep(a, kTick);
  keeper.plan_sleep(b, kTick);

  // A claimant without a role has nothing to hand on.
  EXPECT_FALSE(keeper.resign(c));
  // The watcher claims work: its mark is free for the next sleeper.
  EXPECT_TRUE(keeper.resign(a));
  EXPECT_FALSE(keeper.resign(a));
  EXPECT_EQ(keeper.plan_sleep(c, kTick).kind, Kind::watcher);

  // An earlier timer: the standby becomes its watcher, and the old watcher,
  // overtaken, holds nothing and takes the free standby mark when it plans.
  const auto earlier = kTick - milliseconds(5);
  EXPECT_EQ(keeper.plan_sleep(b, earlier).kind, Kind::watcher);
  EXPECT_FALSE(keeper.resign(c));
  EXPECT_EQ(keeper.plan_sleep(c, earlier).kind, Kind::standby);
  EXPECT_TRUE(keeper.wakes_by(earlier));

  // A watcher whose timer moved later follows it.
  const auto later = kTick + milliseconds(5);
  const auto role = keeper.plan_sleep(b, later);
  EXPECT_EQ(role.kind, Kind::watcher);
  EXPECT_EQ(role.wake_at, later);
}

TEST(Timekeeper, NoTimerToWaitForDropsTheRole)
{
  Timekeeper keeper;
  const auto a = keeper.new_claimant();
  const auto b = keeper.new_claimant();
  keeper.plan_sleep(a, kTick);
  keeper.plan_sleep(b, kTick);
  EXPECT_EQ(keeper.plan_sleep(a, std::nullopt).kind, Kind::none);
  EXPECT_EQ(keeper.plan_sleep(b, std::nullopt).kind, Kind::none);
  EXPECT_FALSE(keeper.resign(a));
  EXPECT_FALSE(keeper.resign(b));
  EXPECT_FALSE(keeper.wakes_by(kTick + std::chrono::hours(1)));
}

TEST(DueTimerBatch, ServesEachMemberOnceInOrder)
{
  DueTimerBatch batch;
  EXPECT_EQ(batch.next(), nullptr);
  for (size_t entry : {3u, 1u, 2u}) {
    batch.append(entry, {});
  }
  const auto free_entry = [](size_t entry) { return entry == 2; };

  EXPECT_TRUE(batch.more_due(free_entry));
  ASSERT_NE(batch.next(), nullptr);
  const auto * second = batch.next();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->entry, 1u);
  // Only members not handed out count, and only in groups free to run.
  EXPECT_TRUE(batch.more_due(free_entry));
  EXPECT_FALSE(batch.more_due([](size_t entry) { return entry != 2; }));
  ASSERT_NE(batch.next(), nullptr);
  EXPECT_FALSE(batch.more_due(free_entry));
  EXPECT_EQ(batch.next(), nullptr);

  // A dropped batch starts afresh.
  batch.drop();
  batch.append(7, {});
  const auto * first = batch.next();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->entry, 7u);
  batch.append(8, {});
  batch.drop();
  EXPECT_EQ(batch.next(), nullptr);
  EXPECT_FALSE(batch.more_due([](size_t) { return true; }));
}

}  // namespace
