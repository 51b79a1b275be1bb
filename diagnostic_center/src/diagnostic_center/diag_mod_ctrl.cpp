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

#include "diagnostic_center/diag_mod_ctrl.hpp"

#include <chrono>
#include <utility>

#include "diagnostic_center/callback_guard.hpp"

namespace diagnostic_center {

DiagModCtrl::DiagModCtrl(
    const std::shared_ptr<rclcpp::Node> & node, const std::string & topic, int depth,
    EventQueue * center_queue, std::int64_t handle_space_ms)
    : sub_group_(node->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, true)),
      timer_group_(node->create_callback_group(rclcpp::CallbackGroupType::MutuallyExclusive, true)),
      sub_(std::make_shared<DiagEventSub>(node, sub_group_, topic, depth, &queue_)),
      center_queue_(center_queue),
      node_(node),
      handle_space_ms_(handle_space_ms)
{
}

void DiagModCtrl::StartTimer()
{
  const auto node = node_.lock();
  if (!node) {
    return;
  }
  // The control owns its timer, so `this` outlives every callback.
  timer_ = node->create_wall_timer(
      std::chrono::milliseconds(handle_space_ms_),
      [this, logger = node->get_logger()]() {
        RunGuarded(logger, "CtrlHandle", [this] { CtrlHandle(); });
      },
      timer_group_);
}

void DiagModCtrl::CtrlHandle()
{
  // The module queue's lock is released before the centre queue's is taken.
  for (ModuleEvent & queued : queue_.Drain()) {
    if (ShouldForward(queued.event, diag_tree::KnownFaults())) {
      center_queue_->Push(std::move(queued));
    }
  }
}

bool DiagModCtrl::ShouldForward(const DiagnosticEvent & event, const diag_tree::FaultTable & table)
{
  const bool is_raise = event.status == 1;
  const bool is_clear = event.status == 0 && event.fault_id != 0;
  if (!is_raise && !is_clear) {
    return false;
  }
  return table.Find(static_cast<std::uint32_t>(event.fault_id)) != nullptr;
}

}  // namespace diagnostic_center
