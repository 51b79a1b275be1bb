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

#include "diagctl/ros_session.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace diagctl {

RosSession::RosSession(const GlobalOptions & options)
{
  if (options.domain_id) {
    // Read by the middleware when the context starts.
    setenv("ROS_DOMAIN_ID", std::to_string(*options.domain_id).c_str(), 1);
  }
  std::vector<const char *> argv;
  for (const std::string & argument : options.ros_arguments) {
    argv.push_back(argument.c_str());
  }
  rclcpp::init(static_cast<int>(argv.size()), argv.data());
  // A name of its own per process, so that several tools can run at once.
  node_ =
      std::make_shared<rclcpp::Node>("diagctl_" + std::to_string(getpid()), options.ros_namespace);
}

RosSession::~RosSession()
{
  node_.reset();
  rclcpp::shutdown();
}

std::string RosSession::qualified(const std::string & name) const
{
  const std::string ns = node_->get_namespace();
  return (ns == "/" ? "" : ns) + "/" + name;
}

std::string unacknowledged_message(const std::string & topic, std::chrono::milliseconds timeout)
{
  char seconds[32];
  std::snprintf(seconds, sizeof(seconds), "%g", timeout.count() / 1000.0);
  return "no acknowledgement on " + topic + " within " + seconds +
         " s: what was published may not have reached the node (a bad link, or the node "
         "stopped)";
}

}  // namespace diagctl
