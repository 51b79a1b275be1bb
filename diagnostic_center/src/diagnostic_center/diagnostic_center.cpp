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

#include "diagnostic_center/diagnostic_center.hpp"

#include <chrono>
#include <exception>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "diagnostic_center/callback_guard.hpp"
#include "diagnostic_center/contract/names.hpp"
#include "diagnostic_center/fault_recorder.hpp"
#include "robot/diag_srv.pb.h"

namespace diagnostic_center {

namespace {

constexpr std::int64_t kDefaultDiagKeepHis = 100;
constexpr std::int64_t kDefaultCtrlHandleSpaceMs = 10;
constexpr std::int64_t kDefaultCenterHandleSpaceMs = 10;
constexpr std::int64_t kDefaultCurFailurePubSpaceS = 1;
constexpr std::int64_t kDefaultRobotStatusDetectSpaceS = 1;
constexpr std::int64_t kDefaultFaultRecordRefreshSpaceS = 10;

// Every value is read once, at start-up: a later change could never take
// effect, so the node refuses it instead of reporting a change that is not.
rcl_interfaces::msg::ParameterDescriptor ReadOnly(const std::string & description)
{
  rcl_interfaces::msg::ParameterDescriptor descriptor;
  descriptor.description = description;
  descriptor.read_only = true;
  return descriptor;
}

}  // namespace

std::string SerializeRootCauses(const std::vector<std::uint32_t> & root_ids)
{
  diag_srv::DiagSrvResp resp;
  for (const std::uint32_t id : root_ids) {
    resp.add_root_cause_list(static_cast<std::int32_t>(id));
  }
  return resp.SerializeAsString();
}

void LoadFaultTable(rclcpp::Node & node, diag_tree::FaultTable & table)
{
  const auto ids = node.declare_parameter<std::vector<std::int64_t>>(
      contract::kFaultListParam,
      ReadOnly("fault ids the centre handles; events of other fault ids are dropped"));
  for (const std::int64_t element : ids) {
    const auto fault_id = static_cast<std::uint32_t>(element);
    const std::string prefix = contract::FaultParamPrefix(element);
    diag_tree::FaultConfig config;
    config.fault_id = fault_id;
    // The default root cause is the fault itself, given as its signed 32 bits.
    config.root_cause = static_cast<std::int32_t>(node.declare_parameter<std::int64_t>(
        prefix + contract::kRootCauseSuffix,
        static_cast<std::int64_t>(static_cast<std::int32_t>(fault_id)),
        ReadOnly(
            "fault id of the failure that causes fault " + prefix + "; " + prefix +
            " itself: it is its own root cause")));
    config.root_cause_time_dis = node.declare_parameter<std::int64_t>(
        prefix + contract::kRootCauseTimeDisSuffix, contract::kDefaultRootCauseTimeDisMs,
        ReadOnly(
            "largest delay in ms from the raise of its root cause to the raise of fault " + prefix +
            " for it to count as that failure's consequence"));
    config.fault_desc = node.declare_parameter<std::string>(
        prefix + contract::kDescriptionSuffix, "",
        ReadOnly("text of fault " + prefix + " in the fault records and the event log"));
    table.Insert(std::move(config));
  }
}

DiagnosticCenter::DiagnosticCenter() : rclcpp::Node(contract::kNodeName), diag_tree_(get_logger())
{
}

std::shared_ptr<DiagnosticCenter> DiagnosticCenter::GetInstance()
{
  static const std::shared_ptr<DiagnosticCenter> instance = std::make_shared<DiagnosticCenter>();
  return instance;
}

bool DiagnosticCenter::Init()
{
  // The client library reports bad configuration (missing list, wrong types,
  // repeated ids, bad periods) by exceptions; start-up cannot go on then.
  try {
    InitSteps();
    return true;
  } catch (const std::exception & error) {
    if (init_param_ != nullptr) {
      RCLCPP_ERROR(get_logger(), "parameter '%s': %s", init_param_, error.what());
    } else {
      RCLCPP_ERROR(get_logger(), "%s", error.what());
    }
  }
  return false;
}

void DiagnosticCenter::InitSteps()
{
  const std::shared_ptr<rclcpp::Node> self = shared_from_this();
  LoadFaultTable(*this, diag_tree::KnownFaults());

  exception_handle_pub_ = std::make_shared<PublisherExceptionHandle>(self);
  cur_failure_pub_ = std::make_shared<PublisherCurFailure>(self);
  CreateDiagnosisViews(self);
  CreateDiagModCtrls();

  event_handle_group_ = create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, true);
  cur_failure_group_ = create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, true);
  fsm_group_ = create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, true);
  fsm_sub_ = std::make_shared<FsmSub>(self, fsm_group_, contract::kFsmStatusTopic);

  event_handle_timer_ = CreatePeriodicTimer<std::chrono::milliseconds>(
      "center_handle_space", kDefaultCenterHandleSpaceMs,
      "period in ms of the event handling cycle (tree updates, exception_handle on raises)",
      "DiagEventHandle", &DiagnosticCenter::DiagEventHandle, event_handle_group_);
  cur_failure_timer_ = CreatePeriodicTimer<std::chrono::seconds>(
      "cur_failure_pub_space", kDefaultCurFailurePubSpaceS,
      "period in s at which the current failures are published on current_failure",
      "PublishCurFailure", &DiagnosticCenter::PublishCurFailure, cur_failure_group_);
  if (diagnostics_pub_) {
    ApplyingParam("cur_failure_pub_space", [this] {
      diagnostics_timer_ = CreateTimer(
          std::chrono::seconds(get_parameter("cur_failure_pub_space").as_int()),
          "PublishDiagnostics", &DiagnosticCenter::PublishDiagnostics, event_handle_group_);
    });
  }
  robot_status_timer_ = CreatePeriodicTimer<std::chrono::seconds>(
      "robot_status_change_detect_space", kDefaultRobotStatusDetectSpaceS,
      "period in s of the robot status check", "RobotStatusChangeCb",
      &DiagnosticCenter::RobotStatusChangeCb, nullptr);

  const auto fault_record_dir = declare_parameter<std::string>(
      contract::kRecordDirParam, contract::kDefaultRecordDir,
      ReadOnly("directory of the fault-record files; created with mode 0744 when missing"));
  const auto fault_record_refresh_space = declare_parameter<std::int64_t>(
      "fault_record_refresh_space", kDefaultFaultRecordRefreshSpaceS,
      ReadOnly("period in s at which handed-over records are appended to the record file"));
  // A recorder that cannot prepare its directory has said so; the node runs
  // on without recording.
  ApplyingParam("fault_record_refresh_space", [&] {
    fault_recorder::FaultRecorder::GetInstance()->Init(
        self, fault_record_dir, fault_record_refresh_space);
  });
}

void DiagnosticCenter::CreateDiagnosisViews(const std::shared_ptr<rclcpp::Node> & self)
{
  const bool publish_diagnostics = declare_parameter<bool>(
      "publish_diagnostics", true,
      ReadOnly("whether the current failures are also published as diagnostic_msgs/DiagnosticArray "
               "on /diagnostics"));
  diagnosis_tree_pub_ = std::make_shared<PublisherDiagnosisTree>(self);
  // A late joiner gets a tree at once, also before the first failure.
  diagnosis_tree_pub_->Publish(BuildDiagnosisTree({}, get_clock()->now()));
  if (publish_diagnostics) {
    diagnostics_pub_ = std::make_shared<PublisherDiagnostics>(self);
    diagnostics_status_name_ = contract::DiagnosticsStatusName(get_namespace());
  }
}

void DiagnosticCenter::CreateDiagModCtrls()
{
  const auto diag_keep_his = declare_parameter<std::int64_t>(
      "diag_keep_his", kDefaultDiagKeepHis,
      ReadOnly("history depth (keep last) of each module topic subscription, in messages"));
  const auto ctrl_handle_space = declare_parameter<std::int64_t>(
      "ctrl_handle_space", kDefaultCtrlHandleSpaceMs,
      ReadOnly("period in ms at which each module's received events are filtered and handed on"));

  const std::shared_ptr<rclcpp::Node> self = shared_from_this();
  ApplyingParam("diag_keep_his", [&] {
    // A depth beyond 32 bits must not wrap into a small one.
    if (diag_keep_his < 0 || diag_keep_his > std::numeric_limits<std::int32_t>::max()) {
      throw std::out_of_range(
          "history depth must be from 0 to " +
          std::to_string(std::numeric_limits<std::int32_t>::max()) + ", not " +
          std::to_string(diag_keep_his));
    }
    const auto depth = static_cast<std::int32_t>(diag_keep_his);
    for (const char * topic : contract::kModuleTopics) {
      mod_ctrls_.push_back(
          std::make_shared<DiagModCtrl>(self, topic, depth, &event_queue_, ctrl_handle_space));
    }
  });
  // Every module's subscription exists before the first control timer.
  ApplyingParam("ctrl_handle_space", [this] {
    for (const auto & ctrl : mod_ctrls_) {
      ctrl->StartTimer();
    }
  });
}

template <typename Step>
void DiagnosticCenter::ApplyingParam(const char * param, Step && step)
{
  init_param_ = param;
  step();
  init_param_ = nullptr;  // left set when `step` throws, for Init to read
}

template <typename Duration>
rclcpp::TimerBase::SharedPtr DiagnosticCenter::CreatePeriodicTimer(
    const char * param, std::int64_t default_period, const char * description, const char * name,
    void (DiagnosticCenter::*member)(), const rclcpp::CallbackGroup::SharedPtr & group)
{
  const auto period = declare_parameter<std::int64_t>(param, default_period, ReadOnly(description));
  rclcpp::TimerBase::SharedPtr timer;
  ApplyingParam(param, [&] { timer = CreateTimer(Duration(period), name, member, group); });
  return timer;
}

template <typename Duration>
rclcpp::TimerBase::SharedPtr DiagnosticCenter::CreateTimer(
    Duration period, const char * name, void (DiagnosticCenter::*member)(),
    const rclcpp::CallbackGroup::SharedPtr & group)
{
  // The node owns its timers, so `this` outlives every callback.
  return create_wall_timer(
      period,
      [this, name, member]() {
        RunGuarded(get_logger(), name, [this, member] { (this->*member)(); });
      },
      group);
}

void DiagnosticCenter::PublishExceptionHandle(std::int32_t fault_id) const
{
  ExceptionHandle msg;  // stamp stays 0/0, source empty
  msg.fault_id = fault_id;
  exception_handle_pub_->Publish(msg);
}

void DiagnosticCenter::DiagEventHandle()
{
  const std::deque<ModuleEvent> batch = event_queue_.Drain();
  bool handled = false;
  for (const ModuleEvent & queued : batch) {
    const DiagnosticEvent & event = queued.event;
    const diag_tree::FaultConfig * config =
        diag_tree::FindFaultConfig(static_cast<std::uint32_t>(event.fault_id));
    if (config == nullptr) {
      continue;
    }
    handled = true;
    RCLCPP_INFO(
        get_logger(), "receive failure event : %d, desc: %s, status : %d", event.fault_id,
        config->fault_desc.c_str(), event.status);
    fault_recorder::FaultRecorder::GetInstance()->AddRecord(event);
    if (event.status == 0) {
      diag_tree_.remove(static_cast<std::uint32_t>(event.fault_id));
    } else if (event.status == 1) {
      // Announced before the tree changes, whatever the tree then makes of it.
      PublishExceptionHandle(event.fault_id);
      diag_tree_.push(event, queued.module);
    }
  }
  if (handled) {
    PublishChangedViews();
  }
}

void DiagnosticCenter::PublishChangedViews()
{
  const Snapshot snapshot = diag_tree_.Snapshot();
  const ViewChanges::Due due = view_changes_.Update(snapshot);
  const builtin_interfaces::msg::Time stamp = get_clock()->now();
  if (due.tree) {
    diagnosis_tree_pub_->Publish(BuildDiagnosisTree(snapshot, stamp));
  }
  if (due.diagnostics && diagnostics_pub_) {
    diagnostics_pub_->Publish(BuildDiagnosticArray(snapshot, stamp, diagnostics_status_name_));
  }
}

void DiagnosticCenter::PublishDiagnostics()
{
  diagnostics_pub_->Publish(
      BuildDiagnosticArray(diag_tree_.Snapshot(), get_clock()->now(), diagnostics_status_name_));
}

void DiagnosticCenter::PublishCurFailure()
{
  CurrentFailure msg;
  msg.stamp = get_clock()->now();
  for (const std::uint32_t id : diag_tree_.all_ids()) {
    msg.fault_id_list.push_back(static_cast<std::int32_t>(id));
  }
  cur_failure_pub_->Publish(msg);
}

void DiagnosticCenter::RobotStatusChangeCb()
{
  const TaskCenterFsmStatus latest = fsm_sub_->GetLatest();
  const std::int32_t status = contract::DeriveRobotStatus(latest.fsm_state, latest.fsm_sub_state);
  if (status == robot_status_) {
    return;
  }
  RCLCPP_INFO(get_logger(), "diag robot status %d to %d", robot_status_, status);
  robot_status_ = status;
  for (const std::uint32_t id : diag_tree_.all_ids()) {
    PublishExceptionHandle(static_cast<std::int32_t>(id));
  }
}

bool DiagnosticCenter::DiagSrvCb(
    std::shared_ptr<DiagnosticSrv::Request> /*request*/,
    std::shared_ptr<DiagnosticSrv::Response> response)
{
  // Every request gets the root-cause answer; the request is not inspected.
  const bool answered = RunGuarded(get_logger(), "DiagSrvCb", [this, &response] {
    response->data = SerializeRootCauses(diag_tree_.root_ids());
    response->result = diag_srv::DIAG_SRV_SUCCESS;
  });
  if (!answered) {
    // Never report an incomplete answer as a success.
    response->result = diag_srv::DIAG_SRV_ERROR;
    response->data.clear();
  }
  return true;
}

}  // namespace diagnostic_center
