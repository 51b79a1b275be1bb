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

// The node's base interface: identity, context, callback groups, and the
// link to the executor that runs it.
#ifndef CLIENT_LAYER__NODE_BASE_HPP_
#define CLIENT_LAYER__NODE_BASE_HPP_

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "client_layer/notifier.hpp"
#include "client_layer/rmw/transport.hpp"
#include "rclcpp/node_interfaces/node_base_interface.hpp"
#include "rclcpp/node_options.hpp"

namespace client_layer {

class NodeNames;

class NodeBase : public rclcpp::node_interfaces::NodeBaseInterface
{
public:
  // Validates and remaps the name and namespace.
  // Throws rclcpp's exceptions for invalid names and an invalid context.
  NodeBase(
      const std::string & node_name, const std::string & namespace_,
      const rclcpp::NodeOptions & options);
  ~NodeBase() override;

  const char * get_name() const override;
  const char * get_namespace() const override;
  const char * get_fully_qualified_name() const override;
  rclcpp::Context::SharedPtr get_context() override;

  rclcpp::CallbackGroup::SharedPtr create_callback_group(
      rclcpp::CallbackGroupType group_type,
      bool automatically_add_to_executor_with_node = true) override;
  rclcpp::CallbackGroup::SharedPtr get_default_callback_group() override;
  bool callback_group_in_node(rclcpp::CallbackGroup::SharedPtr group) override;
  void for_each_callback_group(const CallbackGroupFunction & func) override;

  std::atomic_bool & get_associated_with_executor_atomic() override;

  bool get_use_intra_process_default() const override;
  bool get_enable_topic_statistics_default() const override;

  std::string resolve_topic_or_service_name(
      const std::string & name, bool is_service, bool only_expand = false) const override;

  // Layer internal.
  const std::shared_ptr<Notifier> & notifier() const { return notifier_; }
  // The group to use for an entity: `group`, or the default group when null.
  // Throws std::runtime_error(`error`) when the group is not the node's.
  rclcpp::CallbackGroup::SharedPtr group_for(
      const rclcpp::CallbackGroup::SharedPtr & group, const char * error);
  // Logger name of the node ("ns.name" style, as rcl forms it).
  const std::string & logger_name() const { return logger_name_; }
  const std::shared_ptr<rmw::Participant> & participant() const { return participant_; }
  const NodeNames & names() const { return *names_; }

private:
  rclcpp::Context::SharedPtr context_;
  std::string name_;
  std::string node_namespace_;
  std::string fully_qualified_name_;
  std::string logger_name_;
  std::shared_ptr<NodeNames> names_;
  std::shared_ptr<rmw::Participant> participant_;
  bool use_intra_process_default_;
  bool enable_topic_statistics_default_;
  std::shared_ptr<Notifier> notifier_;
  std::atomic_bool associated_with_executor_{false};

  mutable std::mutex groups_mutex_;
  rclcpp::CallbackGroup::SharedPtr default_group_;
  std::vector<rclcpp::CallbackGroup::WeakPtr> groups_;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__NODE_BASE_HPP_
