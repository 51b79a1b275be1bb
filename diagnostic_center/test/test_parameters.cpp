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

// Parameter handling: the fault table built from "diag_event_list" and the
// per-id parameters, and the parameters the node declares in Init.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "diagnostic_center/contract/names.hpp"
#include "diagnostic_center/diagnostic_center.hpp"
#include "rclcpp/rclcpp.hpp"

namespace {

namespace fs = std::filesystem;
using diagnostic_center::DiagnosticCenter;
using diagnostic_center::LoadFaultTable;

const fs::path & RecordDir()
{
  static const fs::path dir =
      fs::temp_directory_path() / ("diagnostic_center_params_" + std::to_string(::getpid()));
  return dir;
}

// rclcpp is started once with the command line the node itself would see;
// the table tests below build nodes that ignore it.
class RclcppEnvironment : public ::testing::Environment
{
public:
  void SetUp() override
  {
    const std::string dir_arg = "fault_record_dir:=" + RecordDir().string();
    // ROS argument rules refuse names that start with a digit: a file gives them.
    std::ofstream(ParamsFile()) << "/**:\n  ros__parameters:\n    1002_root_cause: 1001\n";
    const std::string params_file = ParamsFile().string();
    const char * argv[] = {
        "test_parameters", "--ros-args",        "-p", "diag_event_list:=[1001, 1002]",
        "--params-file",   params_file.c_str(), "-p", dir_arg.c_str()};
    rclcpp::init(static_cast<int>(sizeof(argv) / sizeof(argv[0])), argv);
  }
  void TearDown() override
  {
    rclcpp::shutdown();
    fs::remove_all(RecordDir());
    fs::remove(ParamsFile());
  }

private:
  static fs::path ParamsFile() { return RecordDir().string() + ".yaml"; }
};

[[maybe_unused]] ::testing::Environment * const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new RclcppEnvironment);

std::shared_ptr<rclcpp::Node> NodeWith(const std::vector<rclcpp::Parameter> & overrides)
{
  static int count = 0;
  return std::make_shared<rclcpp::Node>(
      "params_test_" + std::to_string(count++),
      rclcpp::NodeOptions().use_global_arguments(false).parameter_overrides(overrides));
}

diag_tree::FaultTable Load(const std::vector<rclcpp::Parameter> & overrides)
{
  diag_tree::FaultTable table;
  LoadFaultTable(*NodeWith(overrides), table);
  return table;
}

// "root_cause/root_cause_time_dis/fault_desc" of the row for `id`.
std::string Row(const diag_tree::FaultTable & table, std::uint32_t id)
{
  const diag_tree::FaultConfig * config = table.Find(id);
  return config == nullptr
             ? "no row"
             : std::to_string(config->root_cause) + "/" +
                   std::to_string(config->root_cause_time_dis) + "/" + config->fault_desc;
}

TEST(LoadFaultTableTest, BuildsOneRowPerListedId)
{
  const auto node = NodeWith({
      rclcpp::Parameter("diag_event_list", std::vector<std::int64_t>{1001, 1002, -5, 4294967303}),
      rclcpp::Parameter("1002_root_cause", 1001),
      rclcpp::Parameter("1002_root_cause_time_dis", 250),
      rclcpp::Parameter("1002_description", "arm overheated"),
  });
  diag_tree::FaultTable table;
  LoadFaultTable(*node, table);
  ASSERT_EQ(table.size(), 4u);
  const std::string dis = std::to_string(diagnostic_center::contract::kDefaultRootCauseTimeDisMs);
  EXPECT_EQ(Row(table, 1001), "1001/" + dis + "/");
  EXPECT_EQ(Row(table, 1002), "1001/250/arm overheated");

  // -5 names fault 2^32 - 5, whose default root cause is itself as -5.
  EXPECT_EQ(Row(table, 4294967291u), "-5/" + dis + "/");
  EXPECT_TRUE(node->has_parameter("4294967291_root_cause"));
  EXPECT_EQ(node->get_parameter("4294967291_root_cause").as_int(), -5);

  // 2^32 + 7 is fault 7.
  EXPECT_NE(table.Find(7), nullptr);
  EXPECT_TRUE(node->has_parameter("7_description"));
  EXPECT_FALSE(node->has_parameter("4294967303_description"));

  EXPECT_EQ(Load({rclcpp::Parameter("diag_event_list", std::vector<std::int64_t>{})}).size(), 0u);
  // A root cause keeps the low 32 bits.
  const auto low_bits = Load({
      rclcpp::Parameter("diag_event_list", std::vector<std::int64_t>{9}),
      rclcpp::Parameter("9_root_cause", std::int64_t{4294967296} + 8),
  });
  EXPECT_EQ(Row(low_bits, 9), "8/" + dis + "/");
}

TEST(LoadFaultTableTest, LibraryErrorsNameTheParameter)
{
  using Overrides = std::vector<rclcpp::Parameter>;
  const std::vector<std::pair<Overrides, std::string>> cases = {
      {{}, "diag_event_list"},
      {{rclcpp::Parameter("diag_event_list", "1001")}, "diag_event_list"},
      {{rclcpp::Parameter("diag_event_list", std::vector<std::int64_t>{5}),
        rclcpp::Parameter("5_root_cause_time_dis", "soon")},
       "5_root_cause_time_dis"},
      // A repeated id declares its parameters twice.
      {{rclcpp::Parameter("diag_event_list", std::vector<std::int64_t>{5, 5})}, "5_root_cause"},
  };
  for (const auto & [overrides, name] : cases) {
    std::string error;
    try {
      Load(overrides);
    } catch (const std::exception & thrown) {
      error = thrown.what();
    }
    EXPECT_NE(error.find(name), std::string::npos) << name << ": " << error;
  }
}

// Init declares every parameter, each with the parameter file's value where
// it gives one. Every value is read once at start-up, so a change must be
// refused, with rclcpp's reason, rather than reported as made; each parameter
// says what it means to `ros2 param describe`.
TEST(DiagnosticCenterInitTest, DeclaresEveryParameterReadOnlyAndDescribed)
{
  const auto node = DiagnosticCenter::GetInstance();
  ASSERT_TRUE(node->Init());

  EXPECT_EQ(node->get_name(), std::string(diagnostic_center::contract::kNodeName));
  EXPECT_EQ(
      node->get_parameter("diag_event_list").as_integer_array(),
      (std::vector<std::int64_t>{1001, 1002}));
  EXPECT_EQ(node->get_parameter("1002_root_cause").as_int(), 1001);
  EXPECT_EQ(node->get_parameter("1001_root_cause").as_int(), 1001);  // its own root cause
  EXPECT_EQ(node->get_parameter("fault_record_dir").as_string(), RecordDir().string());
  ASSERT_NE(diag_tree::FindFaultConfig(1002), nullptr);
  EXPECT_EQ(diag_tree::FindFaultConfig(1002)->root_cause, 1001);
  EXPECT_TRUE(fs::is_directory(RecordDir()));

  // Every parameter the node declares, but the client library's own.
  const auto names = node->list_parameters({}, 0).names;
  ASSERT_GT(names.size(), 1u);
  for (const std::string & name : names) {
    if (name == "use_sim_time") {
      continue;
    }
    SCOPED_TRACE(name);
    const auto descriptor = node->describe_parameter(name);
    EXPECT_TRUE(descriptor.read_only);
    EXPECT_FALSE(descriptor.description.empty());

    const rclcpp::Parameter before = node->get_parameter(name);
    const auto result = node->set_parameter(before);  // even an unchanged value
    EXPECT_FALSE(result.successful);
    EXPECT_EQ(result.reason, "parameter '" + name + "' cannot be set because it is read-only");
    const auto results = node->set_parameters({before});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_FALSE(results[0].successful);
    EXPECT_EQ(node->get_parameter(name), before);
  }
  EXPECT_NE(
      node->describe_parameter("1002_root_cause_time_dis").description.find("1002"),
      std::string::npos);

  const rclcpp::Parameter period = node->get_parameter("center_handle_space");
  const rclcpp::Parameter depth = node->get_parameter("diag_keep_his");
  const auto atomic = node->set_parameters_atomically(
      {rclcpp::Parameter("center_handle_space", period.as_int() + 10),
       rclcpp::Parameter("diag_keep_his", depth.as_int() + 5)});
  EXPECT_FALSE(atomic.successful);
  EXPECT_EQ(atomic.reason, "parameter 'center_handle_space' cannot be set because it is read-only");
  EXPECT_EQ(node->get_parameter("center_handle_space"), period);
  EXPECT_EQ(node->get_parameter("diag_keep_his"), depth);
}

}  // namespace
