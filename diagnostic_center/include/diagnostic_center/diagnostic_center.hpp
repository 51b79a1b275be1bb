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

// The diagnosis centre node: gathers the diagnostic events of the robot's
// modules, keeps the tree of current failures, and tells the rest of the robot
// about them.
#ifndef DIAGNOSTIC_CENTER__DIAGNOSTIC_CENTER_HPP_
#define DIAGNOSTIC_CENTER__DIAGNOSTIC_CENTER_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "corvanta_protocol/srv/diagnostic_srv.hpp"
#include "diagnostic_center/contract/robot_status.hpp"
#include "diagnostic_center/diag_mod_ctrl.hpp"
#include "diagnostic_center/diag_tree.hpp"
#include "diagnostic_center/diagnosis_views.hpp"
#include "diagnostic_center/publisher.hpp"
#include "diagnostic_center/topic_subscriber.hpp"
#include "rclcpp/rclcpp.hpp"

namespace diagnostic_center {

using corvanta_protocol::srv::DiagnosticSrv;

// The serialized diag_srv.DiagSrvResp that lists `root_ids`, each stored with
// the same 32 bits as a signed int32.
std::string SerializeRootCauses(const std::vector<std::uint32_t> & root_ids);

// Declares "diag_event_list" and, per listed id, "<id>_root_cause",
// "<id>_root_cause_time_dis" and "<id>_description", all read-only with a
// description, and adds one row per id
// to `table`. The client library's errors (missing list, wrong type, repeated
// id) propagate.
void LoadFaultTable(rclcpp::Node & node, diag_tree::FaultTable & table);

class DiagnosticCenter : public rclcpp::Node
{
public:
  DiagnosticCenter();

  // The process-wide node, created on the first call.
  static std::shared_ptr<DiagnosticCenter> GetInstance();

  // Declares the configuration and wires publishers, subscriptions, module
  // controls, timers and the fault recorder. Called once before spinning.
  // Returns false, after logging the client library's error, when start-up
  // cannot go on.
  [[nodiscard]] bool Init();

  // "diagnostic_srv": answers every request with the current root causes.
  bool DiagSrvCb(
      std::shared_ptr<DiagnosticSrv::Request> request,
      std::shared_ptr<DiagnosticSrv::Response> response);

  // Timer callbacks.
  void DiagEventHandle();
  void PublishCurFailure();
  // "/diagnostics" on the current-failure period, in the handling cycle's
  // group so that it never overtakes a publication of a change.
  void PublishDiagnostics();
  void RobotStatusChangeCb();

  void CreateDiagModCtrls();

private:
  void InitSteps();
  // Wall timer running `member` on this node, with errors caught at its edge.
  template <typename Duration>
  rclcpp::TimerBase::SharedPtr CreateTimer(
      Duration period, const char * name, void (DiagnosticCenter::*member)(),
      const rclcpp::CallbackGroup::SharedPtr & group);
  // Declares the read-only period parameter `param` (in units of Duration)
  // and creates the timer running `member` with it.
  template <typename Duration>
  rclcpp::TimerBase::SharedPtr CreatePeriodicTimer(
      const char * param, std::int64_t default_period, const char * description, const char * name,
      void (DiagnosticCenter::*member)(), const rclcpp::CallbackGroup::SharedPtr & group);
  // Runs `step`, which applies the parameter `param` (a timer period, the
  // history depth): should it throw, Init names that parameter in its error
  // line.
  template <typename Step>
  void ApplyingParam(const char * param, Step && step);
  void PublishExceptionHandle(std::int32_t fault_id) const;
  // Creates the publishers of the tree's two views ("/diagnostics" only when
  // "publish_diagnostics" is true) and publishes the empty tree.
  void CreateDiagnosisViews(const std::shared_ptr<rclcpp::Node> & self);
  // After a handling cycle: publishes the views whose content changed.
  void PublishChangedViews();

  EventQueue event_queue_;
  rclcpp::CallbackGroup::SharedPtr event_handle_group_;
  rclcpp::CallbackGroup::SharedPtr cur_failure_group_;
  std::vector<std::shared_ptr<DiagModCtrl>> mod_ctrls_;
  rclcpp::TimerBase::SharedPtr event_handle_timer_;
  rclcpp::CallbackGroup::SharedPtr fsm_group_;
  std::shared_ptr<FsmSub> fsm_sub_;
  std::shared_ptr<PublisherExceptionHandle> exception_handle_pub_;
  std::shared_ptr<PublisherCurFailure> cur_failure_pub_;
  std::shared_ptr<PublisherDiagnosisTree> diagnosis_tree_pub_;
  std::shared_ptr<PublisherDiagnostics> diagnostics_pub_;  // null when turned off
  std::string diagnostics_status_name_;  // tells this robot's statuses apart in a fleet
  rclcpp::TimerBase::SharedPtr diagnostics_timer_;
  // Touched by the handling cycle's group only.
  ViewChanges view_changes_;
  rclcpp::TimerBase::SharedPtr cur_failure_timer_;
  rclcpp::TimerBase::SharedPtr robot_status_timer_;
  diag_tree::DiagTree diag_tree_;
  std::int32_t robot_status_ = contract::kInitialRobotStatus;
  // Parameter being applied during Init, named in its error log because the
  // messages of the timer and subscription factories do not name it.
  const char * init_param_ = nullptr;
};

}  // namespace diagnostic_center

#endif  // DIAGNOSTIC_CENTER__DIAGNOSTIC_CENTER_HPP_
