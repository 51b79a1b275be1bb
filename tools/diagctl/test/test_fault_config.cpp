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

// Reading the node's parameter file into the fault table.
#include <gtest/gtest.h>

#include "diagctl/fault_config.hpp"
#include "diagnostic_center/contract/names.hpp"

namespace diagctl {
namespace {

TEST(FaultConfig, FollowsTheNodesDeclarations)
{
  std::string error;
  const auto config = FaultConfig::parse(
      R"(
/**:
  ros__parameters:
    fault_record_dir: /tmp/wildcard
diagnostic_center:
  ros__parameters:
    diag_event_list: [1001, 1002, 1003, -5, 4294967303, 1001]
    fault_record_dir: /tmp/records
    1001_description: "arm motor overheat"
    1002_root_cause: 1001
    1002_root_cause_time_dis: 800
    1002_description: "arm joint error"
    1003_root_cause: 1001
    4294967291_root_cause: 7
    7_description: "seven"
other_node:
  ros__parameters:
    1003_description: "not ours"
)",
      error);
  ASSERT_TRUE(config) << error;
  EXPECT_EQ(config->record_dir(), "/tmp/records");
  ASSERT_EQ(config->entries().size(), 5u);  // the repeated 1001 adds nothing

  const FaultEntry * own_root = config->find(1001);
  ASSERT_NE(own_root, nullptr);
  EXPECT_EQ(own_root->root_cause, 1001);
  EXPECT_EQ(
      own_root->root_cause_time_dis_ms, diagnostic_center::contract::kDefaultRootCauseTimeDisMs);
  EXPECT_EQ(own_root->description, "arm motor overheat");
  EXPECT_EQ(config->find(1002)->root_cause_time_dis_ms, 800);
  EXPECT_EQ(config->find(1003)->description, "");
  EXPECT_EQ(config->find(-5)->root_cause, 7);        // named by its unsigned 32 bits
  EXPECT_EQ(config->find(7)->description, "seven");  // 2^32 + 7
  EXPECT_EQ(config->find(8), nullptr);

  const auto consequences = config->consequences_of(1001);
  ASSERT_EQ(consequences.size(), 2u);
  EXPECT_EQ(consequences[0]->fault_id, 1002);
  EXPECT_EQ(consequences[1]->fault_id, 1003);
  EXPECT_EQ(config->consequences_of(7).front()->fault_id, -5);
  EXPECT_TRUE(config->consequences_of(1002).empty());
}

TEST(FaultConfig, NamespacedNodeKeysAndDefaults)
{
  std::string error;
  const auto config = FaultConfig::parse(
      "robot1:\n  diagnostic_center:\n    ros__parameters:\n      diag_event_list: []\n", error);
  ASSERT_TRUE(config) << error;
  EXPECT_TRUE(config->entries().empty());
  EXPECT_EQ(config->record_dir(), diagnostic_center::contract::kDefaultRecordDir);
}

TEST(FaultConfig, ClearErrors)
{
  std::string error;
  EXPECT_FALSE(FaultConfig::parse("diagnostic_center:\n  ros__parameters: {}\n", error));
  EXPECT_NE(error.find("diag_event_list"), std::string::npos);
  EXPECT_FALSE(FaultConfig::parse(
      "diagnostic_center:\n  ros__parameters:\n    diag_event_list: [1]\n    1_root_cause: x\n",
      error));
  EXPECT_NE(error.find("1_root_cause"), std::string::npos);
  EXPECT_FALSE(FaultConfig::parse("diagnostic_center: [unclosed", error));
  EXPECT_FALSE(FaultConfig::load_file("/nonexistent/params.yaml", error));
  EXPECT_NE(error.find("/nonexistent/params.yaml"), std::string::npos);
}

}  // namespace
}  // namespace diagctl
