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

// Executors run the callbacks of nodes and callback groups.
//
// Threads sleep on a condition variable until the earliest timer is due or
// an entity signals data; a thread then takes one ready callback whose group
// may run, marks the group busy, runs the callback without any executor lock
// held and frees the group again.
#ifndef RCLCPP__EXECUTOR_HPP_
#define RCLCPP__EXECUTOR_HPP_

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <vector>

#include "rclcpp/any_executable.hpp"
#include "rclcpp/callback_group.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/executor_options.hpp"
#include "rclcpp/future_return_code.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/visibility_control.hpp"

namespace client_layer {
class ExecutorCore;
}  // namespace client_layer

namespace rclcpp {

class Node;

class Executor
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(Executor)

  explicit Executor(const rclcpp::ExecutorOptions & options = rclcpp::ExecutorOptions());

  virtual ~Executor();

  /// Run callbacks until the context shuts down or cancel() is called.
  virtual void spin() = 0;

  /// Add a callback group (of `node_ptr`) to this executor.
  /** \throws std::runtime_error if the group is in an executor already. */
  virtual void add_callback_group(
      rclcpp::CallbackGroup::SharedPtr group_ptr,
      rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify = true);

  virtual std::vector<rclcpp::CallbackGroup::WeakPtr> get_all_callback_groups();
  virtual std::vector<rclcpp::CallbackGroup::WeakPtr> get_manually_added_callback_groups();
  virtual std::vector<rclcpp::CallbackGroup::WeakPtr>
  get_automatically_added_callback_groups_from_nodes();

  /// \throws std::runtime_error if the group is not in this executor.
  virtual void remove_callback_group(
      rclcpp::CallbackGroup::SharedPtr group_ptr, bool notify = true);

  /// Add a node: its groups that are added automatically with it, now and later.
  /** \throws std::runtime_error if the node is in an executor already. */
  virtual void add_node(
      rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify = true);
  virtual void add_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify = true);

  /// \throws std::runtime_error if the node is not in this executor.
  virtual void remove_node(
      rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr, bool notify = true);
  virtual void remove_node(std::shared_ptr<rclcpp::Node> node_ptr, bool notify = true);

  /// Add the node, run at most one callback within the timeout, remove the node.
  template <typename RepT = int64_t, typename T = std::milli>
  void spin_node_once(
      rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node,
      std::chrono::duration<RepT, T> timeout = std::chrono::duration<RepT, T>(-1))
  {
    spin_node_once_nanoseconds(node, std::chrono::duration_cast<std::chrono::nanoseconds>(timeout));
  }

  template <typename NodeT = rclcpp::Node, typename RepT = int64_t, typename T = std::milli>
  void spin_node_once(
      std::shared_ptr<NodeT> node,
      std::chrono::duration<RepT, T> timeout = std::chrono::duration<RepT, T>(-1))
  {
    spin_node_once_nanoseconds(
        node->get_node_base_interface(),
        std::chrono::duration_cast<std::chrono::nanoseconds>(timeout));
  }

  /// Add the node, run the callbacks that are ready, remove the node.
  void spin_node_some(rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node);
  void spin_node_some(std::shared_ptr<rclcpp::Node> node);

  /// Run the callbacks that are ready now, within max_duration (0: no limit).
  virtual void spin_some(std::chrono::nanoseconds max_duration = std::chrono::nanoseconds(0));

  /// Run callbacks, including those that become ready meanwhile, until none
  /// is ready or max_duration has passed (0: no limit).
  /** \throws std::invalid_argument if max_duration is negative */
  virtual void spin_all(std::chrono::nanoseconds max_duration);

  /// Wait up to `timeout` (negative: forever) for one callback and run it.
  virtual void spin_once(std::chrono::nanoseconds timeout = std::chrono::nanoseconds(-1));

  /// Spin until the future completes, the timeout passes or spinning stops.
  template <typename FutureT, typename TimeRepT = int64_t, typename TimeT = std::milli>
  FutureReturnCode spin_until_future_complete(
      const FutureT & future,
      std::chrono::duration<TimeRepT, TimeT> timeout = std::chrono::duration<TimeRepT, TimeT>(-1))
  {
    if (future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
      return FutureReturnCode::SUCCESS;
    }
    const auto timeout_ns = std::chrono::duration_cast<std::chrono::nanoseconds>(timeout);
    const auto end_time = std::chrono::steady_clock::now() + timeout_ns;
    std::chrono::nanoseconds timeout_left = timeout_ns;

    if (spinning.exchange(true)) {
      throw std::runtime_error("spin_until_future_complete() called while already spinning");
    }
    SpinningReset reset{spinning};
    while (context_ok() && spinning.load()) {
      spin_once_impl(timeout_left);
      if (future.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        return FutureReturnCode::SUCCESS;
      }
      if (timeout_ns < std::chrono::nanoseconds::zero()) {
        continue;
      }
      const auto now = std::chrono::steady_clock::now();
      if (now >= end_time) {
        return FutureReturnCode::TIMEOUT;
      }
      timeout_left = std::chrono::duration_cast<std::chrono::nanoseconds>(end_time - now);
    }
    return FutureReturnCode::INTERRUPTED;
  }

  /// Stop spinning; spin() returns once the running callbacks have finished.
  void cancel();

  /// Layer internal: number of callbacks the executor has run.
  uint64_t executed_count() const;

protected:
  struct SpinningReset
  {
    std::atomic_bool & flag;
    ~SpinningReset() { flag.store(false); }
  };

  void spin_node_once_nanoseconds(
      rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node, std::chrono::nanoseconds timeout);

  /// Wait up to `timeout` (negative: forever) for a ready callback and take it.
  bool get_next_executable(
      AnyExecutable & any_executable,
      std::chrono::nanoseconds timeout = std::chrono::nanoseconds(-1));

  /// Run a taken callback and free its group.
  void execute_any_executable(AnyExecutable & any_exec);

  void spin_once_impl(std::chrono::nanoseconds timeout);

  bool context_ok() const;

  std::atomic_bool spinning;
  std::shared_ptr<rclcpp::Context> context_;

private:
  RCLCPP_DISABLE_COPY(Executor)

  void spin_some_impl(std::chrono::nanoseconds max_duration, bool exhaustive);

  std::shared_ptr<client_layer::ExecutorCore> core_;
  rclcpp::OnShutdownCallbackHandle shutdown_callback_handle_;
};

}  // namespace rclcpp

#endif  // RCLCPP__EXECUTOR_HPP_
