// Parameter handling: the fault table built from "diag_event_list" and the
// per-id parameters, and the parameters the node declares in Init.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
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

// Runs LoadFaultTable and returns the client library's error text, or "".
std::string LoadError(const std::vector<rclcpp::Parameter> & overrides)
{
  diag_tree::FaultTable table;
  try {
    LoadFaultTable(*NodeWith(overrides), table);
  } catch (const std::exception & error) {
    return error.what();
  }
  return "";
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

  const diag_tree::FaultConfig * own = table.Find(1001);
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own->root_cause, 1001);
  EXPECT_EQ(own->root_cause_time_dis, diagnostic_center::contract::kDefaultRootCauseTimeDisMs);
  EXPECT_EQ(own->fault_desc, "");

  const diag_tree::FaultConfig * sub = table.Find(1002);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->root_cause, 1001);
  EXPECT_EQ(sub->root_cause_time_dis, 250);
  EXPECT_EQ(sub->fault_desc, "arm overheated");

  // -5 names fault 2^32 - 5, whose default root cause is itself as -5.
  const diag_tree::FaultConfig * negative = table.Find(4294967291u);
  ASSERT_NE(negative, nullptr);
  EXPECT_EQ(negative->root_cause, -5);
  EXPECT_TRUE(node->has_parameter("4294967291_root_cause"));
  EXPECT_EQ(node->get_parameter("4294967291_root_cause").as_int(), -5);

  // 2^32 + 7 is fault 7.
  EXPECT_NE(table.Find(7), nullptr);
  EXPECT_TRUE(node->has_parameter("7_description"));
  EXPECT_FALSE(node->has_parameter("4294967303_description"));
}

TEST(LoadFaultTableTest, EmptyListGivesEmptyTable)
{
  diag_tree::FaultTable table;
  LoadFaultTable(
      *NodeWith({rclcpp::Parameter("diag_event_list", std::vector<std::int64_t>{})}), table);
  EXPECT_EQ(table.size(), 0u);
}

TEST(LoadFaultTableTest, RootCauseKeepsTheLow32Bits)
{
  diag_tree::FaultTable table;
  LoadFaultTable(
      *NodeWith({
          rclcpp::Parameter("diag_event_list", std::vector<std::int64_t>{9}),
          rclcpp::Parameter("9_root_cause", std::int64_t{4294967296} + 8),
      }),
      table);
  ASSERT_NE(table.Find(9), nullptr);
  EXPECT_EQ(table.Find(9)->root_cause, 8);
}

TEST(LoadFaultTableTest, LibraryErrorsNameTheParameter)
{
  EXPECT_NE(LoadError({}).find("diag_event_list"), std::string::npos);
  EXPECT_NE(
      LoadError({rclcpp::Parameter("diag_event_list", "1001")}).find("diag_event_list"),
      std::string::npos);
  EXPECT_NE(
      LoadError({
                    rclcpp::Parameter("diag_event_list", std::vector<std::int64_t>{5}),
                    rclcpp::Parameter("5_root_cause_time_dis", "soon"),
                })
          .find("5_root_cause_time_dis"),
      std::string::npos);
  // A repeated id declares its parameters twice.
  EXPECT_NE(
      LoadError({rclcpp::Parameter("diag_event_list", std::vector<std::int64_t>{5, 5})})
          .find("5_root_cause"),
      std::string::npos);
}

// Init declares every parameter, each with the parameter file's value where
// it gives one. Every value is read once at start-up, so a change must be
// refused, with rclcpp's reason, rather than reported as made; each parameter
// says what it means to `ros2 param describe`.
TEST(DiagnosticCenterInitTest, DeclaresEveryParameterReadOnlyAndDescribed)
{
  const auto node = DiagnosticCenter::GetInstance();
  EXPECT_EQ(node, DiagnosticCenter::GetInstance());
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

  const std::vector<std::string> names = {
      "diag_event_list",          "1001_root_cause",
      "1001_root_cause_time_dis", "1001_description",
      "1002_root_cause",          "1002_root_cause_time_dis",
      "1002_description",         "diag_keep_his",
      "ctrl_handle_space",        "center_handle_space",
      "cur_failure_pub_space",    "robot_status_change_detect_space",
      "fault_record_dir",         "fault_record_refresh_space",
      "publish_diagnostics"};
  for (const std::string & name : names) {
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
