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

#include "node_base.hpp"

#include <algorithm>
#include <stdexcept>

#include "client_layer/error_state.hpp"
#include "client_layer/logging.hpp"
#include "client_layer/names.hpp"
#include "context_state.hpp"
#include "internal_log.hpp"
#include "node_names.hpp"

namespace client_layer {

namespace {

constexpr int kRetError = 1;      // RCL_RET_ERROR
constexpr int kRetNotInit = 101;  // RCL_RET_NOT_INIT

// rcl checks the name and namespace the node was given, not what remapping
// made of them; the middleware then refuses an invalid result, and rcl
// reports only that it has no node handle.
void check_remapped_identity(const NodeIdentity & identity)
{
  if (names::validate_node_name(identity.name) || names::validate_namespace(identity.namespace_)) {
    throw_from_error(
        kRetError, "failed to initialize rcl node",
        CLIENT_LAYER_ERROR_STATE("rcl node's rmw handle is invalid"));
  }
}

// The middleware made no participant for the node (security refused, DDS
// failed). rcl then undoes the node's /rosout publisher, which fails for a
// node without a middleware handle, logs that, and leaves that error;
// without /rosout the error is the middleware's, which set none.
[[noreturn]] void throw_node_without_participant(const rclcpp::NodeOptions & options)
{
  const char * const prefix = "failed to initialize rcl node";
  if (options.enable_rosout() && logging::rosout_enabled()) {
    log_error("rcl", "Failed to fini publisher for node: 1");
    throw_from_error(
        kRetError, prefix, CLIENT_LAYER_ERROR_STATE("rcl node's rmw handle is invalid"));
  }
  throw_from_error(kRetError, prefix, CLIENT_LAYER_ERROR_STATE("error not set"));
}

}  // namespace

NodeBase::NodeBase(
    const std::string & node_name, const std::string & namespace_,
    const rclcpp::NodeOptions & options)
    : context_(options.context()),
      use_intra_process_default_(options.use_intra_process_comms()),
      enable_topic_statistics_default_(options.enable_topic_statistics()),
      notifier_(std::make_shared<Notifier>())
{
  if (!context_ || !context_->is_valid()) {
    throw_from_error(
        kRetNotInit, "failed to initialize rcl node",
        CLIENT_LAYER_ERROR_STATE(
            "the given context is not valid, either rcl_init() was not called or "
            "rcl_shutdown() was called."));
  }
  names_ = std::make_shared<NodeNames>(
      node_name, namespace_, options, ContextAccess::state(*context_)->global_arguments);
  check_remapped_identity(names_->identity());
  name_ = names_->identity().name;
  node_namespace_ = names_->identity().namespace_;
  fully_qualified_name_ = names_->identity().fully_qualified_name;
  logger_name_ = names_->identity().logger_name;
  try {
    participant_ = ContextAccess::participant(*context_);
  } catch (const std::runtime_error &) {
    throw_node_without_participant(options);
  }
  participant_->add_node(node_namespace_, name_);
  default_group_ =
      std::make_shared<rclcpp::CallbackGroup>(rclcpp::CallbackGroupType::MutuallyExclusive);
  groups_.push_back(default_group_);
}

NodeBase::~NodeBase()
{
  notifier_->detach();
  participant_->remove_node(node_namespace_, name_);
}

const char * NodeBase::get_name() const { return name_.c_str(); }

const char * NodeBase::get_namespace() const { return node_namespace_.c_str(); }

const char * NodeBase::get_fully_qualified_name() const { return fully_qualified_name_.c_str(); }

rclcpp::Context::SharedPtr NodeBase::get_context() { return context_; }

rclcpp::CallbackGroup::SharedPtr NodeBase::create_callback_group(
    rclcpp::CallbackGroupType group_type, bool automatically_add_to_executor_with_node)
{
  auto group =
      std::make_shared<rclcpp::CallbackGroup>(group_type, automatically_add_to_executor_with_node);
  {
    std::lock_guard<std::mutex> lock(groups_mutex_);
    groups_.erase(
        std::remove_if(
            groups_.begin(), groups_.end(),
            [](const rclcpp::CallbackGroup::WeakPtr & weak) { return weak.expired(); }),
        groups_.end());
    groups_.push_back(group);
  }
  // An executor holding the node picks the group up.
  notifier_->notify(true);
  return group;
}

rclcpp::CallbackGroup::SharedPtr NodeBase::get_default_callback_group() { return default_group_; }

bool NodeBase::callback_group_in_node(rclcpp::CallbackGroup::SharedPtr group)
{
  std::lock_guard<std::mutex> lock(groups_mutex_);
  return std::any_of(
      groups_.begin(), groups_.end(),
      [&group](const rclcpp::CallbackGroup::WeakPtr & weak) { return weak.lock() == group; });
}

void NodeBase::for_each_callback_group(const CallbackGroupFunction & func)
{
  std::vector<rclcpp::CallbackGroup::SharedPtr> groups;
  {
    std::lock_guard<std::mutex> lock(groups_mutex_);
    for (const auto & weak : groups_) {
      if (auto group = weak.lock()) {
        groups.push_back(std::move(group));
      }
    }
  }
  for (const auto & group : groups) {
    func(group);
  }
}

std::atomic_bool & NodeBase::get_associated_with_executor_atomic()
{
  return associated_with_executor_;
}

bool NodeBase::get_use_intra_process_default() const { return use_intra_process_default_; }

bool NodeBase::get_enable_topic_statistics_default() const
{
  return enable_topic_statistics_default_;
}

std::string NodeBase::resolve_topic_or_service_name(
    const std::string & name, bool is_service, bool only_expand) const
{
  return names_->resolve(name, is_service, only_expand);
}

rclcpp::CallbackGroup::SharedPtr NodeBase::group_for(
    const rclcpp::CallbackGroup::SharedPtr & group, const char * error)
{
  if (!group) {
    return default_group_;
  }
  if (!callback_group_in_node(group)) {
    throw std::runtime_error(error);
  }
  return group;
}

}  // namespace client_layer
