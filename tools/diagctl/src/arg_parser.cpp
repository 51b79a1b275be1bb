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

#include "diagctl/arg_parser.hpp"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "diagctl/domain_list.hpp"
#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {

namespace {

// Splits "--name=value" into its parts; `value` is empty without '='.
bool split_inline_value(
    const std::string & argument, std::string & name, std::optional<std::string> & value)
{
  const std::size_t equals = argument.find('=');
  if (argument.rfind("--", 0) != 0 || equals == std::string::npos) {
    name = argument;
    value.reset();
    return false;
  }
  name = argument.substr(0, equals);
  value = argument.substr(equals + 1);
  return true;
}

// Takes the value of an option from `--name=value` or from the next argument.
std::optional<std::string> take_value(
    const std::vector<std::string> & argv, std::size_t & i,
    const std::optional<std::string> & inline_value)
{
  if (inline_value) {
    return inline_value;
  }
  if (i + 1 >= argv.size()) {
    return std::nullopt;
  }
  return argv[++i];
}

bool apply_namespace(const std::string & value, GlobalOptions & options, std::string &)
{
  options.ros_namespace = value.empty() || value.front() == '/' ? value : "/" + value;
  return true;
}

bool apply_timeout(const std::string & value, GlobalOptions & options, std::string & error)
{
  constexpr double kMaxSeconds = 86400;
  const auto seconds = parse_number(value);
  if (!seconds || *seconds < 0 || *seconds > kMaxSeconds) {
    error = "--timeout wants a number of seconds between 0 and " +
            std::to_string(static_cast<int>(kMaxSeconds)) + ", not \"" + value + "\"";
    return false;
  }
  options.timeout = std::chrono::milliseconds(std::llround(*seconds * 1000));
  return true;
}

bool apply_domain(const std::string & value, GlobalOptions & options, std::string & error)
{
  const auto domain = parse_integer(value);
  if (!domain || *domain < 0 || *domain > kMaxDomainId) {
    error = "--domain wants an integer between 0 and " + std::to_string(kMaxDomainId) + ", not \"" +
            value + "\"";
    return false;
  }
  options.domain_id = static_cast<int>(*domain);
  return true;
}

// The options every sub-command takes, before or after its name: the one
// place that recognises, applies and describes them.
struct GlobalOption
{
  OptionSpec spec;
  bool (*apply)(const std::string & value, GlobalOptions & options, std::string & error);
};

const std::vector<GlobalOption> & global_options()
{
  static const std::vector<GlobalOption> options{
      {{"namespace", 'n', "NS", "namespace of the diagnosis centre (default: /)"}, apply_namespace},
      {{"timeout", 't', "SEC", "how long to wait for the node (default: 5)"}, apply_timeout},
      {{"domain", '\0', "ID", "ROS domain id (default: ROS_DOMAIN_ID, else 0)"}, apply_domain},
  };
  return options;
}

const GlobalOption * find_global_option(const std::string & name)
{
  for (const GlobalOption & option : global_options()) {
    const bool short_match = option.spec.short_name != '\0' && name.size() == 2 && name[0] == '-' &&
                             name[1] == option.spec.short_name;
    if (name == "--" + option.spec.long_name || short_match) {
      return &option;
    }
  }
  return nullptr;
}

// "  -n, --namespace NS    help", the help in one column.
std::string option_help_line(const OptionSpec & option)
{
  constexpr std::size_t kHelpColumn = 24;
  std::string left =
      option.short_name != '\0' ? std::string("  -") + option.short_name + ", " : "      ";
  left += "--" + option.long_name;
  if (!option.value_name.empty()) {
    left += " " + option.value_name;
  }
  left += left.size() < kHelpColumn ? std::string(kHelpColumn - left.size(), ' ')
                                    : "\n" + std::string(kHelpColumn, ' ');
  return left + option.help + "\n";
}

}  // namespace

bool looks_like_option(const std::string & text)
{
  if (text.size() < 2 || text[0] != '-') {
    return false;
  }
  return !std::isdigit(static_cast<unsigned char>(text[1])) && text[1] != '.';
}

std::optional<std::int64_t> parse_integer(const std::string & text)
{
  return diagnostic_center::contract::ParseDecimal(text);
}

std::optional<std::int32_t> parse_int32(const std::string & text)
{
  const auto value = parse_integer(text);
  if (!value || *value < INT32_MIN || *value > INT32_MAX) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(*value);
}

std::optional<double> parse_number(const std::string & text)
{
  if (text.empty() || std::isspace(static_cast<unsigned char>(text.front()))) {
    return std::nullopt;
  }
  char * end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<CommandLine> parse_command_line(
    const std::vector<std::string> & argv, std::string & error)
{
  CommandLine line;
  line.global.ros_arguments.push_back(argv.empty() ? "diagctl" : argv.front());
  bool options_ended = false;
  for (std::size_t i = 1; i < argv.size(); ++i) {
    const std::string & argument = argv[i];
    if (argument == "--ros-args") {
      // Everything up to "--" belongs to the ROS client library.
      line.global.ros_arguments.push_back(argument);
      while (++i < argv.size() && argv[i] != "--") {
        line.global.ros_arguments.push_back(argv[i]);
      }
      line.global.ros_arguments.push_back("--");
      continue;
    }
    if (options_ended || !looks_like_option(argument)) {
      if (line.command.empty() && !options_ended) {
        line.command = argument;
      } else {
        line.arguments.push_back(argument);
      }
      continue;
    }
    if (argument == "--") {
      options_ended = !line.command.empty();
      line.arguments.push_back(argument);
      continue;
    }
    std::string name;
    std::optional<std::string> inline_value;
    split_inline_value(argument, name, inline_value);
    if (const GlobalOption * option = find_global_option(name)) {
      const auto value = take_value(argv, i, inline_value);
      if (!value) {
        error = name + " needs a value";
        return std::nullopt;
      }
      if (!option->apply(*value, line.global, error)) {
        return std::nullopt;
      }
    } else if (!line.command.empty()) {
      line.arguments.push_back(argument);
    } else if (argument == "--help" || argument == "-h") {
      line.help = true;
    } else {
      error = "unknown option " + argument + " (before the command)";
      return std::nullopt;
    }
  }
  return line;
}

std::string global_options_help()
{
  std::string help = "Global options (before or after the command):\n";
  for (const GlobalOption & option : global_options()) {
    help += option_help_line(option.spec);
  }
  // Not an option of diagctl's own: handed to the ROS client library whole.
  return help +
         "  --ros-args ... [--]     ROS arguments, as the node takes them (-r remappings,\n"
         "                        --log-level, ...)\n";
}

ArgParser::ArgParser(std::string usage, std::string description, std::vector<OptionSpec> options)
    : usage_(std::move(usage)), description_(std::move(description)), options_(std::move(options))
{
  options_.push_back({"help", 'h', "", "show this help and exit"});
}

bool ArgParser::parse(const std::vector<std::string> & arguments, std::string & error)
{
  given_.clear();
  positionals_.clear();
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string & argument = arguments[i];
    if (argument == "--") {
      positionals_.insert(positionals_.end(), arguments.begin() + i + 1, arguments.end());
      break;
    }
    if (!looks_like_option(argument)) {
      positionals_.push_back(argument);
      continue;
    }
    std::string name;
    std::optional<std::string> inline_value;
    split_inline_value(argument, name, inline_value);
    const OptionSpec * spec = name.rfind("--", 0) == 0 ? find_long(name.substr(2))
                              : name.size() == 2       ? find_short(name[1])
                                                       : nullptr;
    if (spec == nullptr) {
      error = "unknown option " + name;
      return false;
    }
    if (spec->value_name.empty()) {
      if (inline_value) {
        error = "--" + spec->long_name + " takes no value";
        return false;
      }
      given_[spec->long_name].emplace_back();
      continue;
    }
    const auto value = take_value(arguments, i, inline_value);
    if (!value) {
      error = "--" + spec->long_name + " needs a value (" + spec->value_name + ")";
      return false;
    }
    given_[spec->long_name].push_back(*value);
  }
  return true;
}

bool ArgParser::has(const std::string & long_name) const { return given_.count(long_name) > 0; }

std::optional<std::string> ArgParser::value(const std::string & long_name) const
{
  const auto found = given_.find(long_name);
  if (found == given_.end()) {
    return std::nullopt;
  }
  return found->second.back();
}

std::vector<std::string> ArgParser::values(const std::string & long_name) const
{
  const auto found = given_.find(long_name);
  return found == given_.end() ? std::vector<std::string>{} : found->second;
}

std::string ArgParser::help_text() const
{
  std::ostringstream out;
  out << "Usage: " << usage_ << "\n\n" << description_ << "\n\nOptions:\n";
  for (const OptionSpec & option : options_) {
    out << option_help_line(option);
  }
  out << '\n' << global_options_help();
  return out.str();
}

const OptionSpec * ArgParser::find_long(const std::string & name) const
{
  for (const OptionSpec & option : options_) {
    if (option.long_name == name) {
      return &option;
    }
  }
  return nullptr;
}

const OptionSpec * ArgParser::find_short(char name) const
{
  for (const OptionSpec & option : options_) {
    if (option.short_name == name) {
      return &option;
    }
  }
  return nullptr;
}

}  // namespace diagctl
