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

// The robot modules' side of a load run: one publisher per module topic and
// a listener that keeps the fault id of every ExceptionHandle, in order of
// arrival. Both ends are keep-all, so a sample this side sent or the node
// sent is never dropped here: every loss counted is the node's.
#ifndef BENCH__NODE_E2E__LOAD_DRIVER_HPP_
#define BENCH__NODE_E2E__LOAD_DRIVER_HPP_

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "background_spinner.hpp"
#include "corvanta_protocol/msg/current_failure.hpp"
#include "corvanta_protocol/msg/diagnostic_event.hpp"
#include "corvanta_protocol/msg/exception_handle.hpp"
#include "rclcpp/rclcpp.hpp"

namespace node_e2e_bench {

// The `index`th event of a load run: round robin over the configured faults
// and the module topics; every fourth round clears the faults it raised.
corvanta_protocol::msg::DiagnosticEvent LoadEvent(std::size_t index);
std::size_t LoadTopicIndex(std::size_t index);

class LoadDriver
{
public:
  explicit LoadDriver(std::size_t expected_answers);
  ~LoadDriver();
  LoadDriver(const LoadDriver &) = delete;
  LoadDriver & operator=(const LoadDriver &) = delete;

  // True once every publisher is matched, "exception_handle" has a
  // publisher and a "current_failure" message has come through.
  [[nodiscard]] bool WaitForCentre(std::chrono::seconds timeout);

  void Publish(std::size_t topic_index, const corvanta_protocol::msg::DiagnosticEvent & event);

  std::size_t AnswerCount() const;
  std::vector<std::int32_t> Answers() const;

private:
  rclcpp::Node::SharedPtr node_;
  std::vector<rclcpp::Publisher<corvanta_protocol::msg::DiagnosticEvent>::SharedPtr> publishers_;
  rclcpp::Subscription<corvanta_protocol::msg::ExceptionHandle>::SharedPtr answer_subscription_;
  rclcpp::Subscription<corvanta_protocol::msg::CurrentFailure>::SharedPtr failure_subscription_;
  std::unique_ptr<diagnostic_center_test::BackgroundSpinner> spinner_;

  mutable std::mutex mutex_;
  std::vector<std::int32_t> answers_;
  std::size_t current_failures_ = 0;
};

}  // namespace node_e2e_bench

#endif  // BENCH__NODE_E2E__LOAD_DRIVER_HPP_
