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

#include "diagctl/fleet_watcher.hpp"

#include <unistd.h>

#include <corvanta_protocol/msg/current_failure.hpp>
#include <corvanta_protocol/msg/diagnosis_tree.hpp>
#include <corvanta_protocol/msg/exception_handle.hpp>
#include <corvanta_protocol/msg/task_center_fsm_status.hpp>

#include "diagctl/fleet_discovery.hpp"
#include "diagnostic_center/contract/names.hpp"

namespace diagctl {

namespace {

namespace contract = diagnostic_center::contract;
using corvanta_protocol::msg::CurrentFailure;
using corvanta_protocol::msg::DiagnosisTree;
using corvanta_protocol::msg::ExceptionHandle;
using corvanta_protocol::msg::TaskCenterFsmStatus;

// As the single-robot commands subscribe.
constexpr int kDepth = 10;

std::string topic_in(const std::string & ns, const char * name)
{
  return (ns == "/" ? "" : ns) + "/" + name;
}

// What a robot's page keeps of its tree: the first entries, depth first, so
// whole root causes with what they caused; the model counts the whole tree.
DiagnosisTree bounded_tree(const DiagnosisTree & tree)
{
  DiagnosisTree kept = tree;
  if (kept.entries.size() > FleetModel::kFailuresKept) {
    kept.entries.resize(FleetModel::kFailuresKept);
  }
  return kept;
}

}  // namespace

struct FleetWatcher::Domain
{
  struct Robot
  {
    rclcpp::Subscription<CurrentFailure>::SharedPtr current_failure;
    rclcpp::Subscription<DiagnosisTree>::SharedPtr tree;
    rclcpp::Subscription<ExceptionHandle>::SharedPtr exception_handle;
    rclcpp::Subscription<TaskCenterFsmStatus>::SharedPtr fsm_status;
  };

  int id = 0;
  rclcpp::Context::SharedPtr context;
  rclcpp::Node::SharedPtr node;
  std::unique_ptr<rclcpp::executors::SingleThreadedExecutor> executor;
  rclcpp::TimerBase::SharedPtr graph_timer;
  // Touched by the executor thread only. Kept after a centre left, so that
  // it is heard again when it comes back.
  std::map<std::string, Robot> robots;
  std::thread thread;
};

FleetWatcher::FleetWatcher(
    FleetModel & model, const std::vector<int> & domains, const std::string & under,
    const std::vector<std::string> & ros_arguments, RobotStates * details)
    : model_(model), details_(details), under_(under)
{
  std::vector<const char *> argv;
  for (const std::string & argument : ros_arguments) {
    argv.push_back(argument.c_str());
  }
  // Ctrl-C shuts every context down, as rclcpp::init would have it.
  rclcpp::install_signal_handlers();
  for (const int id : domains) {
    domains_.push_back(start_domain(id, argv));
  }
  // Only once every domain is up, so that a failing one leaves no thread.
  for (auto & domain : domains_) {
    Domain * raw = domain.get();
    raw->thread = std::thread([raw] { raw->executor->spin(); });
  }
}

std::unique_ptr<FleetWatcher::Domain> FleetWatcher::start_domain(
    int id, const std::vector<const char *> & argv)
{
  auto domain = std::make_unique<Domain>();
  domain->id = id;
  domain->context = std::make_shared<rclcpp::Context>();
  rclcpp::InitOptions init_options;
  init_options.set_domain_id(static_cast<size_t>(id));
  domain->context->init(static_cast<int>(argv.size()), argv.data(), init_options);
  domain->node = std::make_shared<rclcpp::Node>(
      // A name per domain too: the process's log publishers go by node name.
      "diagctl_fleet_" + std::to_string(getpid()) + "_" + std::to_string(id), "/",
      rclcpp::NodeOptions().context(domain->context).start_parameter_services(false));
  rclcpp::ExecutorOptions executor_options;
  executor_options.context = domain->context;
  domain->executor = std::make_unique<rclcpp::executors::SingleThreadedExecutor>(executor_options);
  Domain * raw = domain.get();
  domain->graph_timer = domain->node->create_wall_timer(kGraphPeriod, [this, raw] { poll(*raw); });
  domain->executor->add_node(domain->node);
  return domain;
}

void FleetWatcher::poll(Domain & domain)
{
  const auto candidates = centre_namespaces(domain.node->get_topic_names_and_types(), under_);
  std::set<std::string> present;
  for (const std::string & ns : candidates) {
    // The topic stays listed while anyone subscribes, this tool included.
    if (domain.node->count_publishers(topic_in(ns, contract::kCurrentFailureTopic)) > 0) {
      present.insert(ns);
    }
  }
  for (const std::string & ns : present) {
    if (domain.robots.count(ns) == 0) {
      subscribe(domain, ns);
    }
  }
  model_.on_graph(domain.id, present, WallClock::now());
}

void FleetWatcher::subscribe(Domain & domain, const std::string & ns)
{
  const RobotKey key{domain.id, ns};
  FleetModel & model = model_;
  DashboardState * details = details_ ? &details_->of(key) : nullptr;
  Domain::Robot robot;
  robot.current_failure = domain.node->create_subscription<CurrentFailure>(
      topic_in(ns, contract::kCurrentFailureTopic), rclcpp::QoS(kDepth),
      [&model, details, key](CurrentFailure::ConstSharedPtr message) {
        const WallTime now = WallClock::now();
        model.on_current_failure(key, message->fault_id_list, now);
        if (details) {
          details->set_current({now, *message});
        }
      });
  robot.tree = domain.node->create_subscription<DiagnosisTree>(
      topic_in(ns, contract::kDiagnosisTreeTopic), rclcpp::QoS(1).reliable().transient_local(),
      [&model, details, key](DiagnosisTree::ConstSharedPtr message) {
        model.on_tree(key, *message, WallClock::now());
        if (details) {
          details->set_tree(bounded_tree(*message));
        }
      });
  robot.exception_handle = domain.node->create_subscription<ExceptionHandle>(
      topic_in(ns, contract::kExceptionHandleTopic), rclcpp::QoS(kDepth),
      [&model, details, key](ExceptionHandle::ConstSharedPtr message) {
        const WallTime now = WallClock::now();
        model.on_exception_handle(key, now);
        if (details) {
          details->add_exception({now, *message});
        }
      });
  robot.fsm_status = domain.node->create_subscription<TaskCenterFsmStatus>(
      topic_in(ns, contract::kFsmStatusTopic), rclcpp::QoS(kDepth),
      [&model, key](TaskCenterFsmStatus::ConstSharedPtr message) {
        model.on_fsm_status(key, message->fsm_state, message->fsm_sub_state, WallClock::now());
      });
  domain.robots.emplace(ns, std::move(robot));
}

FleetWatcher::~FleetWatcher()
{
  for (auto & domain : domains_) {
    domain->executor->cancel();
    domain->context->shutdown("diagctl fleet done");
  }
  for (auto & domain : domains_) {
    if (domain->thread.joinable()) {
      domain->thread.join();
    }
    domain->robots.clear();
    domain->graph_timer.reset();
    domain->executor.reset();
    domain->node.reset();
  }
}

bool FleetWatcher::ok() const
{
  for (const auto & domain : domains_) {
    if (!domain->context->is_valid()) {
      return false;
    }
  }
  return true;
}

}  // namespace diagctl
