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

#include "node_names.hpp"

#include "client_layer/names.hpp"

namespace client_layer {

NodeNames::NodeNames(
    const std::string & node_name, const std::string & namespace_,
    const rclcpp::NodeOptions & options, std::shared_ptr<const Arguments> global_arguments)
{
  if (!options.arguments().empty()) {
    auto local = std::make_shared<Arguments>(
        parse_arguments(options.arguments(), "failed to parse arguments"));
    throw_if_unknown_ros_args(*local);
    local_ = std::move(local);
  }
  if (options.use_global_arguments()) {
    global_ = std::move(global_arguments);
  }
  identity_ = resolve_node_identity(node_name, namespace_, local_.get(), global_.get());
}

std::string NodeNames::resolve(const std::string & name, bool is_service, bool only_expand) const
{
  if (only_expand) {
    return names::expand_topic_or_service_name(
        name, identity_.name, identity_.namespace_, is_service);
  }
  return resolve_topic_or_service_name(name, identity_, is_service, local_.get(), global_.get());
}

}  // namespace client_layer
