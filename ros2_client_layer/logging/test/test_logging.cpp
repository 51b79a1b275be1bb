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
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "client_layer/logging.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/logging.hpp"
#include "rcutils/logging.h"
#include "rcutils/logging_macros.h"

namespace logging = client_layer::logging;

namespace {

/// Output of one run of the writer helper.
struct Output
{
  std::string out;
  std::string err;
};

Output run_writer(const std::string & environment, const std::string & mode = "basic")
{
  // One file per test process: other builds may run this test at the same time.
  const std::string err_file =
      testing::TempDir() + "log_writer_stderr_" + std::to_string(getpid()) + ".txt";
  const std::string command =
      "env -u RCUTILS_CONSOLE_OUTPUT_FORMAT -u RCUTILS_LOGGING_USE_STDOUT "
      "-u RCUTILS_COLORIZED_OUTPUT -u RCUTILS_LOGGING_BUFFERED_STREAM " +
      environment + " " + LOG_WRITER_PATH + " " + mode + " 2>" + err_file;
  Output output;
  FILE * pipe = popen(command.c_str(), "r");
  EXPECT_NE(pipe, nullptr);
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
    output.out.append(buffer, n);
  }
  EXPECT_EQ(pclose(pipe), 0);
  std::ifstream err(err_file);
  std::stringstream text;
  text << err.rdbuf();
  output.err = text.str();
  std::remove(err_file.c_str());
  return output;
}

std::vector<std::string> lines(const std::string & text)
{
  std::vector<std::string> result;
  std::stringstream stream(text);
  std::string line;
  while (std::getline(stream, line)) {
    result.push_back(line);
  }
  return result;
}

/// A clock whose time the test sets, for the _THROTTLE macros.
struct FakeTime
{
  int64_t ns;
  int64_t nanoseconds() const { return ns; }
};
struct FakeClock
{
  int64_t now_ns = 0;
  FakeTime now() const { return FakeTime{now_ns}; }
};

/// Restores the logger levels a test changed.
class LevelsTest : public ::testing::Test
{
protected:
  void TearDown() override
  {
    logging::set_default_level(logging::kInfo);
    for (const char * name : {"a", "a.b", "macros", "child_parent"}) {
      logging::set_logger_level(name, logging::kUnset);
    }
  }
};

int g_evaluations = 0;
int counted(int value)
{
  ++g_evaluations;
  return value;
}

}  // namespace

TEST(LogFormat, ExpandsEveryTokenAndKeepsUnknownOnes)
{
  const logging::LogLocation location{"my_function", "src/file.cpp", 42};
  EXPECT_EQ(
      logging::format_output(
          "[{severity}] [{time}] [{name}]: {message}", &location, logging::kWarn, "node.child",
          1700000000123456789LL, "text"),
      "[WARN] [1700000000.123456789] [node.child]: text");
  EXPECT_EQ(
      logging::format_output(
          "{function_name}|{file_name}|{line_number}|{time_as_nanoseconds}|{unknown}|{", &location,
          logging::kDebug, "n", 5, "m"),
      "my_function|src/file.cpp|42|5|{unknown}|{");
  // Seconds are zero-padded to ten digits, nanoseconds to nine.
  EXPECT_EQ(
      logging::format_output("{time}", &location, logging::kInfo, "n", 1000000007LL, ""),
      "0000000001.000000007");
  EXPECT_EQ(
      logging::format_output("{time}", &location, logging::kInfo, "n", -1500000000LL, ""),
      "-0000000001.500000000");
}

TEST(LogFormat, SeverityNamesParseCaseInsensitively)
{
  EXPECT_EQ(logging::severity_from_string("debug"), logging::kDebug);
  EXPECT_EQ(logging::severity_from_string("Warn"), logging::kWarn);
  EXPECT_EQ(logging::severity_from_string("FATAL"), logging::kFatal);
  EXPECT_FALSE(logging::severity_from_string("warning"));
  EXPECT_FALSE(logging::severity_from_string(""));
  EXPECT_EQ(logging::node_logger_name("node", "/"), "node");
  EXPECT_EQ(logging::node_logger_name("node", "/a/b"), "a.b.node");
}

TEST_F(LevelsTest, ChildrenInheritTheNearestAncestorLevel)
{
  EXPECT_EQ(logging::get_effective_level("a.b.c"), logging::kInfo);
  logging::set_logger_level("a", logging::kError);
  EXPECT_EQ(logging::get_effective_level("a.b.c"), logging::kError);
  logging::set_logger_level("a.b", logging::kDebug);
  EXPECT_EQ(logging::get_effective_level("a.b.c"), logging::kDebug);
  EXPECT_EQ(logging::get_effective_level("a.x"), logging::kError);
  EXPECT_EQ(logging::get_effective_level("ab"), logging::kInfo);  // not a child of "a"
  logging::set_default_level(logging::kWarn);
  EXPECT_EQ(logging::get_effective_level("other"), logging::kWarn);
  logging::set_default_level(logging::kUnset);  // restores INFO
  EXPECT_EQ(logging::get_default_level(), logging::kInfo);
}

TEST_F(LevelsTest, LoggerLevelChangesReachExistingLoggers)
{
  rclcpp::Logger parent = rclcpp::get_logger("child_parent");
  rclcpp::Logger child = parent.get_child("leaf");
  EXPECT_STREQ(child.get_name(), "child_parent.leaf");
  EXPECT_FALSE(logging::logger_is_enabled_for(child, logging::kDebug));  // fills the cache
  parent.set_level(rclcpp::Logger::Level::Debug);
  EXPECT_TRUE(logging::logger_is_enabled_for(child, logging::kDebug));
  EXPECT_EQ(child.get_effective_level(), rclcpp::Logger::Level::Debug);
  EXPECT_THROW(
      parent.set_level(static_cast<rclcpp::Logger::Level>(15)),
      rclcpp::exceptions::RCLInvalidArgument);
}

TEST_F(LevelsTest, RcutilsFunctionsShareTheLevels)
{
  const rclcpp::Logger logger = rclcpp::get_logger("a.b");
  EXPECT_FALSE(rcutils_logging_logger_is_enabled_for("a.b", RCUTILS_LOG_SEVERITY_DEBUG));
  EXPECT_EQ(rcutils_logging_set_logger_level("a", RCUTILS_LOG_SEVERITY_DEBUG), RCUTILS_RET_OK);
  EXPECT_TRUE(logging::logger_is_enabled_for(logger, logging::kDebug));
  EXPECT_EQ(rcutils_logging_get_logger_level("a.b"), RCUTILS_LOG_SEVERITY_UNSET);
  EXPECT_EQ(rcutils_logging_get_logger_effective_level("a.b"), RCUTILS_LOG_SEVERITY_DEBUG);
  EXPECT_EQ(rcutils_logging_set_logger_level("a", 12), RCUTILS_RET_INVALID_ARGUMENT);
  EXPECT_EQ(rcutils_logging_set_logger_level(nullptr, 10), RCUTILS_RET_INVALID_ARGUMENT);
  g_evaluations = 0;
  RCUTILS_LOG_DEBUG_NAMED("other", "%d", counted(1));
  RCUTILS_LOG_DEBUG("%d", counted(1));
  EXPECT_EQ(g_evaluations, 0);
}

TEST_F(LevelsTest, DisabledMacrosEvaluateNothing)
{
  const rclcpp::Logger logger = rclcpp::get_logger("macros");
  logger.get_name();
  g_evaluations = 0;
  FakeClock clock;
  RCLCPP_DEBUG(logger, "%d", counted(1));
  RCLCPP_DEBUG_EXPRESSION(logger, counted(1) > 0, "%d", counted(2));
  RCLCPP_DEBUG_STREAM(logger, "value " << counted(3));
  RCLCPP_DEBUG_ONCE(logger, "%d", counted(4));
  RCLCPP_DEBUG_THROTTLE(logger, (++clock.now_ns, clock), 10, "%d", counted(5));
  EXPECT_EQ(g_evaluations, 0);
  EXPECT_EQ(clock.now_ns, 0);
}

TEST_F(LevelsTest, ConditionalMacrosLogWhenTheirConditionHolds)
{
  rclcpp::Logger logger = rclcpp::get_logger("macros");
  logger.set_level(rclcpp::Logger::Level::Debug);
  g_evaluations = 0;
  for (int i = 0; i < 3; ++i) {
    RCLCPP_DEBUG_ONCE(logger, "once %d", counted(i));
  }
  EXPECT_EQ(g_evaluations, 1);

  g_evaluations = 0;
  for (int i = 0; i < 3; ++i) {
    RCLCPP_DEBUG_SKIPFIRST(logger, "skip %d", counted(i));
  }
  EXPECT_EQ(g_evaluations, 2);

  g_evaluations = 0;
  for (int i = 0; i < 4; ++i) {
    RCLCPP_DEBUG_EXPRESSION(logger, i % 2 == 0, "even %d", counted(i));
  }
  EXPECT_EQ(g_evaluations, 2);

  // 100 ms throttle: the first call logs, then the first one 100 ms after the last logged.
  g_evaluations = 0;
  FakeClock clock;
  for (int64_t ms : {1000, 1050, 1099, 1100, 1150, 1250}) {
    clock.now_ns = ms * 1000000;
    RCLCPP_DEBUG_THROTTLE(logger, clock, 100, "throttled %d", counted(0));
  }
  EXPECT_EQ(g_evaluations, 3);  // at 1000, 1100 and 1250 ms
}

TEST(LogOutput, DefaultFormatGoesToStderrFromInfoUp)
{
  const Output output = run_writer("");
  EXPECT_EQ(output.out, "");
  // Time stamps are seconds and nanoseconds, zero-padded to ten and nine digits.
  const std::string err =
      std::regex_replace(output.err, std::regex(R"(\[\d{10}\.\d{9}\])"), "[<time>]");
  EXPECT_EQ(
      lines(err),
      (std::vector<std::string>{
          "[INFO] [<time>] [writer]: hello 42", "[WARN] [<time>] [writer]: warn text",
          "[ERROR] [<time>] [writer.child]: error", "[FATAL] [<time>] [writer]: fatal"}));
}

TEST(LogOutput, EnvironmentSelectsStreamFormatAndColour)
{
  Output output = run_writer(
      "RCUTILS_LOGGING_USE_STDOUT=1 RCUTILS_LOGGING_BUFFERED_STREAM=1 "
      "RCUTILS_CONSOLE_OUTPUT_FORMAT='{severity}:{function_name}:{line_number}:{message}'");
  EXPECT_EQ(output.err, "");
  std::vector<std::string> out = lines(output.out);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_TRUE(std::regex_match(out[0], std::regex(R"(INFO:write_basic:\d+:hello 42)"))) << out[0];

  output = run_writer(
      "RCUTILS_COLORIZED_OUTPUT=1 RCUTILS_CONSOLE_OUTPUT_FORMAT='{severity} {file_name}'");
  out = lines(output.err);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0], "\033[0mINFO " + std::string(LOG_WRITER_SOURCE) + "\033[0m");
  EXPECT_EQ(out[1], "\033[33mWARN " + std::string(LOG_WRITER_SOURCE) + "\033[0m");
  EXPECT_EQ(out[2].substr(0, 5), "\033[31m");

  // "auto" does not colour a pipe.
  output = run_writer("RCUTILS_CONSOLE_OUTPUT_FORMAT='{severity}'");
  EXPECT_EQ(lines(output.err).at(1), "WARN");
}

TEST(LogOutput, InvalidSwitchIsReportedAndLoggingContinues)
{
  const Output output =
      run_writer("RCUTILS_LOGGING_USE_STDOUT=yes RCUTILS_CONSOLE_OUTPUT_FORMAT='{message}'");
  const std::vector<std::string> err = lines(output.err);
  ASSERT_GE(err.size(), 2u) << output.err;
  EXPECT_NE(
      err[0].find("error initializing logging: Warning: unexpected value [yes] specified for "
                  "RCUTILS_LOGGING_USE_STDOUT. Valid values are 0 (use stderr) or 1 (use stdout)."),
      std::string::npos)
      << err[0];
  EXPECT_EQ(err[1], "hello 42");
}

TEST(LogOutput, ConcurrentLinesNeverInterleave)
{
  const Output output = run_writer("RCUTILS_CONSOLE_OUTPUT_FORMAT='[{name}] {message}'", "threads");
  const std::vector<std::string> err = lines(output.err);
  ASSERT_EQ(err.size(), 1000u);
  const std::regex line_pattern(R"(\[thread[0-3]\] line \d+ x{200} end)");
  std::map<std::string, int> per_thread;
  for (const std::string & line : err) {
    ASSERT_TRUE(std::regex_match(line, line_pattern)) << line;
    ++per_thread[line.substr(0, 9)];
  }
  EXPECT_EQ(per_thread.size(), 4u);
}

namespace {
std::vector<std::string> g_records;
void record_output(const logging::LogRecord & record)
{
  g_records.push_back(
      std::string(record.name ? record.name : "(null)") + "|" +
      logging::severity_name(record.severity) + "|" + std::string(record.message) + "|" +
      std::to_string(record.location ? record.location->line_number : 0));
}
}  // namespace

TEST_F(LevelsTest, AdditionalOutputGetsEnabledMessagesEvenWithoutConsole)
{
  g_records.clear();
  logging::set_additional_output(&record_output);
  logging::set_console_output_enabled(false);
  const auto logger = rclcpp::get_logger("macros");
  RCLCPP_DEBUG(logger, "below the level %d", 1);
  const int line = __LINE__ + 1;
  RCLCPP_WARN(logger, "formatted %d", 2);
  RCUTILS_LOG_ERROR_NAMED("macros", "from rcutils");
  logging::set_console_output_enabled(true);
  logging::set_additional_output(nullptr);
  RCLCPP_WARN(logger, "after removal");
  ASSERT_EQ(2u, g_records.size());
  EXPECT_EQ("macros|WARN|formatted 2|" + std::to_string(line), g_records[0]);
  EXPECT_EQ(0u, g_records[1].rfind("macros|ERROR|from rcutils|", 0));
}
