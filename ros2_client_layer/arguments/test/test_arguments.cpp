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
#include <cstdlib>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "client_layer/arguments.hpp"
#include "client_layer/logging.hpp"
#include "layer_test_support.hpp"
#include "rclcpp/exceptions.hpp"

namespace rclcpp {
// Values as rclcpp prints them in failure messages.
void PrintTo(const ParameterValue & value, std::ostream * out) { *out << to_string(value); }
}  // namespace rclcpp

using client_layer::Arguments;
using client_layer::parse_arguments;
using layer_test::starts_with;
using rclcpp::ParameterValue;

namespace {

const std::string kData = TEST_DATA_DIR;

std::map<std::string, ParameterValue> overrides_for(
    const std::string & node_fqn, const std::vector<std::string> & argv)
{
  const Arguments arguments = parse_arguments(argv);
  return client_layer::resolve_parameter_overrides(node_fqn, {}, nullptr, &arguments);
}

/// The what() of the RCLInvalidROSArgsError parsing `argv` throws.
std::string parse_error(const std::vector<std::string> & argv)
{
  return layer_test::what_of<rclcpp::exceptions::RCLInvalidROSArgsError>(
      [&] { parse_arguments(argv, "failed to initialize rcl"); });
}

/// The what() of the InvalidParameterValueException resolving `argv`'s overrides throws.
std::string resolve_error(const std::vector<std::string> & argv)
{
  return layer_test::what_of<rclcpp::exceptions::InvalidParameterValueException>(
      [&] { overrides_for("/n", argv); });
}

bool contains(const std::string & text, const std::string & part)
{
  return text.find(part) != std::string::npos;
}

/// A parameter file holding `text`, removed at the end of the test.
class ParamsFile
{
public:
  explicit ParamsFile(const std::string & text)
  {
    char path[] = "/tmp/client_layer_params_XXXXXX";
    const int fd = mkstemp(path);
    path_ = path;
    if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
      ADD_FAILURE() << "cannot write " << path_;
    }
    if (fd >= 0) {
      close(fd);
    }
  }
  ~ParamsFile() { std::remove(path_.c_str()); }
  ParamsFile(const ParamsFile &) = delete;
  ParamsFile & operator=(const ParamsFile &) = delete;

  const std::string & path() const { return path_; }

private:
  std::string path_;
};

/// The "Error: ..." part of the refusal of `--params-file path`, or "<accepted>".
std::string file_error(const std::string & path)
{
  const std::string what = parse_error({"prog", "--ros-args", "--params-file", path});
  const std::string prefix =
      "failed to initialize rcl: Couldn't parse params file: '--params-file " + path + "'. Error: ";
  if (what == "<no exception>") {
    return "<accepted>";
  }
  return starts_with(what, prefix) ? what.substr(prefix.size()) : "<unexpected> " + what;
}

}  // namespace

TEST(Arguments, SplitsRosBlocksFromTheRest)
{
  const Arguments arguments = parse_arguments(
      {"prog", "a", "--ros-args", "-p", "x:=1", "--", "b", "--ros-args", "--log-level", "debug"});
  EXPECT_EQ(arguments.non_ros_args, (std::vector<std::string>{"prog", "a", "b"}));
  EXPECT_TRUE(arguments.unknown_ros_args.empty());
  EXPECT_EQ(arguments.log_levels.default_level, client_layer::logging::kDebug);
}

TEST(Arguments, UnknownRosArgumentsAreListed)
{
  const Arguments arguments =
      parse_arguments({"prog", "--ros-args", "--foo", "-p", "x:=1", "bar", "--", "--baz"});
  EXPECT_EQ(arguments.non_ros_args, (std::vector<std::string>{"prog", "--baz"}));
  try {
    client_layer::throw_if_unknown_ros_args(arguments);
    FAIL() << "expected UnknownROSArgsError";
  } catch (const rclcpp::exceptions::UnknownROSArgsError & error) {
    EXPECT_STREQ(error.what(), "found unknown ROS arguments: '--foo', 'bar'");
    EXPECT_EQ(error.unknown_ros_args, (std::vector<std::string>{"--foo", "bar"}));
  }
}

TEST(Arguments, ParameterRulesAreTypedAsYaml)
{
  const auto overrides = overrides_for("/node", {"prog",    "--ros-args",
                                                 "-p",      "list:=[1001, 1002]",
                                                 "-p",      "flag:=true",
                                                 "--param", "ratio:=1.5",
                                                 "-p",      "text:=hello world",
                                                 "-p",      "quoted:='12'",
                                                 "-p",      "names:=[a, b]",
                                                 "-p",      "octal:=010",
                                                 "-p",      "big:=9223372036854775808",
                                                 "-p",      "node:only_for_node:=1",
                                                 "-p",      "other:only_for_other:=1",
                                                 "-p",      "group.period:=3"});
  EXPECT_EQ(overrides.at("list"), ParameterValue(std::vector<int64_t>{1001, 1002}));
  EXPECT_EQ(overrides.at("flag"), ParameterValue(true));
  EXPECT_EQ(overrides.at("ratio"), ParameterValue(1.5));
  EXPECT_EQ(overrides.at("text"), ParameterValue("hello world"));
  EXPECT_EQ(overrides.at("quoted"), ParameterValue("12"));
  EXPECT_EQ(overrides.at("names"), ParameterValue(std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(overrides.at("octal"), ParameterValue(8));
  EXPECT_EQ(overrides.at("big").get_type(), rclcpp::PARAMETER_DOUBLE);
  EXPECT_EQ(overrides.at("only_for_node"), ParameterValue(1));
  EXPECT_EQ(overrides.count("only_for_other"), 0u);
  EXPECT_EQ(overrides.at("group.period"), ParameterValue(3));
}

TEST(Arguments, MalformedParameterRulesAreRejected)
{
  EXPECT_TRUE(starts_with(
      parse_error({"prog", "--ros-args", "-p", "x:=[1, two]"}),
      "failed to initialize rcl: Couldn't parse parameter override rule: '-p x:=[1, two]'. "
      "Error: Sequence should be of same type. Value type 'string' do not belong at line_num 1"));
  EXPECT_TRUE(starts_with(
      parse_error({"prog", "--ros-args", "-p", "no_separator"}),
      "failed to initialize rcl: Couldn't parse parameter override rule: '-p no_separator'."));
  EXPECT_TRUE(starts_with(
      parse_error({"prog", "--ros-args", "-p"}),
      "failed to initialize rcl: Couldn't parse trailing -p flag. No parameter override rule "
      "found., at "));
  EXPECT_TRUE(starts_with(
      parse_error({"prog", "--ros-args", "--log-level", "loud"}),
      "failed to initialize rcl: Couldn't parse log level: '--log-level loud'. Error: Argument "
      "does not use a valid severity level"));
}

TEST(ParameterFiles, WildcardNamespacedAndNestedKeys)
{
  const auto overrides = overrides_for(
      "/robot/diagnostic_center", {"prog", "--ros-args", "--params-file", kData + "/params.yaml"});
  EXPECT_EQ(overrides.at("diag_keep_his"), ParameterValue(50));
  EXPECT_EQ(overrides.at("diag_event_list"), ParameterValue(std::vector<int64_t>{1001, 1002}));
  EXPECT_EQ(overrides.at("1002_root_cause"), ParameterValue(1001));
  EXPECT_EQ(overrides.at("fault_record_dir"), ParameterValue("/tmp/records"));
  EXPECT_EQ(overrides.at("nested.period"), ParameterValue(2.5));
  EXPECT_EQ(overrides.at("nested.flags"), ParameterValue(std::vector<bool>{true, false}));
  EXPECT_EQ(overrides.at("nested.names"), ParameterValue(std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(overrides.count("quoted_number"), 0u);

  const auto other = overrides_for(
      "/robot/other_node", {"prog", "--ros-args", "--params-file", kData + "/params.yaml"});
  EXPECT_EQ(other.at("quoted_number"), ParameterValue("42"));
  EXPECT_EQ(other.at("yes_word"), ParameterValue(true));
  EXPECT_EQ(other.at("hex"), ParameterValue(16));
  EXPECT_EQ(other.at("tilde"), ParameterValue("~"));
  EXPECT_EQ(other.at("diag_keep_his"), ParameterValue(50));
  EXPECT_EQ(other.count("diag_event_list"), 0u);
}

TEST(ParameterFiles, LaterSourcesOverrideEarlierOnes)
{
  // The example configuration's shape: one node key, then "-p" (a "/**" key).
  const ParamsFile node_key("diagnostic_center:\n  ros__parameters:\n    dir: /from/file\n");
  const std::string & file = node_key.path();
  EXPECT_EQ(
      overrides_for(
          "/diagnostic_center",
          {"prog", "--ros-args", "--params-file", file, "-p", "dir:=/tmp/my_records"})
          .at("dir"),
      ParameterValue("/tmp/my_records"));
  EXPECT_EQ(
      overrides_for(
          "/diagnostic_center",
          {"prog", "--ros-args", "-p", "dir:=/tmp/my_records", "--params-file", file})
          .at("dir"),
      ParameterValue("/from/file"));

  const auto overrides = overrides_for(
      "/robot/diagnostic_center",
      {"prog", "--ros-args", "--params-file", kData + "/params.yaml", "-p",
       "center_handle_space:=40", "--params-file", kData + "/later.yaml", "-p", "shared:=from_cli",
       "-p", "diag_keep_his:=60", "-p", "fault_record_dir:=/from/cli"});
  EXPECT_EQ(overrides.at("center_handle_space"), ParameterValue(30));  // later file wins
  EXPECT_EQ(overrides.at("diag_keep_his"), ParameterValue(60));        // later -p wins
  // A value replaces the earlier one of its own key, and keys apply in the
  // order they first appeared: params.yaml had "/**" before its node keys,
  // so those beat every "/**" value, later ones included.
  EXPECT_EQ(overrides.at("fault_record_dir"), ParameterValue("/tmp/records"));
  EXPECT_EQ(overrides.at("shared"), ParameterValue("from_node_key"));
  EXPECT_EQ(overrides.at("1002_root_cause"), ParameterValue(7));

  // The node's own arguments win over the process's; NodeOptions overrides win over both.
  const Arguments global = parse_arguments({"prog", "--ros-args", "-p", "a:=1", "-p", "b:=1"});
  const Arguments local = parse_arguments({"--ros-args", "-p", "a:=2"});
  const auto resolved =
      client_layer::resolve_parameter_overrides("/n", {rclcpp::Parameter("b", 3)}, &local, &global);
  EXPECT_EQ(resolved.at("a"), ParameterValue(2));
  EXPECT_EQ(resolved.at("b"), ParameterValue(3));
}

TEST(ParameterFiles, ValuesKeepRclsQuirks)
{
  // rcl keeps one slot per type and rclcpp reads the first filled one
  // (bool, integer, double, string, then the arrays in that order).
  const ParamsFile types("/**:\n  ros__parameters:\n    a: hello\n    c: [1, 2]\n");
  for (const bool file_first : {true, false}) {
    std::vector<std::string> argv{"prog", "--ros-args", "-p", "a:=1", "-p", "c:=[true]"};
    argv.insert(file_first ? argv.begin() + 2 : argv.end(), {"--params-file", types.path()});
    const auto overrides = overrides_for("/n", argv);
    EXPECT_EQ(overrides.at("a"), ParameterValue(1)) << file_first;
    EXPECT_EQ(overrides.at("c"), ParameterValue(std::vector<bool>{true})) << file_first;
  }
  // A nested map takes the first entry named after its prefix, which a
  // "-p nested.period" made earlier is not: the file's entry comes later.
  const ParamsFile nested("/**:\n  ros__parameters:\n    nested:\n      period: 1\n");
  EXPECT_EQ(
      overrides_for(
          "/n", {"prog", "--ros-args", "-p", "nested.period:=2", "--params-file", nested.path(),
                 "-p", "nested.period:=3"})
          .at("nested.period"),
      ParameterValue(1));
  // A renamed entry may take a name that is already there: the later "a.b"
  // key finds the first entry (the flat one), and the map's entry, coming
  // after it, wins when the entries are applied in order.
  const ParamsFile renamed(
      "/**:\n  ros__parameters:\n    a.b: 1\n    a:\n      b: 2\n    a.b: 3\n    a: {c: 4}\n");
  const auto renamed_overrides =
      overrides_for("/n", {"prog", "--ros-args", "--params-file", renamed.path()});
  EXPECT_EQ(renamed_overrides.at("a.b"), ParameterValue(2));
  EXPECT_EQ(renamed_overrides.at("a.c"), ParameterValue(4));
}

TEST(ParameterFiles, NodeKeysWithWildcards)
{
  const ParamsFile wildcards(
      "/*:\n  ros__parameters:\n    one: 1\n"
      "/**/diagnostic_center:\n  ros__parameters:\n    two: 2\n"
      "/ns/*:\n  ros__parameters:\n    three: 3\n"
      "\"*\":\n  ros__parameters:\n    four: 4\n");
  const std::vector<std::string> argv{"prog", "--ros-args", "--params-file", wildcards.path()};
  auto names = [](const std::map<std::string, ParameterValue> & overrides) {
    std::vector<std::string> result;
    for (const auto & entry : overrides) {
      result.push_back(entry.first);
    }
    return result;
  };
  EXPECT_EQ(
      names(overrides_for("/diagnostic_center", argv)),
      (std::vector<std::string>{"four", "one", "two"}));
  EXPECT_EQ(
      names(overrides_for("/ns/diagnostic_center", argv)),
      (std::vector<std::string>{"three", "two"}));
  EXPECT_EQ(names(overrides_for("/a/b/other", argv)), (std::vector<std::string>{}));

  // Many "/**" against a deep namespace that they do not match: a matcher
  // that tries every split of the namespace would not finish.
  std::string stars;
  std::string deep_node;
  for (int i = 0; i < 24; ++i) {
    stars += "/**";
    deep_node += "/level" + std::to_string(i);
  }
  const ParamsFile many_stars(stars + "/x:\n  ros__parameters:\n    five: 5\n");
  const std::vector<std::string> many_argv{
      "prog", "--ros-args", "--params-file", many_stars.path()};
  EXPECT_EQ(names(overrides_for(deep_node + "/node", many_argv)), (std::vector<std::string>{}));
  EXPECT_EQ(names(overrides_for(deep_node + "/x", many_argv)), (std::vector<std::string>{"five"}));
}

TEST(ParameterFiles, BrokenFilesAreRejectedWithTheirReason)
{
  for (const auto & [file, reason] : std::vector<std::pair<std::string, std::string>>{
           {"missing.yaml", "Error opening YAML file, at "},
           {"mixed_sequence.yaml",
            "Sequence should be of same type. Value type 'string' do not belong at line_num 4"},
           {"not_yaml.yaml", "Error parsing a event near line"},
           {"value_before_params.yaml", "Cannot have a value before ros__parameters at line 2"},
       }) {
    EXPECT_TRUE(starts_with(file_error(kData + "/" + file), reason)) << file;
  }
  EXPECT_TRUE(starts_with(
      parse_error({"prog", "--ros-args", "--params-file"}),
      "failed to initialize rcl: Couldn't parse trailing --params-file flag. No file path "
      "provided."));
}

TEST(ParameterFiles, AliasesAreRefusedNotExpanded)
{
  const ParamsFile plain("/**:\n  ros__parameters:\n    a: &x 1\n    b: *x\n");
  EXPECT_TRUE(starts_with(file_error(plain.path()), "Will not support aliasing at line 4\n, at "));
  for (const char * self : {"a: &x [*x]", "a: &x {b: *x}"}) {
    const ParamsFile cycle(std::string("/**:\n  ros__parameters:\n    ") + self + "\n");
    EXPECT_TRUE(starts_with(file_error(cycle.path()), "Will not support aliasing at line 3\n"))
        << self;
  }
  // Nested maps of aliases that would expand to 10^6 parameters.
  std::string bomb =
      "/**:\n  ros__parameters:\n    l0: &l0 {a: 1, b: 1, c: 1, d: 1, e: 1, f: 1, "
      "g: 1, h: 1, i: 1, j: 1}\n";
  for (int level = 1; level <= 6; ++level) {
    const std::string previous = "*l" + std::to_string(level - 1);
    bomb += "    l" + std::to_string(level) + ": &l" + std::to_string(level) + " {";
    for (char key = 'a'; key <= 'j'; ++key) {
      bomb += std::string(key == 'a' ? "" : ", ") + key + ": " + previous;
    }
    bomb += "}\n";
  }
  const ParamsFile nested(bomb);
  EXPECT_TRUE(starts_with(file_error(nested.path()), "Will not support aliasing at line 4\n"));
}

TEST(ParameterFiles, EveryDocumentIsRead)
{
  const ParamsFile documents(
      "---\n/**:\n  ros__parameters:\n    a: 1\n"
      "---\nn:\n  ros__parameters:\n    b: 2\n...\n");
  const auto overrides =
      overrides_for("/n", {"prog", "--ros-args", "--params-file", documents.path()});
  EXPECT_EQ(overrides.at("a"), ParameterValue(1));
  EXPECT_EQ(overrides.at("b"), ParameterValue(2));
}

TEST(ParameterFiles, InputThatIsNotYamlTextIsRefused)
{
  const ParamsFile bad_utf8("/**:\n  ros__parameters:\n    a: 1\n    s: \"\xff\xfe\"\n");
  const ParamsFile nul(std::string("/**:\n  ros__parameters:\n    a: 1") + '\0' + "\n");
  for (const std::string & path : {bad_utf8.path(), nul.path(), std::string("/tmp")}) {
    EXPECT_TRUE(starts_with(file_error(path), "Error parsing a event near line 0, at ")) << path;
  }
}

TEST(ParameterFiles, AnEndlessDeviceIsRefusedAtItsFirstByte)
{
  EXPECT_TRUE(starts_with(file_error("/dev/zero"), "Error parsing a event near line 0, at "));
}

TEST(ParameterFiles, AnEmptyMapIsAParameterWithoutValue)
{
  // rcl keeps the key without a value and loses track of the map's end.
  const ParamsFile last("/**:\n  ros__parameters:\n    a: 1\n    key: {}\n");
  EXPECT_EQ(
      resolve_error({"prog", "--ros-args", "--params-file", last.path()}),
      "No parameter value set");
  const ParamsFile other_node("other:\n  ros__parameters:\n    key: {}\n");
  EXPECT_TRUE(
      overrides_for("/n", {"prog", "--ros-args", "--params-file", other_node.path()}).empty());
  const ParamsFile middle("/**:\n  ros__parameters:\n    key: {}\n    other: 1\n");
  EXPECT_TRUE(starts_with(
      file_error(middle.path()), "Cannot have a value before ros__parameters at line 4, at "));
  EXPECT_TRUE(contains(
      parse_error({"prog", "--ros-args", "-p", "key:={}"}),
      "Couldn't parse parameter override rule: '-p key:={}'. Error: Unknown YAML event"));
}

TEST(ParameterFiles, AnEmptyListHasNoValue)
{
  EXPECT_EQ(
      resolve_error({"prog", "--ros-args", "--params-file", kData + "/empty_list.yaml"}),
      "No parameter value set");
}

TEST(Remapping, TopicServiceNodeAndNamespaceRules)
{
  const Arguments global = parse_arguments(
      {"prog", "--ros-args", "-r", "chatter:=talk", "-r", "rosservice://srv:=/other/srv", "--remap",
       "__ns:=/robot", "-r", "my_node:__node:=renamed", "-r", "other:foo:=bar", "-r",
       "~/private:=/public"});
  EXPECT_EQ(client_layer::remap_node_name(nullptr, &global, "my_node"), "renamed");
  EXPECT_EQ(client_layer::remap_node_name(nullptr, &global, "someone"), "someone");
  EXPECT_EQ(client_layer::remap_namespace(nullptr, &global, "renamed", "/"), "/robot");
  // Rule sides are expanded for the node before matching.
  EXPECT_EQ(
      client_layer::remap_topic_name(nullptr, &global, "/robot/chatter", "renamed", "/robot"),
      "/robot/talk");
  EXPECT_EQ(
      client_layer::remap_topic_name(nullptr, &global, "/chatter", "renamed", "/robot"),
      "/chatter");
  EXPECT_EQ(
      client_layer::remap_service_name(nullptr, &global, "/robot/srv", "renamed", "/robot"),
      "/other/srv");
  EXPECT_EQ(
      client_layer::remap_topic_name(nullptr, &global, "/robot/srv", "renamed", "/robot"),
      "/robot/srv");  // rosservice:// rules leave topics alone
  EXPECT_EQ(
      client_layer::remap_topic_name(nullptr, &global, "/robot/foo", "renamed", "/robot"),
      "/robot/foo");  // rule for another node
  EXPECT_EQ(
      client_layer::remap_topic_name(
          nullptr, &global, "/robot/renamed/private", "renamed", "/robot"),
      "/public");

  // The node's own rules are searched first.
  const Arguments local = parse_arguments({"--ros-args", "-r", "chatter:=local"});
  EXPECT_EQ(client_layer::remap_topic_name(&local, &global, "/chatter", "n", "/"), "/local");
}

TEST(Remapping, NodeIdentityAndEndpointNames)
{
  const Arguments global = parse_arguments(
      {"prog", "--ros-args", "-r", "__node:=center", "-r", "center:__ns:=/robot", "-r",
       "fsm_status:=/task/fsm_status", "-r", "diagnostic_srv:=diag"});
  const client_layer::NodeIdentity node =
      client_layer::resolve_node_identity("diagnostic_center", "", nullptr, &global);
  EXPECT_EQ(node.name, "center");
  EXPECT_EQ(node.namespace_, "/robot");
  EXPECT_EQ(node.fully_qualified_name, "/robot/center");
  EXPECT_EQ(node.logger_name, "robot.center");
  EXPECT_EQ(
      client_layer::resolve_topic_or_service_name("fsm_status", node, false, nullptr, &global),
      "/task/fsm_status");
  EXPECT_EQ(
      client_layer::resolve_topic_or_service_name("diagnostic_srv", node, true, nullptr, &global),
      "/robot/diag");
  EXPECT_EQ(
      client_layer::resolve_topic_or_service_name("~/status", node, false, nullptr, &global),
      "/robot/center/status");
  EXPECT_THROW(
      client_layer::resolve_topic_or_service_name("bad topic", node, false, nullptr, &global),
      rclcpp::exceptions::InvalidTopicNameError);
  EXPECT_THROW(
      client_layer::resolve_node_identity("bad-name", "", nullptr, &global),
      rclcpp::exceptions::InvalidNodeNameError);
}

TEST(Remapping, MalformedRulesAreRejected)
{
  for (const std::string rule :
       {"foo", "foo:=", ":=bar", "__ns:=relative", "a/*:=b", "foo:=bar/\\1", "__node:=bad/name",
        "foo:=bar:=baz",
        // rcl's lexer: a token starts with a letter or "_" and holds no "__".
        "__node:=9x", "arm_driver_diag_topic:=9bad", "rosservice://diagnostic_srv:=9x",
        "__ns:=/robot/9x", "a__b:=c", "topic:=a__b", "9x:=topic"}) {
    EXPECT_TRUE(starts_with(
        parse_error({"prog", "--ros-args", "-r", rule}),
        "failed to initialize rcl: Couldn't parse remap rule: '-r " + rule + "'. Error: "))
        << rule;
  }
  EXPECT_NE(
      parse_error({"prog", "--ros-args", "-r", "a/*:=b"}).find("Wildcard '*' is not implemented"),
      std::string::npos);
}

TEST(Remapping, OnlyRclsTokensAreNames)
{
  // Parameter names follow the same lexer (remap rules: above).
  for (const std::string rule : {"1002_root_cause:=1001", "9node:a:=1", "a.9b:=1"}) {
    EXPECT_TRUE(starts_with(
        parse_error({"prog", "--ros-args", "-p", rule}),
        "failed to initialize rcl: Couldn't parse parameter override rule: '-p " + rule + "'."))
        << rule;
  }
  const Arguments accepted = parse_arguments(
      {"prog", "--ros-args", "-r", "_private:=a_b1", "-r", "__name:=x_1", "-r",
       "rostopic://ros:=rosservice", "-r", "node_1:__ns:=/a_/b1/", "-p", "_x.y_1:=1"});
  EXPECT_EQ(accepted.remap_rules.size(), 4u);
  EXPECT_EQ(accepted.remap_rules[2].match, "ros");
  EXPECT_EQ(accepted.remap_rules[2].replacement, "rosservice");
}

TEST(LogLevels, ParsedAndApplied)
{
  const Arguments arguments = parse_arguments(
      {"prog", "--ros-args", "--log-level", "WARN", "--log-level", "diagnostic_center:=Debug",
       "--log-level", "rcl:=fatal"});
  EXPECT_EQ(arguments.log_levels.default_level, client_layer::logging::kWarn);
  ASSERT_EQ(arguments.log_levels.logger_levels.size(), 2u);
  EXPECT_EQ(arguments.log_levels.logger_levels[0].first, "diagnostic_center");
  client_layer::apply_log_levels(arguments.log_levels);
  EXPECT_EQ(client_layer::logging::get_default_level(), client_layer::logging::kWarn);
  EXPECT_EQ(
      client_layer::logging::get_effective_level("diagnostic_center.tree"),
      client_layer::logging::kDebug);
  const Arguments quiet = parse_arguments({"prog", "--ros-args", "--disable-stdout-logs"});
  EXPECT_TRUE(quiet.log_stdout_disabled);
  EXPECT_TRUE(quiet.unknown_ros_args.empty());
  client_layer::apply_logging_arguments(quiet);
  client_layer::logging::set_console_output_enabled(true);
  client_layer::logging::set_default_level(client_layer::logging::kInfo);
  client_layer::logging::set_logger_level("diagnostic_center", client_layer::logging::kUnset);
  client_layer::logging::set_logger_level("rcl", client_layer::logging::kUnset);
  EXPECT_NE(
      parse_error({"prog", "--ros-args", "--log-level", ":=debug"})
          .find("Argument has an invalid logger item that name is empty"),
      std::string::npos);
}
