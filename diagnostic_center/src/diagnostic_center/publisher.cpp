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

#include "diagnostic_center/publisher.hpp"

#include <string>

#include "diagnostic_center/contract/names.hpp"

namespace diagnostic_center {

namespace {

// Each publisher gets a mutually exclusive group of its own for its event
// callbacks.
template <typename MsgT>
typename rclcpp::Publisher<MsgT>::SharedPtr CreatePublisher(
    const std::shared_ptr<rclcpp::Node> & node, const std::string & topic, const rclcpp::QoS & qos)
{
  rclcpp::PublisherOptions options;
  options.callback_group =
      node->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, true);
  return node->create_publisher<MsgT>(topic, qos, options);
}

}  // namespace

PublisherExceptionHandle::PublisherExceptionHandle(const std::shared_ptr<rclcpp::Node> & node)
    : pub_(CreatePublisher<ExceptionHandle>(node, contract::kExceptionHandleTopic, rclcpp::QoS(10)))
{
}

void PublisherExceptionHandle::Publish(const ExceptionHandle & msg) const { pub_->publish(msg); }

PublisherCurFailure::PublisherCurFailure(const std::shared_ptr<rclcpp::Node> & node)
    : pub_(CreatePublisher<CurrentFailure>(node, contract::kCurrentFailureTopic, rclcpp::QoS(1)))
{
}

void PublisherCurFailure::Publish(const CurrentFailure & msg) const { pub_->publish(msg); }

PublisherDiagnostics::PublisherDiagnostics(const std::shared_ptr<rclcpp::Node> & node)
    : pub_(CreatePublisher<DiagnosticArray>(node, contract::kDiagnosticsTopic, rclcpp::QoS(10)))
{
}

void PublisherDiagnostics::Publish(const DiagnosticArray & msg) const { pub_->publish(msg); }

PublisherDiagnosisTree::PublisherDiagnosisTree(const std::shared_ptr<rclcpp::Node> & node)
    : pub_(CreatePublisher<DiagnosisTree>(
          node, contract::kDiagnosisTreeTopic, rclcpp::QoS(1).transient_local()))
{
}

void PublisherDiagnosisTree::Publish(const DiagnosisTree & msg) const { pub_->publish(msg); }

}  // namespace diagnostic_center
