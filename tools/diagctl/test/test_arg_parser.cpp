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

// Command-line parsing: ROS arguments, global options, sub-command options.
#include <gtest/gtest.h>

#include "diagctl/arg_parser.hpp"

namespace diagctl {
namespace {

using Strings = std::vector<std::string>;

TEST(CommandLine, SplitsRosArgumentsGlobalOptionsAndCommand)
{
  std::string error;
  const auto line = parse_command_line(
      {"diagctl", "-n", "robot1", "raise", "--ros-args", "-r", "a:=b", "--", "arm_driver", "-5",
       "--timeout=1.5", "--msg", "hi", "--ros-args", "--log-level", "debug"},
      error);
  ASSERT_TRUE(line) << error;
  EXPECT_EQ(line->command, "raise");
  EXPECT_EQ(line->arguments, (Strings{"arm_driver", "-5", "--msg", "hi"}));
  EXPECT_EQ(line->global.ros_namespace, "/robot1");
  EXPECT_EQ(line->global.timeout, std::chrono::milliseconds(1500));
  EXPECT_EQ(
      line->global.ros_arguments, (Strings{
                                      "diagctl", "--ros-args", "-r", "a:=b", "--", "--ros-args",
                                      "--log-level", "debug", "--"}));
  EXPECT_FALSE(line->help);
}

TEST(CommandLine, HelpAndDomain)
{
  std::string error;
  auto line = parse_command_line({"diagctl", "--domain", "42", "--help"}, error);
  ASSERT_TRUE(line) << error;
  EXPECT_TRUE(line->help);
  EXPECT_EQ(line->global.domain_id, 42);
  // After the command, --help belongs to the command.
  line = parse_command_line({"diagctl", "query", "--help"}, error);
  ASSERT_TRUE(line);
  EXPECT_FALSE(line->help);
  EXPECT_EQ(line->arguments, Strings{"--help"});
  // Everything after "--" is the command's, even global option names.
  line = parse_command_line({"diagctl", "raise", "--", "-n", "x"}, error);
  ASSERT_TRUE(line);
  EXPECT_EQ(line->arguments, (Strings{"--", "-n", "x"}));
}

TEST(CommandLine, RejectsBadGlobalOptions)
{
  for (const Strings & argv : {
           Strings{"diagctl", "--bogus", "query"},
           Strings{"diagctl", "query", "--timeout"},
           Strings{"diagctl", "query", "--timeout", "soon"},
           Strings{"diagctl", "query", "--timeout", "-1"},
           Strings{"diagctl", "--domain", "233", "query"},
           Strings{"diagctl", "--domain=1x", "query"},
       }) {
    std::string error;
    EXPECT_FALSE(parse_command_line(argv, error)) << argv[1];
    EXPECT_FALSE(error.empty());
  }
}

TEST(ArgParser, OptionsFlagsAndPositionals)
{
  ArgParser parser(
      "usage", "description",
      {{"id", 'i', "ID", "ids"}, {"json", '\0', "", "json"}, {"format", 'f', "FORMAT", "format"}});
  std::string error;
  ASSERT_TRUE(
      parser.parse({"dir", "-i", "1", "--id=-2", "--json", "-f", "csv", "-3", "--", "--id"}, error))
      << error;
  EXPECT_EQ(parser.values("id"), (Strings{"1", "-2"}));
  EXPECT_EQ(parser.value("format"), "csv");
  EXPECT_TRUE(parser.has("json"));
  EXPECT_FALSE(parser.help_requested());
  EXPECT_EQ(parser.positionals(), (Strings{"dir", "-3", "--id"}));
  EXPECT_NE(parser.help_text().find("--format FORMAT"), std::string::npos);

  EXPECT_FALSE(parser.parse({"--nope"}, error));
  EXPECT_FALSE(parser.parse({"--id"}, error));
  EXPECT_FALSE(parser.parse({"--json=1"}, error));
  EXPECT_TRUE(parser.parse({"-h"}, error));
  EXPECT_TRUE(parser.help_requested());
}

TEST(Numbers, WholeStringsOnly)
{
  EXPECT_EQ(parse_integer("-42"), -42);
  EXPECT_FALSE(parse_integer("4x"));
  EXPECT_FALSE(parse_integer(""));
  EXPECT_FALSE(parse_integer("99999999999999999999"));
  EXPECT_EQ(parse_number("1.25"), 1.25);
  EXPECT_FALSE(parse_number(" 1"));
  EXPECT_FALSE(parse_number("nan"));
  EXPECT_FALSE(parse_number("1s"));
}

}  // namespace
}  // namespace diagctl
