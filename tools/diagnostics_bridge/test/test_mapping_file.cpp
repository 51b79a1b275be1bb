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

// The mapping file: what it accepts, and that every refusal names the file,
// the line and the mapping at fault.
#include <gtest/gtest.h>

#include <string>

#include "diagnostics_bridge/mapping_file.hpp"

namespace diagnostics_bridge {
namespace {

std::string RefusalOf(const std::string & yaml)
{
  try {
    ParseMappings(yaml, "bridge.yaml");
  } catch (const MappingError & error) {
    return error.what();
  }
  return "accepted";
}

TEST(MappingFile, ReadsEverySelectorAndPolicy)
{
  const auto mappings = ParseMappings(
      "mappings:\n"
      "  - fault_id: 3101\n"
      "    topic: chassis_driver_diag_topic\n"
      "    name: 'motor_driver: Motor temperature'\n"
      "    hardware_id_pattern: 'motor_(left|right)'\n"
      "    warn: raise\n"
      "  - fault_id: -5\n"
      "    topic: sensor_proxy_diag_topic\n"
      "    name_pattern: 'lidar_[a-z]+: Frequency'\n"
      "    stale: raise\n",
      "bridge.yaml");
  ASSERT_EQ(mappings.size(), 2u);
  EXPECT_EQ(mappings[0].fault_id, 3101);
  EXPECT_EQ(mappings[0].topic, "chassis_driver_diag_topic");
  EXPECT_EQ(mappings[0].warn, LevelPolicy::kRaise);
  EXPECT_EQ(mappings[0].stale, LevelPolicy::kIgnore);
  EXPECT_TRUE(mappings[0].Selects("motor_driver: Motor temperature", "motor_left"));
  EXPECT_FALSE(mappings[0].Selects("motor_driver: Motor temperature", "motor_leftover"));
  EXPECT_FALSE(mappings[0].Selects("motor_driver: Motor temperature2", "motor_left"));
  EXPECT_EQ(mappings[1].fault_id, -5);
  EXPECT_EQ(mappings[1].warn, LevelPolicy::kIgnore);
  EXPECT_EQ(mappings[1].stale, LevelPolicy::kRaise);
  // A pattern means the whole name, whatever hardware id.
  EXPECT_TRUE(mappings[1].Selects("lidar_front: Frequency", ""));
  EXPECT_FALSE(mappings[1].Selects("x lidar_front: Frequency", ""));
  EXPECT_FALSE(mappings[1].Selects(std::string("lidar_front: Frequency\0x", 24), ""));
}

TEST(MappingFile, RefusesWhatTheCentreCannotTakeOrTheOperatorMistyped)
{
  const std::string head = "mappings:\n  - fault_id: 1\n    topic: arm_driver_diag_topic\n";
  const struct
  {
    std::string yaml;
    std::string expected;
  } cases[] = {
      {"mappings:\n  - fault_id: 1\n    topic: lidar_diag_topic\n    name: a\n",
       "bridge.yaml:3: mappings[0].topic 'lidar_diag_topic' is not a module topic of the "
       "diagnosis centre (arm_driver_diag_topic, sensor_proxy_diag_topic"},
      {"mappings:\n  - fault_id: 1\n    topic: /arm_driver_diag_topic\n    name: a\n",
       "is not a module topic"},
      {head + "    name: a\n  - fault_id: 1\n    topic: arm_driver_diag_topic\n    name: b\n",
       "bridge.yaml:5: mappings[1].fault_id 1 is already mapped by mappings[0]"},
      {head + "    name_pattern: 'lidar_(front'\n",
       "bridge.yaml:4: mappings[0].name_pattern 'lidar_(front' is not a valid pattern"},
      {head + "    name_pattern: '(a)\\1'\n", "back-references"},
      {head + "    name: a\n    name_pattern: b\n", "has both name and name_pattern"},
      {head + "    hardware_id: a\n    hardware_id_pattern: b\n",
       "has both hardware_id and hardware_id_pattern"},
      {head, "bridge.yaml:2: mappings[0] selects no status"},
      {head + "    name: a\n    warning: raise\n", "mappings[0] has an unknown key 'warning'"},
      {head + "    name: a\n    warn: error\n", "mappings[0].warn must be 'raise' or 'ignore'"},
      {"mappings:\n  - topic: arm_driver_diag_topic\n    name: a\n", "mappings[0] has no fault_id"},
      {"mappings:\n  - fault_id: 1\n    name: a\n", "mappings[0] has no topic"},
      {"mappings:\n  - fault_id: 4294967291\n    topic: arm_driver_diag_topic\n    name: a\n",
       "fault_id must be a 32-bit signed integer, not '4294967291'"},
      {"mappings:\n  - fault_id: 1x\n    topic: arm_driver_diag_topic\n    name: a\n",
       "must be a 32-bit signed integer"},
      {"mappings:\n  - fault_id: [1]\n    topic: arm_driver_diag_topic\n    name: a\n",
       "mappings[0].fault_id must be a text"},
      {"mappings: []\n", "'mappings' must be a list of at least one mapping"},
      {"mapping:\n  - fault_id: 1\n", "the file must be a map with the key 'mappings'"},
      {"mappings:\n  - {fault_id: 1, topic: arm_driver_diag_topic, name: a}\nextra: 1\n",
       "unknown key 'extra'"},
      {"mappings: [\n", "bridge.yaml: not valid YAML"},
      {"mappings:\n  - {[1]: 2}\n", "bridge.yaml: not a mapping file"},
      {"", "the file must be a map"},
  };
  for (const auto & c : cases) {
    const std::string refusal = RefusalOf(c.yaml);
    EXPECT_NE(refusal.find(c.expected), std::string::npos)
        << "file:\n"
        << c.yaml << "refusal: " << refusal << "\nexpected to contain: " << c.expected;
  }
}

TEST(MappingFile, NamesAFileThatCannotBeRead)
{
  for (const char * path : {"/nonexistent/bridge.yaml", "/tmp", "/dev/null"}) {
    try {
      LoadMappingFile(path);
      ADD_FAILURE() << path << " was accepted";
    } catch (const MappingError & error) {
      EXPECT_EQ(std::string(error.what()).rfind(path, 0), 0u) << error.what();
    }
  }
}

}  // namespace
}  // namespace diagnostics_bridge
