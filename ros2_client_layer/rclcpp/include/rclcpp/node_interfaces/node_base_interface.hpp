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

// The node's identity, context and callback groups.
#ifndef RCLCPP__NODE_INTERFACES__NODE_BASE_INTERFACE_HPP_
#define RCLCPP__NODE_INTERFACES__NODE_BASE_INTERFACE_HPP_

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/visibility_control.hpp"

namespace rclcpp {
namespace node_interfaces {

class NodeBaseInterface
{
public:
  RCLCPP_SMART_PTR_ALIASES_ONLY(NodeBaseInterface)

  virtual ~NodeBaseInterface() = default;

  virtual const char * get_name() const = 0;
  virtual const char * get_namespace() const = 0;
  virtual const char * get_fully_qualified_name() const = 0;
  virtual rclcpp::Context::SharedPtr get_context() = 0;

  virtual rclcpp::CallbackGroup::SharedPtr create_callback_group(
      rclcpp::CallbackGroupType group_type,
      bool automatically_add_to_executor_with_node = true) = 0;

  virtual rclcpp::CallbackGroup::SharedPtr get_default_callback_group() = 0;

  virtual bool callback_group_in_node(rclcpp::CallbackGroup::SharedPtr group) = 0;

  using CallbackGroupFunction = std::function<void(rclcpp::CallbackGroup::SharedPtr)>;

  /// Call `func` for every live callback group of the node.
  virtual void for_each_callback_group(const CallbackGroupFunction & func) = 0;

  /// True while an executor holds the node.
  virtual std::atomic_bool & get_associated_with_executor_atomic() = 0;

  virtual bool get_use_intra_process_default() const = 0;
  virtual bool get_enable_topic_statistics_default() const = 0;

  /// Expand and remap a topic or service name as the node sees it.
  virtual std::string resolve_topic_or_service_name(
      const std::string & name, bool is_service, bool only_expand = false) const = 0;
};

}  // namespace node_interfaces
}  // namespace rclcpp

#endif  // RCLCPP__NODE_INTERFACES__NODE_BASE_INTERFACE_HPP_
