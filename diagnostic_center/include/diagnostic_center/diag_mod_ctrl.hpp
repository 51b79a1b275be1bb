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

// Per-module diagnostic control: owns one module's subscription and queue and,
// on a timer of its own, forwards the events the centre is to act on to the
// centre's queue.
#ifndef DIAGNOSTIC_CENTER__DIAG_MOD_CTRL_HPP_
#define DIAGNOSTIC_CENTER__DIAG_MOD_CTRL_HPP_

#include <cstdint>
#include <memory>
#include <string>

#include "diagnostic_center/diag_tree.hpp"
#include "diagnostic_center/topic_subscriber.hpp"
#include "rclcpp/rclcpp.hpp"

namespace diagnostic_center {

class DiagModCtrl
{
public:
  // `center_queue` must outlive this control.
  DiagModCtrl(
      const std::shared_ptr<rclcpp::Node> & node, const std::string & topic, int depth,
      EventQueue * center_queue, std::int64_t handle_space_ms);
  DiagModCtrl(const DiagModCtrl &) = delete;
  DiagModCtrl & operator=(const DiagModCtrl &) = delete;

  // Creates the control timer; does nothing when the node is gone.
  void StartTimer();
  // Timer callback: drains the module queue and forwards what passes the filter.
  void CtrlHandle();

  // Whether the centre acts on `event`: a raise (status 1) or a clear
  // (status 0, fault id not 0) of a fault configured in `table`.
  static bool ShouldForward(const DiagnosticEvent & event, const diag_tree::FaultTable & table);

private:
  rclcpp::CallbackGroup::SharedPtr sub_group_;
  rclcpp::CallbackGroup::SharedPtr timer_group_;
  std::shared_ptr<DiagEventSub> sub_;
  rclcpp::TimerBase::SharedPtr timer_;
  EventQueue queue_;
  EventQueue * center_queue_;
  std::weak_ptr<rclcpp::Node> node_;
  std::int64_t handle_space_ms_;
};

}  // namespace diagnostic_center

#endif  // DIAGNOSTIC_CENTER__DIAG_MOD_CTRL_HPP_
