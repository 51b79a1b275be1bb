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

// One unit of work an executor has taken: a timer call or one sample of a
// subscription, service or client.
#ifndef RCLCPP__ANY_EXECUTABLE_HPP_
#define RCLCPP__ANY_EXECUTABLE_HPP_

#include <memory>

#include "client_layer/readable_entity.hpp"
#include "rclcpp/callback_group.hpp"
#include "rclcpp/timer.hpp"

namespace rclcpp {

struct AnyExecutable
{
  rclcpp::TimerBase::SharedPtr timer;
  std::shared_ptr<client_layer::ReadableEntity> entity;
  rclcpp::CallbackGroup::SharedPtr callback_group;
};

}  // namespace rclcpp

#endif  // RCLCPP__ANY_EXECUTABLE_HPP_
