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

// Remap rules applied to node names, namespaces, topics and services, and
// the node identity and names they resolve to.
#include <string>

#include "client_layer/arguments.hpp"
#include "client_layer/logging.hpp"
#include "client_layer/names.hpp"

namespace client_layer {

namespace {

/// rcl's first-match search: local rules, then global rules.
const RemapRule * first_match(
    const Arguments * local_args, const Arguments * global_args, unsigned kind,
    const std::string & node_name, const std::string & node_namespace, const std::string * name)
{
  for (const Arguments * source : {local_args, global_args}) {
    if (source == nullptr) {
      continue;
    }
    for (const RemapRule & rule : source->remap_rules) {
      if ((rule.kinds & kind) == 0) {
        continue;
      }
      if (!rule.node_name.empty() && rule.node_name != node_name) {
        continue;
      }
      if (name == nullptr) {
        return &rule;
      }
      auto expanded_match = names::expand_topic_name(rule.match, node_name, node_namespace);
      if (expanded_match && *expanded_match == *name) {
        return &rule;
      }
    }
  }
  return nullptr;
}

std::string remap_name(
    const Arguments * local_args, const Arguments * global_args, unsigned kind,
    const std::string & expanded_name, const std::string & node_name,
    const std::string & node_namespace)
{
  const RemapRule * rule =
      first_match(local_args, global_args, kind, node_name, node_namespace, &expanded_name);
  if (rule == nullptr) {
    return expanded_name;
  }
  auto replacement = names::expand_topic_name(rule->replacement, node_name, node_namespace);
  return replacement ? *replacement : expanded_name;
}

}  // namespace

std::string remap_node_name(
    const Arguments * local_args, const Arguments * global_args, const std::string & node_name)
{
  const RemapRule * rule =
      first_match(local_args, global_args, RemapRule::kNodeName, node_name, "/", nullptr);
  return rule ? rule->replacement : node_name;
}

std::string remap_namespace(
    const Arguments * local_args, const Arguments * global_args, const std::string & node_name,
    const std::string & node_namespace)
{
  const RemapRule * rule = first_match(
      local_args, global_args, RemapRule::kNamespace, node_name, node_namespace, nullptr);
  return rule ? rule->replacement : node_namespace;
}

std::string remap_topic_name(
    const Arguments * local_args, const Arguments * global_args, const std::string & expanded_name,
    const std::string & node_name, const std::string & node_namespace)
{
  return remap_name(
      local_args, global_args, RemapRule::kTopic, expanded_name, node_name, node_namespace);
}

std::string remap_service_name(
    const Arguments * local_args, const Arguments * global_args, const std::string & expanded_name,
    const std::string & node_name, const std::string & node_namespace)
{
  return remap_name(
      local_args, global_args, RemapRule::kService, expanded_name, node_name, node_namespace);
}

NodeIdentity resolve_node_identity(
    const std::string & node_name, const std::string & node_namespace, const Arguments * local_args,
    const Arguments * global_args)
{
  names::check_node_name_and_namespace(node_name, node_namespace);
  NodeIdentity node;
  node.name = remap_node_name(local_args, global_args, node_name);
  node.namespace_ = remap_namespace(
      local_args, global_args, node.name, names::normalize_namespace(node_namespace));
  node.fully_qualified_name = names::fully_qualified_name(node.name, node.namespace_);
  node.logger_name = logging::node_logger_name(node.name, node.namespace_);
  return node;
}

std::string resolve_topic_or_service_name(
    const std::string & name, const NodeIdentity & node, bool is_service,
    const Arguments * local_args, const Arguments * global_args)
{
  const std::string expanded =
      names::expand_topic_or_service_name(name, node.name, node.namespace_, is_service);
  return is_service
             ? remap_service_name(local_args, global_args, expanded, node.name, node.namespace_)
             : remap_topic_name(local_args, global_args, expanded, node.name, node.namespace_);
}

}  // namespace client_layer
