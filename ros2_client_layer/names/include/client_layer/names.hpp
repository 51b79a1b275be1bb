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

// ROS names: validation with rmw's and rcl's rules, topic/service name
// expansion as rcl_expand_topic_name does it, and the checks rclcpp makes
// (with its exceptions) when a node is created or a name is expanded.
#ifndef CLIENT_LAYER__NAMES_HPP_
#define CLIENT_LAYER__NAMES_HPP_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace client_layer {
namespace names {

/// Why a name is invalid: rmw's/rcl's validation result text and the index it points at.
struct NameError
{
  const char * message;
  size_t invalid_index;
};

/// rmw_validate_node_name: [A-Za-z0-9_]+, not starting with a digit, at most 255 characters.
std::optional<NameError> validate_node_name(std::string_view node_name);

/// rmw_validate_namespace: "/" or a valid fully qualified topic name.
std::optional<NameError> validate_namespace(std::string_view node_namespace);

/// rcl_validate_enclave_name: a namespace's rules in rcl's "context name"
/// wording, except that an enclave may be as long as a node name (255).
std::optional<NameError> validate_enclave_name(std::string_view enclave);

/// rmw_validate_full_topic_name: an absolute, fully expanded name.
std::optional<NameError> validate_full_topic_name(std::string_view topic_name);

/// rcl_validate_topic_name: a name as a user writes it (relative, "~/", "{sub}").
std::optional<NameError> validate_topic_name(std::string_view topic_name);

/// The namespace rcl gives a node: "" becomes "/", "ns" becomes "/ns".
std::string normalize_namespace(const std::string & node_namespace);

/// "/ns/name" (or "/name" in the root namespace).
std::string fully_qualified_name(const std::string & node_name, const std::string & node_namespace);

/// The checks rclcpp's node construction makes: throws
/// rclcpp::exceptions::InvalidNodeNameError or InvalidNamespaceError with
/// rclcpp's message (including the caret line). `node_namespace` is the one
/// the user passed (before normalize_namespace).
void check_node_name_and_namespace(
    const std::string & node_name, const std::string & node_namespace);

enum class ExpandError
{
  kNone,
  kInvalidTopicName,
  kUnknownSubstitution,
  kInvalidNodeName,
  kInvalidNamespace
};

/// rcl_expand_topic_name without exceptions: "~" becomes the node's FQN,
/// {node} and {ns}/{namespace} are substituted, relative names get the
/// namespace. On failure returns nullopt and sets `error`.
std::optional<std::string> expand_topic_name(
    const std::string & name, const std::string & node_name, const std::string & node_namespace,
    ExpandError * error = nullptr);

/// rclcpp::expand_topic_or_service_name: expands and validates, throwing
/// InvalidTopicNameError / InvalidServiceNameError (or InvalidNodeNameError /
/// InvalidNamespaceError) with rclcpp's messages.
std::string expand_topic_or_service_name(
    const std::string & name, const std::string & node_name, const std::string & node_namespace,
    bool is_service = false);

}  // namespace names
}  // namespace client_layer

#endif  // CLIENT_LAYER__NAMES_HPP_
