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

#include <gtest/gtest.h>

#include <string>

#include "client_layer/names.hpp"
#include "layer_test_support.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/expand_topic_or_service_name.hpp"

namespace names = client_layer::names;

using layer_test::what_of;

TEST(NodeNames, RclcppReportsTheOffendingCharacter)
{
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidNodeNameError>(
          [] { names::check_node_name_and_namespace("my-node", "/"); }),
      "Invalid node name: node name must not contain characters other than alphanumerics or '_':\n"
      "  'my-node'\n"
      "     ^\n");
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidNodeNameError>(
          [] { names::check_node_name_and_namespace("1node", "/"); }),
      "Invalid node name: node name must not start with a number:\n  '1node'\n   ^\n");
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidNodeNameError>(
          [] { names::check_node_name_and_namespace("", "/"); }),
      "Invalid node name: node name must not be empty:\n  ''\n   ^\n");
  EXPECT_NO_THROW(names::check_node_name_and_namespace("diagnostic_center", ""));
}

TEST(NodeNames, NamespacesAreNormalisedThenValidated)
{
  EXPECT_EQ(names::normalize_namespace(""), "/");
  EXPECT_EQ(names::normalize_namespace("robot"), "/robot");
  EXPECT_EQ(names::normalize_namespace("/robot/arm"), "/robot/arm");
  EXPECT_NO_THROW(names::check_node_name_and_namespace("n", "robot/arm"));
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidNamespaceError>(
          [] { names::check_node_name_and_namespace("n", "/robot/"); }),
      "Invalid namespace: namespace must not end with a '/', unless only a '/':\n"
      "  '/robot/'\n"
      "         ^\n");
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidNamespaceError>(
          [] { names::check_node_name_and_namespace("n", "/a//b"); }),
      "Invalid namespace: namespace must not contain repeated '/':\n  '/a//b'\n      ^\n");
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidNamespaceError>(
          [] { names::check_node_name_and_namespace("n", "/a/2b"); }),
      "Invalid namespace: namespace must not have a token that starts with a number:\n"
      "  '/a/2b'\n      ^\n");
  EXPECT_EQ(names::fully_qualified_name("n", "/"), "/n");
  EXPECT_EQ(names::fully_qualified_name("n", "/a/b"), "/a/b/n");
}

// "<reason>@<index>" as rcl_init reports an invalid enclave, or "valid".
std::string enclave_verdict(const std::string & enclave)
{
  const auto error = names::validate_enclave_name(enclave);
  return error ? std::string(error->message) + "@" + std::to_string(error->invalid_index) : "valid";
}

TEST(EnclaveNames, NamespaceRulesInRclsWordsUpToANodeNamesLength)
{
  EXPECT_EQ(enclave_verdict("/"), "valid");
  EXPECT_EQ(enclave_verdict("/robot/diag_1"), "valid");
  EXPECT_EQ(enclave_verdict(""), "context name must not be empty@0");
  EXPECT_EQ(enclave_verdict("robot"), "context name must be absolute, it must lead with a '/'@0");
  EXPECT_EQ(
      enclave_verdict("/robot/"), "context name must not end with a '/', unless only a '/'@6");
  EXPECT_EQ(
      enclave_verdict("/a-b"),
      "context name must not contain characters other than alphanumerics, '_', or '/'@2");
  EXPECT_EQ(enclave_verdict("/a//b"), "context name must not contain repeated '/'@3");
  EXPECT_EQ(
      enclave_verdict("/1a"), "context name must not have a token that starts with a number@1");
  // Longer than a namespace (245) is fine up to 255.
  EXPECT_EQ(enclave_verdict("/" + std::string(254, 'a')), "valid");
  EXPECT_EQ(
      enclave_verdict("/" + std::string(255, 'a')),
      "context name should not exceed 'RCL_ENCLAVE_NAME_MAX_NAME_LENGTH'@254");
  // A bad character is reported before the length.
  EXPECT_EQ(
      enclave_verdict("/" + std::string(300, 'a') + "-"),
      "context name must not contain characters other than alphanumerics, '_', or '/'@301");
}

TEST(TopicNames, ExpandAsRclDoes)
{
  EXPECT_EQ(rclcpp::expand_topic_or_service_name("chatter", "node", "/"), "/chatter");
  EXPECT_EQ(rclcpp::expand_topic_or_service_name("chatter", "node", "/ns"), "/ns/chatter");
  EXPECT_EQ(rclcpp::expand_topic_or_service_name("/abs/topic", "node", "/ns"), "/abs/topic");
  EXPECT_EQ(rclcpp::expand_topic_or_service_name("~", "node", "/ns"), "/ns/node");
  EXPECT_EQ(rclcpp::expand_topic_or_service_name("~/status", "node", "/"), "/node/status");
  EXPECT_EQ(rclcpp::expand_topic_or_service_name("{node}/x", "node", "/ns", true), "/ns/node/x");
  EXPECT_EQ(rclcpp::expand_topic_or_service_name("{ns}/x", "node", "/ns"), "/ns/x");
}

TEST(TopicNames, InvalidNamesThrowWithRclcppMessages)
{
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidTopicNameError>(
          [] { rclcpp::expand_topic_or_service_name("foo bar", "node", "/"); }),
      "Invalid topic name: topic name must not contain characters other than alphanumerics, '_', "
      "'~', '{', or '}':\n  'foo bar'\n      ^\n");
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidServiceNameError>(
          [] { rclcpp::expand_topic_or_service_name("srv/", "node", "/", true); }),
      "Invalid service name: topic name must not end with a forward slash:\n  'srv/'\n      ^\n");
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidTopicNameError>(
          [] { rclcpp::expand_topic_or_service_name("~foo", "node", "/"); }),
      "Invalid topic name: topic name must not have a tilde '~' that is not followed by a forward "
      "slash '/':\n  '~foo'\n    ^\n");
  // Valid as written but not once expanded: the expanded name is reported.
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidTopicNameError>(
          [] { rclcpp::expand_topic_or_service_name("{ns}/x", "node", "/"); }),
      "Invalid topic name: topic name must not contain repeated '/':\n  '//x'\n    ^\n");
  EXPECT_EQ(
      what_of<std::runtime_error>(
          [] { rclcpp::expand_topic_or_service_name("{unknown}/x", "node", "/"); }),
      "topic name unexpectedly valid");
  EXPECT_THROW(
      rclcpp::expand_topic_or_service_name("x", "bad-node", "/"),
      rclcpp::exceptions::InvalidNodeNameError);
}
