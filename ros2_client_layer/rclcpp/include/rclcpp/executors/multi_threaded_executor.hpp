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

// An executor that runs callbacks on a pool of threads.
#ifndef RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_
#define RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_

#include <chrono>
#include <cstddef>

#include "rclcpp/executor.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {
namespace executors {

class MultiThreadedExecutor : public rclcpp::Executor
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(MultiThreadedExecutor)

  /// \param number_of_threads 0 means the number of cores (at least 2)
  /// \param yield_before_execute yield the thread before each callback
  /// \param timeout longest wait for work in one round (negative: no limit)
  explicit MultiThreadedExecutor(
      const rclcpp::ExecutorOptions & options = rclcpp::ExecutorOptions(),
      size_t number_of_threads = 0, bool yield_before_execute = false,
      std::chrono::nanoseconds timeout = std::chrono::nanoseconds(-1));

  ~MultiThreadedExecutor() override;

  /// Run on number_of_threads threads, the calling one included.
  /** \throws std::runtime_error when called while already spinning */
  void spin() override;

  size_t get_number_of_threads();

private:
  RCLCPP_DISABLE_COPY(MultiThreadedExecutor)

  void run();

  size_t number_of_threads_;
  bool yield_before_execute_;
  std::chrono::nanoseconds next_exec_timeout_;
};

}  // namespace executors
}  // namespace rclcpp

#endif  // RCLCPP__EXECUTORS__MULTI_THREADED_EXECUTOR_HPP_
