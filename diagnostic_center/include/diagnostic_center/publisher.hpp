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

// Holders of the node's publishers.
#ifndef DIAGNOSTIC_CENTER__PUBLISHER_HPP_
#define DIAGNOSTIC_CENTER__PUBLISHER_HPP_

#include <memory>

#include "corvanta_protocol/msg/current_failure.hpp"
#include "corvanta_protocol/msg/diagnosis_tree.hpp"
#include "corvanta_protocol/msg/exception_handle.hpp"
#include "diagnostic_msgs/msg/diagnostic_array.hpp"
#include "rclcpp/rclcpp.hpp"

namespace diagnostic_center {

using corvanta_protocol::msg::CurrentFailure;
using corvanta_protocol::msg::DiagnosisTree;
using corvanta_protocol::msg::ExceptionHandle;
using diagnostic_msgs::msg::DiagnosticArray;

// "exception_handle": one message per fault the rest of the robot is to
// handle. Keep-last 10, reliable, volatile.
class PublisherExceptionHandle
{
public:
  explicit PublisherExceptionHandle(const std::shared_ptr<rclcpp::Node> & node);
  void Publish(const ExceptionHandle & msg) const;

private:
  rclcpp::Publisher<ExceptionHandle>::SharedPtr pub_;
};

// "current_failure": periodic snapshot of every current failure. Keep-last 1,
// reliable, volatile.
class PublisherCurFailure
{
public:
  explicit PublisherCurFailure(const std::shared_ptr<rclcpp::Node> & node);
  void Publish(const CurrentFailure & msg) const;

private:
  rclcpp::Publisher<CurrentFailure>::SharedPtr pub_;
};

// "/diagnostics": the current failures as standard diagnostics. Keep-last 10,
// reliable, volatile.
class PublisherDiagnostics
{
public:
  explicit PublisherDiagnostics(const std::shared_ptr<rclcpp::Node> & node);
  void Publish(const DiagnosticArray & msg) const;

private:
  rclcpp::Publisher<DiagnosticArray>::SharedPtr pub_;
};

// "diagnosis_tree": the whole tree whenever it changes. Keep-last 1,
// reliable, transient local, so that a late joiner gets the current tree.
class PublisherDiagnosisTree
{
public:
  explicit PublisherDiagnosisTree(const std::shared_ptr<rclcpp::Node> & node);
  void Publish(const DiagnosisTree & msg) const;

private:
  rclcpp::Publisher<DiagnosisTree>::SharedPtr pub_;
};

}  // namespace diagnostic_center

#endif  // DIAGNOSTIC_CENTER__PUBLISHER_HPP_
