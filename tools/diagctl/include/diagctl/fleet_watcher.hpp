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

// The fleet on the ROS graph: one context, node and executor thread per
// domain, each finding the diagnosis centres of its domain on the graph
// every second and subscribing to what every centre publishes, into a
// FleetModel.
#ifndef DIAGCTL__FLEET_WATCHER_HPP_
#define DIAGCTL__FLEET_WATCHER_HPP_

#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <rclcpp/rclcpp.hpp>

#include "diagctl/fleet_model.hpp"
#include "diagctl/robot_states.hpp"

namespace diagctl {

class FleetWatcher
{
public:
  static constexpr std::chrono::seconds kGraphPeriod{1};

  // `ros_arguments` as rclcpp::init takes them (the program name first).
  // `details`, when given, also gets every robot's messages (the dashboard's
  // robot pages). Throws what rclcpp throws for bad ROS arguments or domain ids.
  FleetWatcher(
      FleetModel & model, const std::vector<int> & domains, const std::string & under,
      const std::vector<std::string> & ros_arguments, RobotStates * details = nullptr);
  ~FleetWatcher();

  FleetWatcher(const FleetWatcher &) = delete;
  FleetWatcher & operator=(const FleetWatcher &) = delete;

  // False once Ctrl-C (or anything else) shut a domain's context down.
  bool ok() const;

private:
  struct Domain;

  std::unique_ptr<Domain> start_domain(int id, const std::vector<const char *> & argv);
  // In `domain`'s executor thread: finds its centres on the graph, and
  // subscribes to the centre in `ns`.
  void poll(Domain & domain);
  void subscribe(Domain & domain, const std::string & ns);

  FleetModel & model_;
  RobotStates * const details_;
  const std::string under_;
  std::vector<std::unique_ptr<Domain>> domains_;
};

}  // namespace diagctl

#endif  // DIAGCTL__FLEET_WATCHER_HPP_
