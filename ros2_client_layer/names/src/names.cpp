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

#include "client_layer/names.hpp"

#include <stdexcept>
#include <string>

#include "rclcpp/exceptions/exceptions.hpp"

namespace client_layer {
namespace names {
namespace {

constexpr size_t kNodeNameMaxLength = 255;
// Topic names keep 8 characters for the DDS prefixes ("rt/", "rq/", ...).
constexpr size_t kTopicNameMaxLength = 255 - 8;
constexpr size_t kNamespaceMaxLength = kTopicNameMaxLength - 2;

bool is_alnum(char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

NameError error(const char * message, size_t index) { return NameError{message, index}; }

constexpr const char * kNamespaceTooLong = "namespace should not exceed '245'";

// rcl says "context name" where rmw's namespace rules say "namespace".
struct Rewording
{
  std::string_view namespace_message;
  const char * enclave_message;
};
constexpr Rewording kEnclaveWording[] = {
    {"namespace must not be empty", "context name must not be empty"},
    {"namespace must be absolute, it must lead with a '/'",
     "context name must be absolute, it must lead with a '/'"},
    {"namespace must not end with a '/', unless only a '/'",
     "context name must not end with a '/', unless only a '/'"},
    {"namespace must not contain characters other than alphanumerics, '_', or '/'",
     "context name must not contain characters other than alphanumerics, '_', or '/'"},
    {"namespace must not contain repeated '/'", "context name must not contain repeated '/'"},
    {"namespace must not have a token that starts with a number",
     "context name must not have a token that starts with a number"},
};

}  // namespace

std::optional<NameError> validate_node_name(std::string_view name)
{
  if (name.empty()) {
    return error("node name must not be empty", 0);
  }
  for (size_t i = 0; i < name.size(); ++i) {
    if (!is_alnum(name[i]) && name[i] != '_') {
      return error("node name must not contain characters other than alphanumerics or '_'", i);
    }
  }
  if (is_digit(name[0])) {
    return error("node name must not start with a number", 0);
  }
  if (name.size() > kNodeNameMaxLength) {
    return error("node name length should not exceed '255'", kNodeNameMaxLength - 1);
  }
  return std::nullopt;
}

std::optional<NameError> validate_full_topic_name(std::string_view name)
{
  if (name.empty()) {
    return error("topic name must not be empty", 0);
  }
  if (name[0] != '/') {
    return error("topic name must be absolute, it must lead with a '/'", 0);
  }
  if (name.back() == '/') {
    return error("topic name must not end with a '/'", name.size() - 1);
  }
  for (size_t i = 0; i < name.size(); ++i) {
    if (!is_alnum(name[i]) && name[i] != '_' && name[i] != '/') {
      return error(
          "topic name must not contain characters other than alphanumerics, '_', or '/'", i);
    }
  }
  for (size_t i = 0; i + 1 < name.size(); ++i) {
    if (name[i] != '/') {
      continue;
    }
    if (name[i + 1] == '/') {
      return error("topic name must not contain repeated '/'", i + 1);
    }
    if (is_digit(name[i + 1])) {
      return error("topic name must not have a token that starts with a number", i + 1);
    }
  }
  if (name.size() > kTopicNameMaxLength) {
    return error("topic length should not exceed '247'", kTopicNameMaxLength - 1);
  }
  return std::nullopt;
}

std::optional<NameError> validate_namespace(std::string_view ns)
{
  if (ns == "/") {
    return std::nullopt;
  }
  if (auto topic_error = validate_full_topic_name(ns)) {
    // Map the topic wording onto the namespace wording, as rmw does; the
    // topic length limit does not apply to namespaces.
    const std::string_view text = topic_error->message;
    const char * message = nullptr;
    if (text == "topic name must not be empty") {
      message = "namespace must not be empty";
    } else if (text == "topic name must be absolute, it must lead with a '/'") {
      message = "namespace must be absolute, it must lead with a '/'";
    } else if (text == "topic name must not end with a '/'") {
      message = "namespace must not end with a '/', unless only a '/'";
    } else if (text.find("must not contain characters") != std::string_view::npos) {
      message = "namespace must not contain characters other than alphanumerics, '_', or '/'";
    } else if (text == "topic name must not contain repeated '/'") {
      message = "namespace must not contain repeated '/'";
    } else if (text == "topic name must not have a token that starts with a number") {
      message = "namespace must not have a token that starts with a number";
    }
    if (message != nullptr) {
      return error(message, topic_error->invalid_index);
    }
  }
  if (ns.size() > kNamespaceMaxLength) {
    return error(kNamespaceTooLong, kNamespaceMaxLength - 1);
  }
  return std::nullopt;
}

std::optional<NameError> validate_enclave_name(std::string_view enclave)
{
  const auto namespace_error = validate_namespace(enclave);
  if (!namespace_error) {
    return std::nullopt;
  }
  if (std::string_view(namespace_error->message) == kNamespaceTooLong) {
    if (enclave.size() <= kNodeNameMaxLength) {
      return std::nullopt;
    }
    // rcl's text names a macro that does not exist, so it reads literally.
    return error(
        "context name should not exceed 'RCL_ENCLAVE_NAME_MAX_NAME_LENGTH'",
        kNodeNameMaxLength - 1);
  }
  for (const Rewording & rewording : kEnclaveWording) {
    if (rewording.namespace_message == namespace_error->message) {
      return error(rewording.enclave_message, namespace_error->invalid_index);
    }
  }
  return namespace_error;
}

std::optional<NameError> validate_topic_name(std::string_view name)
{
  if (name.empty()) {
    return error("topic name must not be empty string", 0);
  }
  if (is_digit(name[0])) {
    return error("topic name token must not start with a number", 0);
  }
  if (name.back() == '/') {
    return error("topic name must not end with a forward slash", name.size() - 1);
  }
  constexpr const char * kSubstitutionChars =
      "substitution name must not contain characters other than alphanumerics or '_'";
  bool in_braces = false;
  size_t opening_brace = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (is_alnum(c)) {
      if (is_digit(c) && in_braces && i > 0 && i - 1 == opening_brace) {
        return error("substitution name must not start with a number", i);
      }
    } else if (c == '_') {
    } else if (c == '/') {
      if (in_braces) {
        return error(kSubstitutionChars, i);
      }
    } else if (c == '~') {
      if (i != 0) {
        return error("topic name must not have tilde '~' unless it is the first character", i);
      }
    } else if (c == '{') {
      opening_brace = i;
      if (in_braces) {
        return error(kSubstitutionChars, i);
      }
      in_braces = true;
    } else if (c == '}') {
      if (!in_braces) {
        return error("topic name must not have unmatched (unbalanced) curly braces '{}'", i);
      }
      in_braces = false;
    } else {
      if (in_braces) {
        return error(kSubstitutionChars, i);
      }
      return error(
          "topic name must not contain characters other than alphanumerics, '_', '~', '{', or '}'",
          i);
    }
  }
  if (in_braces) {
    return error(
        "topic name must not have unmatched (unbalanced) curly braces '{}'", opening_brace);
  }
  for (size_t i = 0; i + 1 < name.size(); ++i) {
    if (name[i] == '/') {
      if (is_digit(name[i + 1])) {
        return error("topic name token must not start with a number", i + 1);
      }
    } else if (i == 1 && name[0] == '~') {
      return error(
          "topic name must not have a tilde '~' that is not followed by a forward slash '/'", 1);
    }
  }
  return std::nullopt;
}

std::string normalize_namespace(const std::string & node_namespace)
{
  if (node_namespace.empty()) {
    return "/";
  }
  if (node_namespace.front() != '/') {
    return "/" + node_namespace;
  }
  return node_namespace;
}

std::string fully_qualified_name(const std::string & node_name, const std::string & node_namespace)
{
  if (node_namespace.empty() || node_namespace == "/") {
    return "/" + node_name;
  }
  return node_namespace + "/" + node_name;
}

void check_node_name_and_namespace(
    const std::string & node_name, const std::string & node_namespace)
{
  if (auto name_error = validate_node_name(node_name)) {
    throw rclcpp::exceptions::InvalidNodeNameError(
        node_name.c_str(), name_error->message, name_error->invalid_index);
  }
  if (validate_namespace(normalize_namespace(node_namespace))) {
    // rcl rejected the normalised namespace; rclcpp reports what rmw says of
    // the namespace as the user wrote it.
    if (auto ns_error = validate_namespace(node_namespace)) {
      throw rclcpp::exceptions::InvalidNamespaceError(
          node_namespace.c_str(), ns_error->message, ns_error->invalid_index);
    }
    throw std::runtime_error("valid rmw node namespace but invalid rcl node namespace");
  }
}

std::optional<std::string> expand_topic_name(
    const std::string & name, const std::string & node_name, const std::string & node_namespace,
    ExpandError * error_out)
{
  auto fail = [error_out](ExpandError reason) -> std::optional<std::string> {
    if (error_out) {
      *error_out = reason;
    }
    return std::nullopt;
  };
  if (error_out) {
    *error_out = ExpandError::kNone;
  }
  if (validate_topic_name(name)) {
    return fail(ExpandError::kInvalidTopicName);
  }
  if (validate_node_name(node_name)) {
    return fail(ExpandError::kInvalidNodeName);
  }
  if (validate_namespace(node_namespace)) {
    return fail(ExpandError::kInvalidNamespace);
  }
  const bool has_substitution = name.find('{') != std::string::npos;
  if (name[0] == '/' && !has_substitution) {
    return name;
  }
  std::string output = name;
  if (name[0] == '~') {
    output = (node_namespace == "/" ? "/" : node_namespace + "/") + node_name + name.substr(1);
  }
  size_t open;
  while ((open = output.find('{')) != std::string::npos) {
    const size_t close = output.find('}', open);
    const std::string substitution = output.substr(open, close - open + 1);
    std::string replacement;
    if (substitution == "{node}") {
      replacement = node_name;
    } else if (substitution == "{ns}" || substitution == "{namespace}") {
      replacement = node_namespace;
    } else {
      return fail(ExpandError::kUnknownSubstitution);
    }
    output.replace(open, close - open + 1, replacement);
  }
  if (output[0] != '/') {
    output = (node_namespace == "/" ? "/" : node_namespace + "/") + output;
  }
  return output;
}

std::string expand_topic_or_service_name(
    const std::string & name, const std::string & node_name, const std::string & node_namespace,
    bool is_service)
{
  ExpandError reason = ExpandError::kNone;
  std::optional<std::string> expanded = expand_topic_name(name, node_name, node_namespace, &reason);
  if (!expanded) {
    switch (reason) {
      case ExpandError::kInvalidNodeName: {
        auto name_error = validate_node_name(node_name);
        throw rclcpp::exceptions::InvalidNodeNameError(
            node_name.c_str(), name_error->message, name_error->invalid_index);
      }
      case ExpandError::kInvalidNamespace: {
        auto ns_error = validate_namespace(node_namespace);
        throw rclcpp::exceptions::InvalidNamespaceError(
            node_namespace.c_str(), ns_error->message, ns_error->invalid_index);
      }
      default: {
        auto topic_error = validate_topic_name(name);
        if (!topic_error) {
          // An unknown {substitution} in an otherwise well-formed name.
          throw std::runtime_error("topic name unexpectedly valid");
        }
        if (is_service) {
          throw rclcpp::exceptions::InvalidServiceNameError(
              name.c_str(), topic_error->message, topic_error->invalid_index);
        }
        throw rclcpp::exceptions::InvalidTopicNameError(
            name.c_str(), topic_error->message, topic_error->invalid_index);
      }
    }
  }
  if (auto full_error = validate_full_topic_name(*expanded)) {
    if (is_service) {
      throw rclcpp::exceptions::InvalidServiceNameError(
          expanded->c_str(), full_error->message, full_error->invalid_index);
    }
    throw rclcpp::exceptions::InvalidTopicNameError(
        expanded->c_str(), full_error->message, full_error->invalid_index);
  }
  return *expanded;
}

}  // namespace names
}  // namespace client_layer
