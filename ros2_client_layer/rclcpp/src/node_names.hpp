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

// A node's name, namespace and name remapping, from the context's and the
// node's own ROS arguments.
#ifndef CLIENT_LAYER__NODE_NAMES_HPP_
#define CLIENT_LAYER__NODE_NAMES_HPP_

#include <memory>
#include <string>

#include "client_layer/arguments.hpp"
#include "rclcpp/node_options.hpp"

namespace client_layer {

class NodeNames
{
public:
  // Validates the name and namespace as given, then applies the __node and
  // __ns remappings. Throws rclcpp's InvalidNodeNameError /
  // InvalidNamespaceError, and for malformed or unknown node arguments
  // RCLInvalidROSArgsError / UnknownROSArgsError.
  NodeNames(
      const std::string & node_name, const std::string & namespace_,
      const rclcpp::NodeOptions & options, std::shared_ptr<const Arguments> global_arguments);

  const NodeIdentity & identity() const { return identity_; }

  // The node's own (NodeOptions) arguments; null when it has none.
  const Arguments * local_arguments() const { return local_.get(); }
  // The context's arguments; null when the node ignores them.
  const Arguments * global_arguments() const { return global_.get(); }

  // Expands a topic or service name in the node's namespace and applies the
  // remapping rules (unless only_expand). Throws rclcpp's InvalidTopicNameError
  // or InvalidServiceNameError.
  std::string resolve(const std::string & name, bool is_service, bool only_expand) const;

private:
  std::shared_ptr<const Arguments> local_;
  std::shared_ptr<const Arguments> global_;
  NodeIdentity identity_;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__NODE_NAMES_HPP_
