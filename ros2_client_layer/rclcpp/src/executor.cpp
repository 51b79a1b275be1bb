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

#include "rclcpp/executor.hpp"
#include "rclcpp/executors.hpp"

#include <algorithm>
#include <thread>

#include "executor_core.hpp"
#include "rclcpp/executors/multi_threaded_executor.hpp"
#include "rclcpp/executors/single_threaded_executor.hpp"
#include "rclcpp/node.hpp"

namespace rclcpp {

namespace {

// Frees the claimed executable's group even when its callback throws.
class ReleaseGuard
{
public:
  ReleaseGuard(client_layer::ExecutorCore & core, const AnyExecutable & claimed)
      : core_(core), claimed_(claimed)
  {
  }
  ~ReleaseGuard() { core_.release(claimed_); }
  ReleaseGuard(const ReleaseGuard &) = delete;
  ReleaseGuard & operator=(const ReleaseGuard &) = delete;

private:
  client_layer::ExecutorCore & core_;
  const AnyExecutable & claimed_;
};

std::optional<std::chrono::steady_clock::time_point> deadline_after(
    std::chrono::nanoseconds timeout)
{
  if (timeout < std::chrono::nanoseconds::zero()) {
    return std::nullopt;
  }
  return std::chrono::steady_clock::now() + timeout;
}

}  // namespace

Executor::Executor(const rclcpp::ExecutorOptions & options)
    : spinning(false),
      context_(options.context ? options.context : contexts::get_global_default_context()),
      core_(std::make_shared<client_layer::ExecutorCore>())
{
  std::weak_ptr<client_layer::ExecutorCore> weak_core = core_;
  shutdown_callback_handle_ = context_->add_on_shutdown_callback([weak_core]() {
    if (auto core = weak_core.lock()) {
      core->interrupt();
    }
  });
}

Executor::~Executor()
{
  core_->detach_all();
  context_->remove_on_shutdown_callback(shutdown_callback_handle_);
}

void Executor::add_callback_group(
    rclcpp::CallbackGroup::SharedPtr group_ptr,
    rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify)
{
  core_->add_group(group_ptr, node_ptr, notify);
}

std::vector<rclcpp::CallbackGroup::WeakPtr> Executor::get_all_callback_groups()
{
  return core_->groups(true, true);
}

std::vector<rclcpp::CallbackGroup::WeakPtr> Executor::get_manually_added_callback_groups()
{
  return core_->groups(true, false);
}

std::vector<rclcpp::CallbackGroup::WeakPtr>
Executor::get_automatically_added_callback_groups_from_nodes()
{
  return core_->groups(false, true);
}

void Executor::remove_callback_group(rclcpp::CallbackGroup::SharedPtr group_ptr, bool notify)
{
  core_->remove_group(group_ptr, notify);
}

void Executor::add_node(rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify)
{
  core_->add_node(node_ptr, notify);
}

void Executor::add_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify)
{
  add_node(node_ptr->get_node_base_interface(), notify);
}

void Executor::remove_node(
    rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify)
{
  core_->remove_node(node_ptr, notify);
}

void Executor::remove_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify)
{
  remove_node(node_ptr->get_node_base_interface(), notify);
}

void Executor::spin_node_once_nanoseconds(
    rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node, std::chrono::nanoseconds timeout)
{
  add_node(node, false);
  spin_once(timeout);
  remove_node(node, false);
}

void Executor::spin_node_some(rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node)
{
  add_node(node, false);
  spin_some();
  remove_node(node, false);
}

void Executor::spin_node_some(std::shared_ptr<rclcpp::Node> node)
{
  spin_node_some(node->get_node_base_interface());
}

void Executor::spin_some(std::chrono::nanoseconds max_duration)
{
  spin_some_impl(max_duration, false);
}

void Executor::spin_all(std::chrono::nanoseconds max_duration)
{
  if (max_duration < std::chrono::nanoseconds::zero()) {
    throw std::invalid_argument("max_duration must be greater than or equal to 0");
  }
  spin_some_impl(max_duration, true);
}

void Executor::spin_some_impl(std::chrono::nanoseconds max_duration, bool exhaustive)
{
  const auto start = std::chrono::steady_clock::now();
  auto time_left = [&]() {
    return max_duration == std::chrono::nanoseconds::zero() ||
           std::chrono::steady_clock::now() - start < max_duration;
  };
  if (spinning.exchange(true)) {
    throw std::runtime_error("spin_some() called while already spinning");
  }
  SpinningReset reset{spinning};
  // Without exhaustive, each entity runs about once: what is ready now, not
  // what becomes ready while running it.
  size_t budget = core_->entity_count() + 1;
  while (context_ok() && spinning.load() && time_left() && (exhaustive || budget-- > 0)) {
    AnyExecutable claimed;
    if (!get_next_executable(claimed, std::chrono::nanoseconds::zero())) {
      break;
    }
    execute_any_executable(claimed);
  }
}

void Executor::spin_once(std::chrono::nanoseconds timeout)
{
  if (spinning.exchange(true)) {
    throw std::runtime_error("spin_once() called while already spinning");
  }
  SpinningReset reset{spinning};
  spin_once_impl(timeout);
}

void Executor::spin_once_impl(std::chrono::nanoseconds timeout)
{
  AnyExecutable claimed;
  if (get_next_executable(claimed, timeout)) {
    execute_any_executable(claimed);
  }
}

void Executor::cancel()
{
  spinning.store(false);
  core_->interrupt();
}

uint64_t Executor::executed_count() const { return core_->executed_count(); }

bool Executor::get_next_executable(AnyExecutable & any_executable, std::chrono::nanoseconds timeout)
{
  if (!context_ok()) {
    return false;
  }
  return core_->claim(any_executable, deadline_after(timeout), spinning);
}

void Executor::execute_any_executable(AnyExecutable & any_exec)
{
  if (!any_exec.timer && !any_exec.entity) {
    return;
  }
  ReleaseGuard release(*core_, any_exec);
  core_->count_execution();
  if (any_exec.timer) {
    any_exec.timer->execute_callback();
  } else {
    any_exec.entity->execute_one();
  }
}

bool Executor::context_ok() const { return context_->is_valid(); }

namespace executors {

SingleThreadedExecutor::SingleThreadedExecutor(const rclcpp::ExecutorOptions & options)
    : rclcpp::Executor(options)
{
}

SingleThreadedExecutor::~SingleThreadedExecutor() = default;

void SingleThreadedExecutor::spin()
{
  if (spinning.exchange(true)) {
    throw std::runtime_error("spin() called while already spinning");
  }
  SpinningReset reset{spinning};
  while (context_ok() && spinning.load()) {
    AnyExecutable claimed;
    if (get_next_executable(claimed)) {
      execute_any_executable(claimed);
    }
  }
}

MultiThreadedExecutor::MultiThreadedExecutor(
    const rclcpp::ExecutorOptions & options, size_t number_of_threads, bool yield_before_execute,
    std::chrono::nanoseconds timeout)
    : rclcpp::Executor(options),
      number_of_threads_(number_of_threads),
      yield_before_execute_(yield_before_execute),
      next_exec_timeout_(timeout)
{
  if (number_of_threads_ == 0) {
    number_of_threads_ = std::max(std::thread::hardware_concurrency(), 2U);
  }
}

MultiThreadedExecutor::~MultiThreadedExecutor() = default;

size_t MultiThreadedExecutor::get_number_of_threads() { return number_of_threads_; }

void MultiThreadedExecutor::spin()
{
  if (spinning.exchange(true)) {
    throw std::runtime_error("spin() called while already spinning");
  }
  SpinningReset reset{spinning};
  std::vector<std::thread> threads;
  threads.reserve(number_of_threads_ - 1);
  for (size_t i = 1; i < number_of_threads_; ++i) {
    threads.emplace_back([this] { run(); });
  }
  run();
  for (auto & thread : threads) {
    thread.join();
  }
}

void MultiThreadedExecutor::run()
{
  while (context_ok() && spinning.load()) {
    AnyExecutable claimed;
    if (!get_next_executable(claimed, next_exec_timeout_)) {
      continue;
    }
    if (yield_before_execute_) {
      std::this_thread::yield();
    }
    execute_any_executable(claimed);
  }
}

}  // namespace executors

std::ostream & operator<<(std::ostream & os, const FutureReturnCode & future_return_code)
{
  return os << to_string(future_return_code);
}

std::string to_string(const FutureReturnCode & future_return_code)
{
  using enum_type = std::underlying_type<FutureReturnCode>::type;
  std::string prefix = "Unknown enum value (";
  std::string ret_as_string = std::to_string(static_cast<enum_type>(future_return_code));
  switch (future_return_code) {
    case FutureReturnCode::SUCCESS:
      prefix = "SUCCESS (";
      break;
    case FutureReturnCode::INTERRUPTED:
      prefix = "INTERRUPTED (";
      break;
    case FutureReturnCode::TIMEOUT:
      prefix = "TIMEOUT (";
      break;
  }
  return prefix + ret_as_string + ")";
}

}  // namespace rclcpp

namespace rclcpp {

void spin_some(node_interfaces::NodeBaseInterface::SharedPtr node_ptr)
{
  executors::SingleThreadedExecutor executor;
  executor.spin_node_some(node_ptr);
}

void spin_some(Node::SharedPtr node_ptr) { spin_some(node_ptr->get_node_base_interface()); }

void spin(node_interfaces::NodeBaseInterface::SharedPtr node_ptr)
{
  executors::SingleThreadedExecutor executor;
  executor.add_node(node_ptr);
  executor.spin();
  executor.remove_node(node_ptr);
}

void spin(Node::SharedPtr node_ptr) { spin(node_ptr->get_node_base_interface()); }

}  // namespace rclcpp
