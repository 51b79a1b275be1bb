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

// Node's graph queries, answered from the participant's graph cache, with
// DDS names mapped back to ROS names. Like every ROS 2 graph query the
// answers are only eventually consistent (see client_layer/rmw/graph.hpp).
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "client_layer/rmw/graph.hpp"
#include "node_base.hpp"
#include "rclcpp/node.hpp"

namespace rclcpp {
namespace {

using NamesAndTypes = std::map<std::string, std::vector<std::string>>;
using Demangle = std::function<std::string(const std::string &)>;

const client_layer::rmw::GraphCache & graph_of(
    const node_interfaces::NodeBaseInterface::SharedPtr & node_base)
{
  auto base = std::dynamic_pointer_cast<client_layer::NodeBase>(node_base);
  if (!base) {
    throw std::invalid_argument("node_base is not a node of this client layer");
  }
  return base->participant()->graph();
}

// Every endpoint whose DDS topic name demangles, with its types demangled too.
NamesAndTypes names_and_types(
    const client_layer::rmw::GraphCache & graph, const Demangle & demangle_topic,
    const Demangle & demangle_type)
{
  std::map<std::string, std::set<std::string>> sets;
  for (const auto & endpoint : graph.endpoints()) {
    const std::string name = demangle_topic(endpoint.topic_name);
    if (!name.empty()) {
      sets[name].insert(demangle_type(endpoint.type_name));
    }
  }
  NamesAndTypes result;
  for (auto & [name, types] : sets) {
    result[name].assign(types.begin(), types.end());
  }
  return result;
}

}  // namespace

std::vector<std::string> Node::get_node_names() const
{
  std::vector<std::string> names;
  for (const auto & node : graph_of(node_base_).nodes()) {
    std::string name = node.node_namespace;
    if (name.empty() || name.back() != '/') {
      name += '/';
    }
    name += node.node_name;
    if (name.front() != '/') {
      name.insert(name.begin(), '/');
    }
    names.push_back(std::move(name));
  }
  return names;
}

std::map<std::string, std::vector<std::string>> Node::get_topic_names_and_types() const
{
  return names_and_types(
      graph_of(node_base_), &client_layer::rmw::ros_topic_from_dds,
      &client_layer::rmw::ros_type_from_dds);
}

std::map<std::string, std::vector<std::string>> Node::get_service_names_and_types() const
{
  return names_and_types(
      graph_of(node_base_), &client_layer::rmw::ros_service_from_dds,
      &client_layer::rmw::ros_service_type_from_dds);
}

size_t Node::count_publishers(const std::string & topic_name) const
{
  // Expanded, not remapped, as rclcpp's NodeGraph does.
  const std::string expanded = node_base_->resolve_topic_or_service_name(topic_name, false, true);
  return graph_of(node_base_).count(client_layer::rmw::topic_to_dds(expanded), false);
}

size_t Node::count_subscribers(const std::string & topic_name) const
{
  const std::string expanded = node_base_->resolve_topic_or_service_name(topic_name, false, true);
  return graph_of(node_base_).count(client_layer::rmw::topic_to_dds(expanded), true);
}

}  // namespace rclcpp
