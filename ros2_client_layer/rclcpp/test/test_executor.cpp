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

// Executors, callback groups and timers.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "client_layer_test_interfaces/msg/event.hpp"
#include "layer_test_support.hpp"
#include "node_fixture.hpp"
#include "rclcpp/rclcpp.hpp"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using client_layer_test_interfaces::msg::Event;
using layer_test::wait_until;
using layer_test::what_of;

namespace {

class ExecutorTest : public NodeFixture
{
protected:
  ExecutorTest() : NodeFixture("executor_test") {}

  // A new mutually exclusive group, kept alive here: a node holds its groups weakly.
  rclcpp::CallbackGroup::SharedPtr new_group()
  {
    groups_.push_back(node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive));
    return groups_.back();
  }

private:
  std::vector<rclcpp::CallbackGroup::SharedPtr> groups_;
};

// Runs an executor's spin() on a thread; cancels and joins on destruction.
class SpinThread
{
public:
  explicit SpinThread(rclcpp::Executor & executor)
      : executor_(executor), thread_([this] { executor_.spin(); })
  {
  }
  ~SpinThread()
  {
    executor_.cancel();
    thread_.join();
  }

private:
  rclcpp::Executor & executor_;
  std::thread thread_;
};

// Holds an executor's thread in a timer callback of its own group until
// open(), so that timers created meanwhile fall due together.
class ExecutorGate
{
public:
  ExecutorGate(rclcpp::Node & node, const rclcpp::CallbackGroup::SharedPtr & group)
  {
    timer_ = node.create_wall_timer(
        1ms,
        [this] {
          timer_->cancel();
          opened_.wait();
        },
        group);
  }
  void open() { open_.set_value(); }

private:
  std::promise<void> open_;
  std::shared_future<void> opened_ = open_.get_future().share();
  rclcpp::TimerBase::SharedPtr timer_;
};

// Tracks how many callbacks run at once.
class ConcurrencyProbe
{
public:
  void enter()
  {
    const int now = ++active_;
    int seen = max_.load();
    while (now > seen && !max_.compare_exchange_weak(seen, now)) {
    }
  }
  void leave() { --active_; }
  int active() const { return active_.load(); }
  int max() const { return max_.load(); }

private:
  std::atomic<int> active_{0};
  std::atomic<int> max_{0};
};

TEST_F(ExecutorTest, WallTimerPeriodValidation)
{
  auto callback = [] {};
  EXPECT_EQ(
      what_of<std::invalid_argument>([&] { node_->create_wall_timer(-1ms, callback); }),
      "timer period cannot be negative");
  EXPECT_EQ(
      what_of<std::invalid_argument>(
          [&] { node_->create_wall_timer(std::chrono::hours::max(), callback); }),
      "timer period must be less than std::chrono::nanoseconds::max()");
  // The largest periods that fit are accepted.
  EXPECT_NO_THROW(node_->create_wall_timer(std::chrono::seconds(9'000'000'000LL), callback));
  EXPECT_NO_THROW(node_->create_wall_timer(0ms, callback));

  auto other = std::make_shared<rclcpp::Node>("other_node");
  auto foreign_group = other->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
  EXPECT_EQ(
      what_of<std::runtime_error>([&] { node_->create_wall_timer(1s, callback, foreign_group); }),
      "Cannot create timer, group not in node.");
}

TEST_F(ExecutorTest, TimersStayOnTheirGridAndSkipMissedPeriods)
{
  constexpr auto period = 40ms;
  std::mutex mutex;
  std::vector<Clock::time_point> calls;
  const auto created = Clock::now();
  auto timer = node_->create_wall_timer(period, [&] {
    std::lock_guard<std::mutex> lock(mutex);
    calls.push_back(Clock::now());
    if (calls.size() == 3) {
      std::this_thread::sleep_for(period * 3 + period / 2);  // miss three periods
    }
  });
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  {
    SpinThread spin(executor);
    ASSERT_TRUE(wait_until(
        [&] {
          std::lock_guard<std::mutex> lock(mutex);
          return calls.size() >= 8;
        },
        5s));
  }
  std::lock_guard<std::mutex> lock(mutex);
  // Never early: the k-th call on time is at or after creation + k periods.
  EXPECT_GE(calls[0] - created, period - 1ms);
  EXPECT_GE(calls[1] - created, 2 * period - 1ms);
  // The late call comes at once, then the timer goes back to its grid
  // instead of catching the missed periods up in a burst.
  const auto late = calls[3] - calls[2];
  EXPECT_GE(late, period * 3);
  const auto back_on_grid = calls[4] - created;
  const auto phase = back_on_grid % period;
  EXPECT_TRUE(phase < 15ms || phase > period - 5ms)
      << "phase " << std::chrono::duration_cast<std::chrono::microseconds>(phase).count();
  EXPECT_GE(calls[4] - calls[3], 1ms);
  // After the skip, calls are a period apart again (no catch-up burst).
  for (size_t i = 5; i < calls.size(); ++i) {
    EXPECT_GE(calls[i] - calls[i - 1], period / 2) << "call " << i;
  }
}

TEST_F(ExecutorTest, MutuallyExclusiveGroupNeverOverlapsReentrantDoes)
{
  auto exclusive = node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
  auto reentrant = node_->create_callback_group(rclcpp::CallbackGroupType::Reentrant);
  ConcurrencyProbe exclusive_probe;
  ConcurrencyProbe reentrant_probe;
  std::atomic<int> exclusive_calls{0};

  std::vector<rclcpp::TimerBase::SharedPtr> timers;
  for (int i = 0; i < 3; ++i) {
    timers.push_back(node_->create_wall_timer(
        1ms,
        [&] {
          exclusive_probe.enter();
          ++exclusive_calls;
          std::this_thread::sleep_for(2ms);
          exclusive_probe.leave();
        },
        exclusive));
    // Each reentrant callback waits (bounded) for a second one to join it.
    timers.push_back(node_->create_wall_timer(
        1ms,
        [&] {
          reentrant_probe.enter();
          wait_until([&] { return reentrant_probe.max() >= 2; }, 200ms);
          reentrant_probe.leave();
        },
        reentrant));
  }

  rclcpp::executors::MultiThreadedExecutor executor(rclcpp::ExecutorOptions(), 4, true);
  EXPECT_EQ(4u, executor.get_number_of_threads());
  executor.add_node(node_);
  {
    SpinThread spin(executor);
    EXPECT_TRUE(wait_until([&] { return reentrant_probe.max() >= 2; }, 5s));
    EXPECT_TRUE(wait_until([&] { return exclusive_calls.load() >= 30; }, 5s));
  }
  EXPECT_EQ(1, exclusive_probe.max());
  EXPECT_GE(reentrant_probe.max(), 2);
}

// Many timers in one mutually exclusive group keep the group busy when the
// thread sleeping until the next timer wakes up; the timers must go on firing
// for as long as the executor spins, not stall with every thread asleep.
TEST_F(ExecutorTest, TimersOfABusyExclusiveGroupKeepFiring)
{
  constexpr int kTimers = 13;
  std::vector<std::atomic<int>> fired(kTimers);
  std::vector<rclcpp::TimerBase::SharedPtr> timers;
  for (int i = 0; i < kTimers; ++i) {
    timers.push_back(node_->create_wall_timer(10ms, [&fired, i] { ++fired[i]; }));
  }
  rclcpp::executors::MultiThreadedExecutor executor(rclcpp::ExecutorOptions(), 4);
  executor.add_node(node_);
  SpinThread spin(executor);

  // Each timer is due 100 times a second; a stall anywhere in the window
  // leaves some timer far behind.
  for (int window = 0; window < 4; ++window) {
    std::vector<int> before(kTimers);
    for (int i = 0; i < kTimers; ++i) {
      before[i] = fired[i].load();
    }
    std::this_thread::sleep_for(500ms);
    for (int i = 0; i < kTimers; ++i) {
      EXPECT_GE(fired[i].load() - before[i], 5) << "timer " << i << ", window " << window;
    }
  }
}

// A thread that runs the timers falling due together keeps the others asleep,
// but a long callback among them must not hold up the other groups: they run
// on another thread while it blocks, in this tick and the ones after. It
// blocks only in its fifth tick, after ticks whose batches ended in time and
// moved the standby's wake-up on without waking it.
TEST_F(ExecutorTest, ALongTimerCallbackDoesNotHoldUpOtherGroups)
{
  constexpr int kShort = 6;
  std::vector<std::atomic<int>> fired(kShort);
  auto all_fired_twice = [&] {
    return std::all_of(fired.begin(), fired.end(), [](const auto & n) { return n.load() >= 2; });
  };
  std::atomic<int> blocker_runs{0};
  std::atomic<bool> blocking{false};
  std::atomic<bool> others_ran{false};
  // Created first, so the first to run when all fall due together.
  auto blocker = node_->create_wall_timer(
      10ms,
      [&] {
        if (++blocker_runs == 5) {
          blocking = true;
          others_ran = wait_until(all_fired_twice, 10s);
        }
      },
      new_group());
  std::vector<rclcpp::TimerBase::SharedPtr> timers;
  for (int i = 0; i < kShort; ++i) {
    timers.push_back(node_->create_wall_timer(
        10ms,
        [&, i] {
          if (blocking.load()) {
            ++fired[i];
          }
        },
        new_group()));
  }
  rclcpp::executors::MultiThreadedExecutor executor(rclcpp::ExecutorOptions(), 4);
  executor.add_node(node_);
  SpinThread spin(executor);
  ASSERT_TRUE(wait_until([&] { return others_ran.load(); }, 20s));
}

// Timers that fall due together run in the order of their due times, whatever
// the order of their groups: a timer that drains a queue and a timer of the
// same period created just after it to handle what was drained run in that
// order in every period.
TEST_F(ExecutorTest, TimersDueTogetherRunEarliestDueFirst)
{
  std::mutex order_mutex;
  std::vector<std::string> order;
  auto record = [&](const std::string & name) {
    std::lock_guard<std::mutex> lock(order_mutex);
    order.push_back(name);
  };
  // Holds the one executor thread until both timers below are due.
  ExecutorGate gate(*node_, new_group());
  // Created first, in the first group, but due last.
  auto late = node_->create_wall_timer(
      20ms, [&] { record("late"); }, new_group());
  auto early = node_->create_wall_timer(
      20ms, [&] { record("early"); }, new_group());
  std::this_thread::sleep_for(2ms);
  late->reset();

  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  SpinThread spin(executor);
  ASSERT_TRUE(wait_until([&] { return late->time_until_trigger() < -5ms; }, 5s));
  gate.open();
  ASSERT_TRUE(wait_until(
      [&] {
        std::lock_guard<std::mutex> lock(order_mutex);
        return order.size() >= 2;
      },
      5s));
  std::lock_guard<std::mutex> lock(order_mutex);
  EXPECT_EQ(order[0], "early");
  EXPECT_EQ(order[1], "late");
}

TEST_F(ExecutorTest, ATimerStoppedByAnEarlierCallbackOfItsTickDoesNotRun)
{
  ExecutorGate gate(*node_, new_group());
  std::atomic<int> first_calls{0};
  std::atomic<int> stopped_calls{0};
  rclcpp::TimerBase::SharedPtr canceled;
  rclcpp::TimerBase::SharedPtr dropped;
  auto first = node_->create_wall_timer(
      20ms,
      [&] {
        if (first_calls++ == 0) {
          canceled->cancel();
          dropped.reset();  // its only owner: the timer is destroyed here
        }
      },
      new_group());
  canceled = node_->create_wall_timer(
      20ms, [&] { ++stopped_calls; }, new_group());
  dropped = node_->create_wall_timer(
      20ms, [&] { ++stopped_calls; }, new_group());
  // The two are due just after `first`, and all three are overdue together
  // when the gate lets the executor go.
  std::this_thread::sleep_for(2ms);
  canceled->reset();
  dropped->reset();

  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  SpinThread spin(executor);
  ASSERT_TRUE(wait_until([&] { return canceled->time_until_trigger() < -5ms; }, 5s));
  gate.open();
  ASSERT_TRUE(wait_until([&] { return first_calls.load() >= 3; }, 5s));
  EXPECT_EQ(stopped_calls.load(), 0);
}

TEST_F(ExecutorTest, GroupsCreatedAfterAddNodeArePickedUp)
{
  rclcpp::executors::MultiThreadedExecutor executor(rclcpp::ExecutorOptions(), 2);
  executor.add_node(node_->get_node_base_interface(), true);
  SpinThread spin(executor);
  std::this_thread::sleep_for(20ms);  // let the executor go to sleep first

  std::atomic<int> automatic_calls{0};
  std::atomic<int> manual_calls{0};
  auto automatic = node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive);
  auto manual = node_->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, false);
  auto timer1 = node_->create_wall_timer(
      5ms, [&] { ++automatic_calls; }, automatic);
  auto timer2 = node_->create_wall_timer(
      5ms, [&] { ++manual_calls; }, manual);

  EXPECT_TRUE(wait_until([&] { return automatic_calls.load() >= 3; }, 5s));
  EXPECT_TRUE(automatic->get_associated_with_executor_atomic().load());
  EXPECT_FALSE(manual->get_associated_with_executor_atomic().load());
  EXPECT_EQ(0, manual_calls.load());

  executor.add_callback_group(manual, node_->get_node_base_interface());
  EXPECT_TRUE(wait_until([&] { return manual_calls.load() >= 3; }, 5s));
}

TEST_F(ExecutorTest, TimerCancelAndReset)
{
  std::atomic<int> calls{0};
  auto timer = node_->create_wall_timer(5ms, [&] { ++calls; });
  timer->cancel();
  EXPECT_TRUE(timer->is_canceled());
  EXPECT_EQ(std::chrono::nanoseconds::max(), timer->time_until_trigger());

  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  SpinThread spin(executor);
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(0, calls.load());
  timer->reset();
  EXPECT_FALSE(timer->is_canceled());
  EXPECT_TRUE(wait_until([&] { return calls.load() >= 2; }, 5s));
}

TEST_F(ExecutorTest, NodeCanBeInOneExecutorOnly)
{
  rclcpp::executors::SingleThreadedExecutor first;
  rclcpp::executors::SingleThreadedExecutor second;
  first.add_node(node_);
  EXPECT_EQ(
      what_of<std::runtime_error>([&] { second.add_node(node_); }),
      "Node '/executor_test' has already been added to an executor.");
  EXPECT_THROW(second.remove_node(node_), std::runtime_error);
  first.remove_node(node_);
  EXPECT_NO_THROW(second.add_node(node_));
}

TEST_F(ExecutorTest, ADestroyedExecutorLetsGoOfItsNodeAtOnce)
{
  // DDS listener threads wake the executor while samples stream in; the
  // node must be free the moment its executor is gone, whatever they do.
  auto subscription =
      node_->create_subscription<Event>("stream", rclcpp::QoS(10), [](const Event &) {});
  auto publisher = node_->create_publisher<Event>("stream", rclcpp::QoS(10));
  std::atomic_bool streaming{true};
  std::thread stream([&] {
    while (streaming.load()) {
      publisher->publish(Event());
    }
  });
  for (int round = 0; round < 5000; ++round) {
    rclcpp::executors::SingleThreadedExecutor executor;
    ASSERT_NO_THROW(executor.add_node(node_)) << "round " << round;
    executor.spin_some();
  }
  streaming.store(false);
  stream.join();
}

TEST_F(ExecutorTest, SpinEndsOnShutdownAndCancel)
{
  auto timer = node_->create_wall_timer(1h, [] {});
  {
    rclcpp::executors::MultiThreadedExecutor executor(rclcpp::ExecutorOptions(), 3);
    executor.add_node(node_);
    auto spinning = std::async(std::launch::async, [&] { executor.spin(); });
    std::this_thread::sleep_for(20ms);
    executor.cancel();
    EXPECT_EQ(std::future_status::ready, spinning.wait_for(5s));
  }
  rclcpp::executors::SingleThreadedExecutor executor;
  executor.add_node(node_);
  auto spinning = std::async(std::launch::async, [&] { executor.spin(); });
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(rclcpp::shutdown());
  EXPECT_FALSE(rclcpp::ok());
  EXPECT_EQ(std::future_status::ready, spinning.wait_for(5s));
}

TEST_F(ExecutorTest, SpinUntilFutureCompleteAndSpinSome)
{
  std::promise<int> promise;
  auto future = promise.get_future().share();
  int ticks = 0;
  auto timer = node_->create_wall_timer(2ms, [&] {
    if (++ticks == 3) {
      promise.set_value(42);
    }
  });
  EXPECT_EQ(
      rclcpp::FutureReturnCode::SUCCESS, rclcpp::spin_until_future_complete(node_, future, 5s));
  EXPECT_EQ(42, future.get());

  std::promise<void> never;
  auto never_future = never.get_future();
  EXPECT_EQ(
      rclcpp::FutureReturnCode::TIMEOUT,
      rclcpp::spin_until_future_complete(node_, never_future, 30ms));

  timer->cancel();
  std::atomic<int> calls{0};
  auto quick = node_->create_wall_timer(1ms, [&] { ++calls; });
  std::this_thread::sleep_for(5ms);
  rclcpp::spin_some(node_);
  EXPECT_EQ(1, calls.load());
}

}  // namespace
