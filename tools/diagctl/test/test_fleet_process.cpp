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

// diagctl fleet against real centres: /r1 and /r2 on one domain, /r3 on
// another (the domains the CTest entry gives in FLEET_DOMAIN_A and _B).
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "diagnostic_center_test/child_process.hpp"
#include "diagnostic_center_test/scratch_dir.hpp"

namespace diagctl_test {
namespace {

using diagnostic_center_test::ChildProcess;
using diagnostic_center_test::ProcessResult;
using diagnostic_center_test::ScratchDir;
using diagnostic_center_test::WaitUntil;
using std::chrono::milliseconds;
using std::chrono::seconds;

// Configures the centre whatever its namespace.
constexpr char kParams[] =
    "/**:\n"
    "  ros__parameters:\n"
    "    diag_event_list: [1, 2]\n"
    "    1_description: \"motor bus lost\"\n"
    "    2_root_cause: 1\n"
    "    2_root_cause_time_dis: 5000\n";

std::string domain_from_environment(const char * name)
{
  const char * value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The start of a robot's object in fleet --json.
std::string robot_json(
    const std::string & ns, const std::string & domain, const std::string & state)
{
  return "{\"namespace\":\"" + ns + "\",\"domain\":" + domain + ",\"state\":\"" + state + "\"";
}

class FleetProcessTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    if (domain_a_.empty() || domain_b_.empty()) {
      GTEST_SKIP() << "FLEET_DOMAIN_A and FLEET_DOMAIN_B are not set";
    }
    params_ = diagnostic_center_test::WriteFile(scratch_ / "params.yaml", kParams);
  }

  void TearDown() override
  {
    for (auto & centre : centres_) {
      centre->Signal(SIGINT);
      centre->Finish(seconds(5));
    }
  }

  ChildProcess & start_centre(const std::string & ns, const std::string & domain)
  {
    centres_.push_back(std::make_unique<ChildProcess>(
        diagnostic_center_test::ExecutableFromEnvironment(
            "DIAGNOSTIC_CENTER_EXECUTABLE", DIAGNOSTIC_CENTER_BINARY),
        std::vector<std::string>{
            "--ros-args", "-r", "__ns:=" + ns, "--params-file", params_.string(), "-p",
            "fault_record_dir:=" + (scratch_ / ("records" + ns)).string()},
        scratch_.NewSubdir("centre"),
        std::map<std::string, std::string>{{"ROS_DOMAIN_ID", domain}}));
    return *centres_.back();
  }

  ProcessResult diagctl(std::vector<std::string> arguments)
  {
    arguments.insert(arguments.begin(), DIAGCTL_BINARY);
    return diagnostic_center_test::RunToEnd(arguments, scratch_.NewSubdir("diagctl"), seconds(30));
  }

  // Runs `fleet --json` until its output holds every one of `expected`;
  // returns the last output.
  std::string fleet_until(const std::vector<std::string> & expected)
  {
    std::string out;
    WaitUntil(
        [&] {
          out = diagctl({"fleet", "--domains", domain_a_ + "," + domain_b_, "--json", "--settle",
                         "2.5"})
                    .out;
          for (const std::string & needle : expected) {
            if (out.find(needle) == std::string::npos) {
              return false;
            }
          }
          return true;
        },
        seconds(30), milliseconds(100));
    return out;
  }

  const std::string domain_a_ = domain_from_environment("FLEET_DOMAIN_A");
  const std::string domain_b_ = domain_from_environment("FLEET_DOMAIN_B");
  ScratchDir scratch_{"diagctl_fleet_test"};
  std::filesystem::path params_;
  std::vector<std::unique_ptr<ChildProcess>> centres_;
};

TEST_F(FleetProcessTest, ListsCentresOfTwoDomainsAndFollowsRaisesAndDeaths)
{
  start_centre("/r1", domain_a_);
  start_centre("/r2", domain_a_);
  ChildProcess & r3 = start_centre("/r3", domain_b_);

  const std::string all_ok = fleet_until(
      {robot_json("/r1", domain_a_, "ok"), robot_json("/r2", domain_a_, "ok"),
       robot_json("/r3", domain_b_, "ok")});
  ASSERT_NE(all_ok.find(robot_json("/r3", domain_b_, "ok")), std::string::npos) << all_ok;
  // Sorted by domain, then namespace; one document, one line.
  EXPECT_LT(all_ok.find("\"/r1\""), all_ok.find("\"/r2\""));
  EXPECT_LT(all_ok.find("\"/r2\""), all_ok.find("\"/r3\""));
  EXPECT_EQ(all_ok.find('\n'), all_ok.size() - 1);

  const ProcessResult raise =
      diagctl({"--domain", domain_a_, "-n", "/r1", "raise", "arm_driver", "1", "no heartbeat"});
  ASSERT_EQ(raise.exit_code, 0) << raise.err;
  const std::string degraded = fleet_until(
      {robot_json("/r1", domain_a_, "degraded"), "\"failures\":[1]",
       "{\"fault_id\":1,\"description\":\"motor bus lost\""});
  EXPECT_NE(degraded.find(robot_json("/r1", domain_a_, "degraded")), std::string::npos) << degraded;
  EXPECT_NE(degraded.find(robot_json("/r2", domain_a_, "ok")), std::string::npos) << degraded;

  // Killed, /r3 says nothing more: stale after three periods, gone once its
  // participant's lease ran out.
  auto watch = std::make_unique<ChildProcess>(
      DIAGCTL_BINARY,
      std::vector<std::string>{
          "fleet", "--domains", domain_a_ + "," + domain_b_, "--json", "--watch"},
      scratch_.NewSubdir("watch"));
  ASSERT_TRUE(watch->WaitForStdoutCount(robot_json("/r3", domain_b_, "ok"), 1, seconds(20)))
      << watch->Stdout();
  r3.Kill();
  EXPECT_TRUE(watch->WaitForStdoutCount(robot_json("/r3", domain_b_, "stale"), 1, seconds(20)))
      << watch->Stdout();
  EXPECT_TRUE(watch->WaitForStdoutCount(robot_json("/r3", domain_b_, "gone"), 1, seconds(40)))
      << watch->Stdout();
  watch->Signal(SIGINT);
  const ProcessResult watched = watch->Finish(seconds(10));
  EXPECT_EQ(watched.exit_code, 0) << watched.err;
  // The others were fine all along.
  EXPECT_NE(watched.out.rfind(robot_json("/r2", domain_a_, "ok")), std::string::npos);
}

TEST_F(FleetProcessTest, BadDomainListIsAUsageError)
{
  const ProcessResult result = diagctl({"fleet", "--domains", "3,300"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_NE(result.err.find("--domains"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace diagctl_test
