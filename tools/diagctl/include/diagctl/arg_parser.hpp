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

// Command-line parsing: the global options and ROS arguments shared by every
// sub-command, and a small option parser each sub-command describes itself with.
#ifndef DIAGCTL__ARG_PARSER_HPP_
#define DIAGCTL__ARG_PARSER_HPP_

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace diagctl {

// Exit statuses of the tool.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct GlobalOptions
{
  std::string ros_namespace;  // empty: the root namespace
  std::chrono::milliseconds timeout{std::chrono::seconds(5)};
  std::optional<int> domain_id;  // else ROS_DOMAIN_ID as it is
  // The program name followed by every `--ros-args ... [--]` segment, as
  // rclcpp::init expects them (remappings, log levels, parameters).
  std::vector<std::string> ros_arguments;
};

struct CommandLine
{
  GlobalOptions global;
  std::string command;                 // empty when none was given
  std::vector<std::string> arguments;  // what follows the command, less global options
  bool help = false;                   // --help before any command
};

// Global options are accepted before and after the command. Arguments that
// look like negative numbers are not options. Returns nothing on a usage
// error and sets `error`.
std::optional<CommandLine> parse_command_line(
    const std::vector<std::string> & argv, std::string & error);

std::string global_options_help();

struct OptionSpec
{
  std::string long_name;   // without the leading "--"
  char short_name = '\0';  // '\0': none
  std::string value_name;  // empty: a flag without a value
  std::string help;
};

// Options of one sub-command: `--name value`, `--name=value`, `-n value`,
// flags, positionals, and `--` ending the options. `--help`/`-h` is built in.
class ArgParser
{
public:
  ArgParser(std::string usage, std::string description, std::vector<OptionSpec> options);

  [[nodiscard]] bool parse(const std::vector<std::string> & arguments, std::string & error);

  bool help_requested() const { return has("help"); }
  bool has(const std::string & long_name) const;
  // The last value given for an option.
  std::optional<std::string> value(const std::string & long_name) const;
  std::vector<std::string> values(const std::string & long_name) const;
  const std::vector<std::string> & positionals() const { return positionals_; }

  std::string help_text() const;

private:
  const OptionSpec * find_long(const std::string & name) const;
  const OptionSpec * find_short(char name) const;

  std::string usage_;
  std::string description_;
  std::vector<OptionSpec> options_;
  std::map<std::string, std::vector<std::string>> given_;
  std::vector<std::string> positionals_;
};

// True when `text` is an option rather than a value: "-x", "--x", not "-", not "-5".
bool looks_like_option(const std::string & text);

// Whole-string number conversions; nothing when `text` is not one.
std::optional<std::int64_t> parse_integer(const std::string & text);
std::optional<std::int32_t> parse_int32(const std::string & text);
std::optional<double> parse_number(const std::string & text);

}  // namespace diagctl

#endif  // DIAGCTL__ARG_PARSER_HPP_
