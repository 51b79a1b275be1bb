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

#include "entities_info.hpp"

#include <algorithm>

#include "client_layer/type_support.hpp"

namespace client_layer::rmw::detail {
namespace {

rmw_dds_common::msg::Gid to_gid_message(const Guid & guid)
{
  rmw_dds_common::msg::Gid gid;
  gid.data = guid.to_gid();
  return gid;
}

}  // namespace

EntitiesInfo::EntitiesInfo(const Guid & participant) { info_.gid = to_gid_message(participant); }

EntitiesInfo::Node * EntitiesInfo::find(
    const std::string & node_namespace, const std::string & node_name)
{
  auto & nodes = info_.node_entities_info_seq;
  auto it = std::find_if(nodes.begin(), nodes.end(), [&](const Node & node) {
    return node.node_namespace == node_namespace && node.node_name == node_name;
  });
  return it == nodes.end() ? nullptr : &*it;
}

bool EntitiesInfo::add_node(const std::string & node_namespace, const std::string & node_name)
{
  Node node;
  node.node_namespace = node_namespace;
  node.node_name = node_name;
  info_.node_entities_info_seq.push_back(std::move(node));
  return true;
}

bool EntitiesInfo::remove_node(const std::string & node_namespace, const std::string & node_name)
{
  Node * node = find(node_namespace, node_name);
  if (node == nullptr) {
    return false;
  }
  auto & nodes = info_.node_entities_info_seq;
  nodes.erase(nodes.begin() + (node - nodes.data()));
  return true;
}

bool EntitiesInfo::add_endpoint(
    const std::string & node_namespace, const std::string & node_name, const Guid & endpoint,
    bool is_reader)
{
  Node * node = find(node_namespace, node_name);
  if (node == nullptr) {
    return false;
  }
  (is_reader ? node->reader_gid_seq : node->writer_gid_seq).push_back(to_gid_message(endpoint));
  return true;
}

bool EntitiesInfo::remove_endpoint(
    const std::string & node_namespace, const std::string & node_name, const Guid & endpoint,
    bool is_reader)
{
  Node * node = find(node_namespace, node_name);
  if (node == nullptr) {
    return false;
  }
  auto & gids = is_reader ? node->reader_gid_seq : node->writer_gid_seq;
  const auto wanted = to_gid_message(endpoint);
  auto it = std::find(gids.begin(), gids.end(), wanted);
  if (it == gids.end()) {
    return false;
  }
  gids.erase(it);
  return true;
}

std::vector<std::uint8_t> EntitiesInfo::serialize() const
{
  std::vector<std::uint8_t> sample;
  client_layer::serialize_message(info_, sample);
  return sample;
}

}  // namespace client_layer::rmw::detail
