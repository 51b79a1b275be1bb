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

// The node's decisions that need no middleware: the module filter, the
// robot status mapping and the query service's payload. (That a change of
// the robot status announces the failures is tested through the running
// node, test/process/robot_status_test.cpp.)
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "diagnostic_center/contract/robot_status.hpp"
#include "diagnostic_center/diag_mod_ctrl.hpp"
#include "diagnostic_center/diagnostic_center.hpp"
#include "robot/diag_srv.pb.h"

namespace {

using diagnostic_center::DiagModCtrl;
using diagnostic_center::DiagnosticEvent;
using diagnostic_center::SerializeRootCauses;

DiagnosticEvent Event(std::int32_t fault_id, std::int32_t status)
{
  DiagnosticEvent event;
  event.fault_id = fault_id;
  event.status = status;
  return event;
}

std::string Bytes(std::initializer_list<unsigned char> bytes)
{
  return {bytes.begin(), bytes.end()};
}

TEST(ModuleFilterTest, ForwardsOnlyRaisesAndClearsOfConfiguredFaults)
{
  diag_tree::FaultTable table;
  for (const std::uint32_t id : {0u, 7u, 4294967291u}) {
    diag_tree::FaultConfig config;
    config.fault_id = id;
    config.root_cause = static_cast<std::int32_t>(id);
    table.Insert(config);
  }
  EXPECT_TRUE(DiagModCtrl::ShouldForward(Event(7, 1), table));
  EXPECT_TRUE(DiagModCtrl::ShouldForward(Event(7, 0), table));
  EXPECT_TRUE(DiagModCtrl::ShouldForward(Event(-5, 1), table));
  // Other status values never reach the centre.
  EXPECT_FALSE(DiagModCtrl::ShouldForward(Event(7, 2), table));
  EXPECT_FALSE(DiagModCtrl::ShouldForward(Event(7, -1), table));
  // Unconfigured ids are dropped whatever the status.
  EXPECT_FALSE(DiagModCtrl::ShouldForward(Event(8, 1), table));
  EXPECT_FALSE(DiagModCtrl::ShouldForward(Event(8, 0), table));
  // Fault id 0: a raise passes when configured, a clear never does.
  EXPECT_TRUE(DiagModCtrl::ShouldForward(Event(0, 1), table));
  EXPECT_FALSE(DiagModCtrl::ShouldForward(Event(0, 0), table));
}

TEST(RobotStatusTest, DerivedFromTheTaskCentreStateMachine)
{
  const struct
  {
    std::int32_t fsm_state;
    std::int32_t fsm_sub_state;
    std::int32_t status;
  } table[] = {
      {1, 0, 1}, {3, 7, 1}, {5, 2, 1},                                 // states 1, 3 and 5
      {2, 2, 3},                                                       // state 2, sub-state 2
      {2, 0, 2}, {2, 1, 2}, {2, 3, 2}, {2, -2, 2},                     // state 2, other sub-states
      {0, 0, 2}, {4, 2, 2}, {6, 2, 2}, {-1, 2, 2}, {INT32_MIN, 0, 2},  // the rest
  };
  for (const auto & row : table) {
    EXPECT_EQ(
        diagnostic_center::contract::DeriveRobotStatus(row.fsm_state, row.fsm_sub_state),
        row.status)
        << "fsm_state " << row.fsm_state << ", fsm_sub_state " << row.fsm_sub_state;
  }
  // Before any state arrives every field is 0: the first check moves 1 to 2.
  EXPECT_NE(
      diagnostic_center::contract::DeriveRobotStatus(0, 0),
      diagnostic_center::contract::kInitialRobotStatus);
}

TEST(DiagSrvPayloadTest, WireBytes)
{
  EXPECT_EQ(SerializeRootCauses({}), "");
  EXPECT_EQ(SerializeRootCauses({5}), Bytes({0x0A, 0x01, 0x05}));
  EXPECT_EQ(SerializeRootCauses({3, 300}), Bytes({0x0A, 0x03, 0x03, 0xAC, 0x02}));
  // Ids of 2^31 and above travel as negative int32, sign-extended to ten bytes.
  EXPECT_EQ(
      SerializeRootCauses({4294967295u}),
      Bytes({0x0A, 0x0A, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}));
}

TEST(DiagSrvPayloadTest, ClientsParseTheListInOrder)
{
  diag_srv::DiagSrvResp parsed;
  ASSERT_TRUE(parsed.ParseFromString(SerializeRootCauses({300, 3, 2147483648u})));
  ASSERT_EQ(parsed.root_cause_list_size(), 3);
  EXPECT_EQ(parsed.root_cause_list(0), 300);
  EXPECT_EQ(parsed.root_cause_list(1), 3);
  EXPECT_EQ(parsed.root_cause_list(2), INT32_MIN);

  diag_srv::DiagSrvResp empty;
  ASSERT_TRUE(empty.ParseFromString(SerializeRootCauses({})));
  EXPECT_EQ(empty.root_cause_list_size(), 0);
}

}  // namespace
