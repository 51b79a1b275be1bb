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

// The walk over argv: which arguments are ROS arguments (between --ros-args
// and --), and what each flag among them adds to the parsed Arguments. Every
// flag the layer knows is in the tables below.
#include <string>
#include <utility>
#include <vector>

#include "client_layer/arguments.hpp"
#include "client_layer/error_state.hpp"
#include "rclcpp/exceptions.hpp"
#include "rule_grammar.hpp"

namespace client_layer {
namespace {

using rule_grammar::RuleError;

constexpr const char * kRosArgsFlag = "--ros-args";
constexpr const char * kRosArgsEnd = "--";

/// A flag followed by a value.
struct ValueFlag
{
  const char * name;
  const char * short_name;  // nullptr: none
  // The error when the value is missing; "{flag}" stands for the flag as given.
  const char * missing_value;
  // What a value that does not parse is called in the error ("remap rule").
  const char * rule;
  // Adds the value to `out`; throws RuleError for a value that does not parse.
  void (*apply)(const std::string & value, Arguments & out);
};

const ValueFlag kValueFlags[] = {
    {"--param", "-p", "Couldn't parse trailing {flag} flag. No parameter override rule found.",
     "parameter override rule",
     [](const std::string & value, Arguments & out) {
       rule_grammar::parse_param_rule(value, out.parameter_overrides);
     }},
    {"--remap", "-r", "Couldn't parse trailing {flag} flag. No remap rule found.", "remap rule",
     [](const std::string & value, Arguments & out) {
       out.remap_rules.push_back(rule_grammar::parse_remap_rule(value));
     }},
    {"--params-file", nullptr, "Couldn't parse trailing {flag} flag. No file path provided.",
     "params file",
     [](const std::string & value, Arguments & out) {
       try {
         parse_parameter_file(value, out.parameter_overrides);
       } catch (const rclcpp::exceptions::RCLError & error) {
         throw RuleError(error.formatted_message);
       }
       out.parameter_files.push_back(value);
     }},
    {"--log-level", nullptr,
     "Couldn't parse trailing log level flag: '{flag}'. No log level provided.", "log level",
     [](const std::string & value, Arguments & out) {
       rule_grammar::parse_log_level_rule(value, out.log_levels);
     }},
    {"--log-config-file", nullptr, "Couldn't parse trailing {flag} flag. No file path provided.",
     "log config file",
     [](const std::string & value, Arguments & out) { out.external_log_config_file = value; }},
    {"--enclave", "-e", "Couldn't parse trailing {flag} flag. No enclave path provided.", "enclave",
     [](const std::string & value, Arguments & out) { out.enclave = value; }},
};

/// "--enable-<suffix>" and "--disable-<suffix>", and what they switch off.
struct SwitchFlag
{
  const char * suffix;
  bool Arguments::*disabled;
};

const SwitchFlag kSwitchFlags[] = {
    {"stdout-logs", &Arguments::log_stdout_disabled},
    {"rosout-logs", &Arguments::log_rosout_disabled},
    {"external-lib-logs", &Arguments::log_ext_lib_disabled},
};

[[noreturn]] void throw_invalid_ros_args(const std::string & prefix, const std::string & message)
{
  throw_from_error(kRetInvalidRosArgs, prefix, CLIENT_LAYER_ERROR_STATE(message));
}

const ValueFlag * find_value_flag(const std::string & arg)
{
  for (const ValueFlag & flag : kValueFlags) {
    if (arg == flag.name || (flag.short_name != nullptr && arg == flag.short_name)) {
      return &flag;
    }
  }
  return nullptr;
}

std::string with_flag(std::string text, const std::string & flag)
{
  const std::string placeholder = "{flag}";
  return text.replace(text.find(placeholder), placeholder.size(), flag);
}

/// Applies the flag at argv[i] with its value argv[i + 1], and steps over the value.
void apply_value_flag(
    const ValueFlag & flag, const std::vector<std::string> & argv, size_t & i, Arguments & out,
    const std::string & error_prefix)
{
  const std::string & given = argv[i];
  if (i + 1 >= argv.size()) {
    throw_invalid_ros_args(error_prefix, with_flag(flag.missing_value, given));
  }
  const std::string & value = argv[++i];
  try {
    flag.apply(value, out);
  } catch (const RuleError & error) {
    throw_invalid_ros_args(
        error_prefix, std::string("Couldn't parse ") + flag.rule + ": '" + given + " " + value +
                          "'. Error: " + error.what());
  }
}

/// Whether `arg` is one of the switches; if so, it is applied.
bool apply_switch_flag(const std::string & arg, Arguments & out)
{
  for (const SwitchFlag & flag : kSwitchFlags) {
    if (arg == std::string("--enable-") + flag.suffix) {
      out.*flag.disabled = false;
      return true;
    }
    if (arg == std::string("--disable-") + flag.suffix) {
      out.*flag.disabled = true;
      return true;
    }
  }
  return false;
}

}  // namespace

Arguments parse_arguments(const std::vector<std::string> & argv, const std::string & error_prefix)
{
  Arguments out;
  bool in_ros_args = false;
  for (size_t i = 0; i < argv.size(); ++i) {
    const std::string & arg = argv[i];
    if (!in_ros_args) {
      if (arg == kRosArgsFlag) {
        in_ros_args = true;
      } else {
        out.non_ros_args.push_back(arg);
      }
      continue;
    }
    if (arg == kRosArgsFlag) {
      continue;
    }
    if (arg == kRosArgsEnd) {
      in_ros_args = false;
      continue;
    }
    if (const ValueFlag * flag = find_value_flag(arg)) {
      apply_value_flag(*flag, argv, i, out, error_prefix);
      continue;
    }
    if (!apply_switch_flag(arg, out)) {
      out.unknown_ros_args.push_back(arg);
    }
  }
  return out;
}

Arguments parse_arguments(int argc, const char * const * argv, const std::string & error_prefix)
{
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    args.emplace_back(argv[i]);
  }
  return parse_arguments(args, error_prefix);
}

void throw_if_unknown_ros_args(const Arguments & arguments)
{
  if (!arguments.unknown_ros_args.empty()) {
    std::vector<std::string> unknown = arguments.unknown_ros_args;
    throw rclcpp::exceptions::UnknownROSArgsError(std::move(unknown));
  }
}

}  // namespace client_layer
