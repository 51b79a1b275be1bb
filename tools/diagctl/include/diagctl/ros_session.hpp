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

// The tool's presence on the ROS graph: the client library initialised with
// the ROS arguments of the command line, and one node in the chosen namespace.
#ifndef DIAGCTL__ROS_SESSION_HPP_
#define DIAGCTL__ROS_SESSION_HPP_

#include <chrono>
#include <string>
#include <thread>

#include <rclcpp/rclcpp.hpp>

#include "diagctl/arg_parser.hpp"

namespace diagctl {

class RosSession
{
public:
  // Throws what rclcpp throws for bad ROS arguments or a bad namespace.
  explicit RosSession(const GlobalOptions & options);
  ~RosSession();

  RosSession(const RosSession &) = delete;
  RosSession & operator=(const RosSession &) = delete;

  const rclcpp::Node::SharedPtr & node() const { return node_; }

  // Where a relative name lands in the tool's namespace, for messages.
  std::string qualified(const std::string & name) const;

private:
  rclcpp::Node::SharedPtr node_;
};

// Waits until `publisher` has a subscriber, the timeout passes or the
// context ends (Ctrl-C). Returns whether a subscriber is there.
template <typename PublisherT>
[[nodiscard]] bool wait_for_subscriber(
    const PublisherT & publisher, std::chrono::milliseconds timeout)
{
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (publisher->get_subscription_count() == 0) {
    if (!rclcpp::ok() || std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// What to check when the node does not answer: where the tool looks for it
// and whether its DDS configuration reaches the node's.
constexpr const char * kNodeNotFoundHint =
    "is the node running, in this namespace and domain, and does this DDS configuration "
    "reach it (CYCLONEDDS_URI, ROS_LOCALHOST_ONLY, ROS_SECURITY_*)?";

// Waits until every matched subscriber acknowledged every message
// `publisher` sent, or the timeout passed; true when all were acknowledged.
// On a bad link the reliable protocol resends until then, and a tool that
// left before would have lost what was still unacknowledged.
template <typename PublisherT>
[[nodiscard]] bool wait_for_acknowledgements(
    const PublisherT & publisher, std::chrono::milliseconds timeout)
{
  return publisher->wait_for_all_acked(timeout);
}

// The complaint about messages on `topic` that were not acknowledged.
std::string unacknowledged_message(const std::string & topic, std::chrono::milliseconds timeout);

}  // namespace diagctl

#endif  // DIAGCTL__ROS_SESSION_HPP_
