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

// ROS names for the DDS names of topics and types, the inverse of
// topic_to_dds() and of the "pkg::msg::dds_::Name_" type naming.
#include <string>

#include "client_layer/rmw/graph.hpp"

namespace client_layer::rmw {
namespace {

constexpr const char * kDdsTypeNamespace = "dds_::";

// The name after "<prefix>", when it continues with '/'; "" otherwise.
std::string strip_prefix(const std::string & name, const std::string & prefix)
{
  if (name.compare(0, prefix.size() + 1, prefix + "/") != 0) {
    return "";
  }
  return name.substr(prefix.size());
}

// "rq/a/bRequest" -> "/a/b" for prefix "rq" and suffix "Request".
std::string service_from_topic(
    const std::string & dds_topic_name, const std::string & prefix, const std::string & suffix)
{
  const std::string name = strip_prefix(dds_topic_name, prefix);
  if (name.size() < suffix.size() ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return "";
  }
  return name.substr(0, name.size() - suffix.size());
}

// "a::b::" -> "a/b/".
std::string ros_namespace(std::string dds_namespace)
{
  for (auto pos = dds_namespace.find("::"); pos != std::string::npos;
       pos = dds_namespace.find("::", pos + 1)) {
    dds_namespace.replace(pos, 2, "/");
  }
  return dds_namespace;
}

bool ends_with(const std::string & text, const std::string & suffix)
{
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::string ros_topic_from_dds(const std::string & dds_topic_name)
{
  return strip_prefix(dds_topic_name, "rt");
}

std::string ros_service_from_dds(const std::string & dds_topic_name)
{
  const std::string reply = service_from_topic(dds_topic_name, "rr", "Reply");
  return reply.empty() ? service_from_topic(dds_topic_name, "rq", "Request") : reply;
}

std::string ros_type_from_dds(const std::string & dds_type_name)
{
  const auto pos = dds_type_name.find(kDdsTypeNamespace);
  if (!ends_with(dds_type_name, "_") || pos == std::string::npos) {
    return dds_type_name;  // not a ROS type
  }
  const auto start = pos + std::char_traits<char>::length(kDdsTypeNamespace);
  return ros_namespace(dds_type_name.substr(0, pos)) +
         dds_type_name.substr(start, dds_type_name.size() - 1 - start);
}

std::string ros_service_type_from_dds(const std::string & dds_type_name)
{
  const auto pos = dds_type_name.find(kDdsTypeNamespace);
  if (pos == std::string::npos) {
    return "";
  }
  for (const std::string suffix : {"_Response_", "_Request_"}) {
    if (ends_with(dds_type_name, suffix)) {
      const auto start = pos + std::char_traits<char>::length(kDdsTypeNamespace);
      const auto end = dds_type_name.size() - suffix.size();
      if (end < start) {
        return "";
      }
      return ros_namespace(dds_type_name.substr(0, pos)) + dds_type_name.substr(start, end - start);
    }
  }
  return "";
}

}  // namespace client_layer::rmw
