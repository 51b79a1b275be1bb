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

#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "client_layer/arguments.hpp"
#include "client_layer/node_parameters.hpp"
#include "client_layer/parameter_declaration.hpp"
#include "layer_test_support.hpp"
#include "rclcpp/exceptions.hpp"

using client_layer::NodeParameters;
using layer_test::what_of;
using rcl_interfaces::msg::ParameterDescriptor;
using rclcpp::ParameterValue;

namespace {

/// The overrides a node named /diagnostic_center gets from this command line.
std::map<std::string, ParameterValue> overrides_from(const std::vector<std::string> & argv)
{
  const client_layer::Arguments arguments = client_layer::parse_arguments(argv);
  return client_layer::resolve_parameter_overrides("/diagnostic_center", {}, nullptr, &arguments);
}

}  // namespace

TEST(DeclareParameter, TypedDefaultsAndOverrides)
{
  // (A name that starts with a digit comes from a params file: rcl refuses it in "-p".)
  auto overrides = overrides_from(
      {"prog", "--ros-args", "-p", "diag_event_list:=[1001, 1002]", "-p",
       "fault_record_dir:=/tmp/x"});
  overrides["1002_root_cause"] = ParameterValue(1001);
  NodeParameters parameters("/diagnostic_center", overrides);

  auto list = client_layer::declare_parameter<std::vector<int64_t>>(parameters, "diag_event_list");
  static_assert(std::is_same<decltype(list), std::vector<int64_t>>::value, "");
  EXPECT_EQ(list, (std::vector<int64_t>{1001, 1002}));

  auto root_cause = client_layer::declare_parameter<int>(parameters, "1002_root_cause", 1002);
  static_assert(std::is_same<decltype(root_cause), int64_t>::value, "integers yield int64_t");
  EXPECT_EQ(root_cause, 1001);
  EXPECT_EQ(client_layer::declare_parameter(parameters, "1002_root_cause_time_dis", 500), 500);
  EXPECT_EQ(
      client_layer::declare_parameter(parameters, "fault_record_dir", std::string("/opt/x")),
      "/tmp/x");
  EXPECT_EQ(
      client_layer::declare_parameter(
          parameters, "fault_record_dir_ignored", std::string("/opt/x"), ParameterDescriptor(),
          true),
      "/opt/x");
  EXPECT_EQ(client_layer::declare_parameter(parameters, "ratio", 0.5), 0.5);

  const ParameterDescriptor descriptor = parameters.describe_parameters({"1002_root_cause"}).at(0);
  EXPECT_EQ(descriptor.name, "1002_root_cause");
  EXPECT_EQ(descriptor.type, rclcpp::PARAMETER_INTEGER);
  EXPECT_FALSE(descriptor.dynamic_typing);
}

TEST(DeclareParameter, StaticallyTypedWithoutDefaultOrOverride)
{
  NodeParameters parameters("/diagnostic_center", {});
  EXPECT_EQ(
      what_of<rclcpp::exceptions::UninitializedStaticallyTypedParameterException>([&] {
        client_layer::declare_parameter<std::vector<int64_t>>(parameters, "diag_event_list");
      }),
      "Statically typed parameter 'diag_event_list' must be initialized.");
  // As in rclcpp, it stays declared but uninitialised.
  EXPECT_TRUE(parameters.has_parameter("diag_event_list"));
  EXPECT_EQ(
      what_of<rclcpp::exceptions::ParameterUninitializedException>(
          [&] { parameters.get_parameter("diag_event_list"); }),
      "parameter 'diag_event_list' is not initialized");
  rclcpp::Parameter parameter;
  EXPECT_FALSE(parameters.get_parameter("diag_event_list", parameter));
  // Listing it and reading several at once shows it unset, without a throw.
  const auto listed = parameters.get_parameters(parameters.list_parameters({}, 0).names);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].get_name(), "diag_event_list");
  EXPECT_EQ(listed[0].get_type(), rclcpp::PARAMETER_NOT_SET);
}

TEST(DeclareParameter, WrongTypesAndRepeatsAreRejected)
{
  NodeParameters parameters(
      "/diagnostic_center", overrides_from(
                                {"prog", "--ros-args", "-p", "center_handle_space:=fast", "-p",
                                 "diag_event_list:=[1, 2]", "-p", "ratio:=2"}));
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidParameterTypeException>(
          [&] { client_layer::declare_parameter(parameters, "center_handle_space", 10); }),
      "parameter 'center_handle_space' has invalid type: Wrong parameter type, parameter "
      "{center_handle_space} is of type {integer}, setting it to {string} is not allowed.");
  EXPECT_FALSE(parameters.has_parameter("center_handle_space"));
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidParameterTypeException>([&] {
        client_layer::declare_parameter<std::vector<std::string>>(parameters, "diag_event_list");
      }),
      "parameter 'diag_event_list' has invalid type: Wrong parameter type, parameter "
      "{diag_event_list} is of type {string_array}, setting it to {integer_array} is not allowed.");
  // An integer override does not convert to a double parameter.
  EXPECT_THROW(
      client_layer::declare_parameter(parameters, "ratio", 1.0),
      rclcpp::exceptions::InvalidParameterTypeException);

  client_layer::declare_parameter(parameters, "1001_root_cause", 1001);
  EXPECT_EQ(
      what_of<rclcpp::exceptions::ParameterAlreadyDeclaredException>(
          [&] { client_layer::declare_parameter(parameters, "1001_root_cause", 1001); }),
      "parameter '1001_root_cause' has already been declared");
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidParametersException>(
          [&] { client_layer::declare_parameter(parameters, "", 1); }),
      "parameter name must not be empty");
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidParameterTypeException>(
          [&] { parameters.declare_parameter("unset", ParameterValue()); }),
      "parameter 'unset' has invalid type: cannot declare a statically typed parameter with an "
      "uninitialized value");
  EXPECT_EQ(
      what_of<std::invalid_argument>(
          [&] { parameters.declare_parameter("unset", rclcpp::PARAMETER_NOT_SET); }),
      "declare_parameter(): the provided parameter type cannot be rclcpp::PARAMETER_NOT_SET");
}

TEST(DeclareParameter, RangesAndCallbacksCanRefuseTheInitialValue)
{
  NodeParameters parameters("/n", overrides_from({"prog", "--ros-args", "-p", "depth:=11"}));
  ParameterDescriptor bounded;
  rcl_interfaces::msg::IntegerRange range;
  range.from_value = 0;
  range.to_value = 10;
  range.step = 2;
  bounded.integer_range.push_back(range);
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidParameterValueException>(
          [&] { client_layer::declare_parameter(parameters, "depth", 4, bounded); }),
      "parameter 'depth' could not be set: Parameter {depth} doesn't comply with integer range.");
  EXPECT_EQ(client_layer::declare_parameter(parameters, "depth", 4, bounded, true), 4);

  auto handle = parameters.add_on_set_parameters_callback(
      [&parameters](const std::vector<rclcpp::Parameter> & changed) {
        rcl_interfaces::msg::SetParametersResult result;
        result.successful = changed.at(0).get_name() != "refused";
        result.reason = "not today";
        // Modifying parameters from a callback is refused.
        EXPECT_THROW(
            parameters.declare_parameter("inner", ParameterValue(1)),
            rclcpp::exceptions::ParameterModifiedInCallbackException);
        return result;
      });
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidParameterValueException>(
          [&] { client_layer::declare_parameter(parameters, "refused", 1); }),
      "parameter 'refused' could not be set: not today");
  parameters.remove_on_set_parameters_callback(handle.get());

  // A callback that words its refusal as a type refusal gets the type
  // exception, as Humble chooses it by the reason's first words.
  auto typed =
      parameters.add_on_set_parameters_callback([](const std::vector<rclcpp::Parameter> &) {
        rcl_interfaces::msg::SetParametersResult result;
        result.successful = false;
        result.reason = "Wrong parameter type, says the callback";
        return result;
      });
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidParameterTypeException>(
          [&] { client_layer::declare_parameter(parameters, "worded", 1); }),
      "parameter 'worded' has invalid type: Wrong parameter type, says the callback");
  parameters.remove_on_set_parameters_callback(typed.get());
  EXPECT_THROW(parameters.remove_on_set_parameters_callback(handle.get()), std::runtime_error);
}

TEST(SetParameters, TypedRulesReadOnlyAndUndeclared)
{
  NodeParameters parameters("/n", {});
  client_layer::declare_parameter(parameters, "period", 10);
  ParameterDescriptor read_only;
  read_only.read_only = true;
  client_layer::declare_parameter(parameters, "fixed", 1, read_only);

  auto results = parameters.set_parameters(
      {rclcpp::Parameter("period", 20), rclcpp::Parameter("period", "fast"),
       rclcpp::Parameter("fixed", 2)});
  EXPECT_TRUE(results[0].successful);
  EXPECT_FALSE(results[1].successful);
  EXPECT_EQ(
      results[1].reason,
      "Wrong parameter type, parameter {period} is of type {integer}, setting it to {string} is "
      "not allowed.");
  EXPECT_FALSE(results[2].successful);
  EXPECT_EQ(results[2].reason, "parameter 'fixed' cannot be set because it is read-only");
  EXPECT_EQ(parameters.get_parameter("period").as_int(), 20);

  // All or nothing.
  const auto atomic = parameters.set_parameters_atomically(
      {rclcpp::Parameter("period", 30), rclcpp::Parameter("period", 1.5)});
  EXPECT_FALSE(atomic.successful);
  EXPECT_EQ(parameters.get_parameter("period").as_int(), 20);

  EXPECT_EQ(
      what_of<rclcpp::exceptions::ParameterNotDeclaredException>(
          [&] { parameters.set_parameters({rclcpp::Parameter("missing", 1)}); }),
      "parameter 'missing' cannot be set because it was not declared");
  EXPECT_EQ(
      what_of<rclcpp::exceptions::ParameterNotDeclaredException>(
          [&] { parameters.get_parameter("missing"); }),
      "missing");
  EXPECT_EQ(
      what_of<rclcpp::exceptions::InvalidParameterTypeException>(
          [&] { parameters.undeclare_parameter("period"); }),
      "parameter 'period' has invalid type: cannot undeclare an statically typed parameter");
  EXPECT_EQ(
      what_of<rclcpp::exceptions::ParameterNotDeclaredException>(
          [&] { parameters.undeclare_parameter("missing"); }),
      "cannot undeclare parameter 'missing' which has not yet been declared");
}

TEST(SetParameters, DynamicTypingAndUndeclaredParameters)
{
  NodeParameters parameters(
      "/n", overrides_from({"prog", "--ros-args", "-p", "from_cli:=5", "-p", "implicit:=7"}), true,
      true);
  // Overrides were declared automatically, dynamically typed.
  ASSERT_TRUE(parameters.has_parameter("from_cli"));
  EXPECT_TRUE(
      parameters.set_parameters({rclcpp::Parameter("from_cli", "now a string")})[0].successful);
  EXPECT_EQ(parameters.get_parameter("from_cli").as_string(), "now a string");

  // Undeclared names are declared on set, and unknown names read as "not set".
  EXPECT_TRUE(parameters.set_parameters({rclcpp::Parameter("fresh", true)})[0].successful);
  EXPECT_TRUE(parameters.get_parameter("fresh").as_bool());
  EXPECT_EQ(parameters.get_parameter("unknown").get_type(), rclcpp::PARAMETER_NOT_SET);

  // Setting PARAMETER_NOT_SET undeclares a dynamically typed parameter.
  EXPECT_TRUE(parameters.set_parameters({rclcpp::Parameter("fresh")})[0].successful);
  EXPECT_FALSE(parameters.has_parameter("fresh"));
}

TEST(NodeParameters, EventsListingAndTypedGetters)
{
  NodeParameters parameters("/robot/diagnostic_center", {});
  std::vector<rcl_interfaces::msg::ParameterEvent> events;
  parameters.set_parameter_event_handler(
      [&events](rcl_interfaces::msg::ParameterEvent event) { events.push_back(std::move(event)); });
  client_layer::declare_parameters<int64_t>(parameters, "timer", {{"a", 1}, {"b.c", 2}});
  parameters.set_parameters({rclcpp::Parameter("timer.a", 3)});
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].node, "/robot/diagnostic_center");
  EXPECT_EQ(events[0].new_parameters.at(0).name, "timer.a");
  EXPECT_EQ(events[2].changed_parameters.at(0).value.integer_value, 3);

  int64_t value = 0;
  EXPECT_TRUE(client_layer::get_parameter(parameters, "timer.a", value));
  EXPECT_EQ(value, 3);
  int fallback = 0;
  EXPECT_FALSE(client_layer::get_parameter_or(parameters, "timer.none", fallback, 9));
  EXPECT_EQ(fallback, 9);
  std::map<std::string, int64_t> under_timer;
  EXPECT_TRUE(client_layer::get_parameters(parameters, "timer", under_timer));
  EXPECT_EQ(under_timer, (std::map<std::string, int64_t>{{"a", 3}, {"b.c", 2}}));

  const auto top_level = parameters.list_parameters({}, 1);
  EXPECT_TRUE(top_level.names.empty());
  const auto everything = parameters.list_parameters({}, 0);
  EXPECT_EQ(everything.names, (std::vector<std::string>{"timer.a", "timer.b.c"}));
  EXPECT_EQ(everything.prefixes, (std::vector<std::string>{"timer", "timer.b"}));
  EXPECT_EQ(parameters.get_parameter_types({"timer.a"}), (std::vector<uint8_t>{2}));
}

TEST(NodeParameters, PrefixLookupDropsThePrefixAndItsDot)
{
  NodeParameters parameters("/n", {});
  for (const char * name : {"timer", "timer.a", "timer.b.c", "timers.d", "other.timer.e"}) {
    client_layer::declare_parameter(parameters, name, int64_t{1});
  }
  std::map<std::string, rclcpp::Parameter> found;
  EXPECT_TRUE(parameters.get_parameters_by_prefix("timer", found));
  ASSERT_EQ(found.size(), 2u);                     // neither "timer" itself nor "timers.d"
  EXPECT_EQ(found.at("a").get_name(), "timer.a");  // the parameter keeps its full name
  EXPECT_EQ(found.at("b.c").get_name(), "timer.b.c");

  std::map<std::string, int64_t> nested{{"kept", 7}};
  EXPECT_TRUE(client_layer::get_parameters(parameters, "timer.b", nested));
  EXPECT_EQ(nested, (std::map<std::string, int64_t>{{"c", 1}, {"kept", 7}}));

  std::map<std::string, int64_t> everything;
  EXPECT_TRUE(client_layer::get_parameters(parameters, "", everything));
  EXPECT_EQ(everything.size(), 5u);
  EXPECT_EQ(everything.count("other.timer.e"), 1u);

  std::map<std::string, int64_t> untouched{{"kept", 7}};
  EXPECT_FALSE(client_layer::get_parameters(parameters, "time", untouched));
  EXPECT_FALSE(client_layer::get_parameters(parameters, "timer.a", untouched));
  EXPECT_EQ(untouched, (std::map<std::string, int64_t>{{"kept", 7}}));
}

TEST(NodeParameters, ConcurrentReadersAndWriters)
{
  NodeParameters parameters("/n", {});
  client_layer::declare_parameter(parameters, "period", 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&parameters, t] {
      for (int i = 0; i < 500; ++i) {
        parameters.set_parameters({rclcpp::Parameter("period", t * 1000 + i)});
        client_layer::declare_parameter(
            parameters, "p" + std::to_string(t) + "_" + std::to_string(i), i);
      }
    });
    threads.emplace_back([&parameters] {
      for (int i = 0; i < 500; ++i) {
        const int64_t value = parameters.get_parameter("period").as_int();
        EXPECT_TRUE(value >= 0 && value < 2000);
        parameters.list_parameters({}, 0);
      }
    });
  }
  for (auto & thread : threads) {
    thread.join();
  }
  EXPECT_EQ(parameters.list_parameters({}, 0).names.size(), 1001u);
}
