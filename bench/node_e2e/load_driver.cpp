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

#include "load_driver.hpp"

#include <thread>
#include <utility>

#include "centre_process.hpp"
#include "diagnostic_center/contract/names.hpp"

namespace node_e2e_bench {

using namespace std::chrono_literals;
namespace contract = diagnostic_center::contract;
using corvanta_protocol::msg::CurrentFailure;
using corvanta_protocol::msg::DiagnosticEvent;
using corvanta_protocol::msg::ExceptionHandle;

DiagnosticEvent LoadEvent(std::size_t index)
{
  DiagnosticEvent event;
  event.stamp = WallStamp();
  event.fault_id = kFirstFaultId + static_cast<std::int32_t>(index % kConfiguredFaults);
  event.status = index / kConfiguredFaults % 4 == 3 ? 0 : 1;
  event.event_msg = "load";
  return event;
}

std::size_t LoadTopicIndex(std::size_t index) { return index % std::size(contract::kModuleTopics); }

LoadDriver::LoadDriver(std::size_t expected_answers)
    : node_(std::make_shared<rclcpp::Node>("load_driver"))
{
  answers_.reserve(expected_answers);
  const auto keep_all = rclcpp::QoS(rclcpp::KeepAll()).reliable();
  for (const char * topic : contract::kModuleTopics) {
    publishers_.push_back(node_->create_publisher<DiagnosticEvent>(topic, keep_all));
  }
  answer_subscription_ = node_->create_subscription<ExceptionHandle>(
      contract::kExceptionHandleTopic, keep_all, [this](ExceptionHandle::SharedPtr message) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_.push_back(message->fault_id);
      });
  failure_subscription_ = node_->create_subscription<CurrentFailure>(
      contract::kCurrentFailureTopic, rclcpp::QoS(10).reliable(),
      [this](CurrentFailure::SharedPtr) {
        std::lock_guard<std::mutex> lock(mutex_);
        ++current_failures_;
      });
  spinner_ = std::make_unique<diagnostic_center_test::BackgroundSpinner>(node_);
}

LoadDriver::~LoadDriver()
{
  // Stop the callbacks before the members they use go.
  spinner_.reset();
}

bool LoadDriver::WaitForCentre(std::chrono::seconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  const auto matched = [this] {
    for (const auto & publisher : publishers_) {
      if (publisher->get_subscription_count() == 0) {
        return false;
      }
    }
    return answer_subscription_->get_publisher_count() > 0;
  };
  while (!matched()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(20ms);
  }
  std::size_t seen = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    seen = current_failures_;
  }
  while (std::chrono::steady_clock::now() < deadline) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (current_failures_ > seen) {
        return true;
      }
    }
    std::this_thread::sleep_for(20ms);
  }
  return false;
}

void LoadDriver::Publish(std::size_t topic_index, const DiagnosticEvent & event)
{
  publishers_[topic_index]->publish(event);
}

std::size_t LoadDriver::AnswerCount() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return answers_.size();
}

std::vector<std::int32_t> LoadDriver::Answers() const
{
  std::lock_guard<std::mutex> lock(mutex_);
  return answers_;
}

}  // namespace node_e2e_bench
