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
#include <sstream>
#include <string>
#include <vector>

#include "layer_test_support.hpp"
#include "rclcpp/parameter.hpp"
#include "rclcpp/parameter_value.hpp"

TEST(ParameterValue, ConstructorsPickTheRclcppType)
{
  EXPECT_EQ(rclcpp::ParameterValue().get_type(), rclcpp::PARAMETER_NOT_SET);
  EXPECT_EQ(rclcpp::ParameterValue(true).get_type(), rclcpp::PARAMETER_BOOL);
  EXPECT_EQ(rclcpp::ParameterValue(5).get_type(), rclcpp::PARAMETER_INTEGER);
  EXPECT_EQ(rclcpp::ParameterValue(1.5f).get_type(), rclcpp::PARAMETER_DOUBLE);
  EXPECT_EQ(rclcpp::ParameterValue("text").get_type(), rclcpp::PARAMETER_STRING);
  EXPECT_EQ(
      rclcpp::ParameterValue(std::vector<uint8_t>{1}).get_type(), rclcpp::PARAMETER_BYTE_ARRAY);
  EXPECT_EQ(
      rclcpp::ParameterValue(std::vector<int>{1, 2}).get_type(), rclcpp::PARAMETER_INTEGER_ARRAY);
  EXPECT_EQ(
      rclcpp::ParameterValue(std::vector<float>{1.f}).get_type(), rclcpp::PARAMETER_DOUBLE_ARRAY);
  EXPECT_EQ(
      rclcpp::ParameterValue(std::vector<std::string>{"a"}).get_type(),
      rclcpp::PARAMETER_STRING_ARRAY);
}

TEST(ParameterValue, TypedGettersWidenAndRejectOtherTypes)
{
  const rclcpp::ParameterValue integers(std::vector<int>{1001, 1002});
  const std::vector<int64_t> & as_int64 = integers.get<std::vector<int>>();
  EXPECT_EQ(as_int64, (std::vector<int64_t>{1001, 1002}));
  EXPECT_EQ(rclcpp::ParameterValue(7).get<int>(), 7);
  EXPECT_EQ(rclcpp::ParameterValue(7).get<rclcpp::PARAMETER_INTEGER>(), 7);
  EXPECT_EQ(
      layer_test::what_of<rclcpp::ParameterTypeException>(
          [] { rclcpp::ParameterValue("x").get<int64_t>(); }),
      "expected [integer] got [string]");
  EXPECT_THROW(rclcpp::ParameterValue().get<bool>(), rclcpp::ParameterTypeException);
}

TEST(ParameterValue, ToStringMatchesRclcpp)
{
  EXPECT_EQ(rclcpp::to_string(rclcpp::ParameterValue()), "not set");
  EXPECT_EQ(rclcpp::to_string(rclcpp::ParameterValue(false)), "false");
  EXPECT_EQ(rclcpp::to_string(rclcpp::ParameterValue(-3)), "-3");
  EXPECT_EQ(rclcpp::to_string(rclcpp::ParameterValue(1.5)), "1.500000");
  EXPECT_EQ(rclcpp::to_string(rclcpp::ParameterValue(std::vector<int>{1, 2})), "[1, 2]");
  EXPECT_EQ(
      rclcpp::to_string(rclcpp::ParameterValue(std::vector<bool>{true, false})), "[true, false]");
  EXPECT_EQ(rclcpp::to_string(rclcpp::ParameterValue(std::vector<uint8_t>{0, 255})), "[0, 255]");
  EXPECT_EQ(rclcpp::to_string(rclcpp::PARAMETER_STRING_ARRAY), "string_array");
}

TEST(Parameter, AccessorsAndJson)
{
  const rclcpp::Parameter parameter("diag_keep_his", 100);
  EXPECT_EQ(parameter.get_name(), "diag_keep_his");
  EXPECT_EQ(parameter.as_int(), 100);
  EXPECT_EQ(parameter.get_value<int>(), 100);
  EXPECT_EQ(parameter.get_type_name(), "integer");
  EXPECT_EQ(&parameter.get_value<rclcpp::Parameter>(), &parameter);
  EXPECT_THROW(parameter.as_string(), rclcpp::ParameterTypeException);
  std::ostringstream out;
  out << parameter;
  EXPECT_EQ(out.str(), "{\"diag_keep_his\": {\"type\": \"integer\", \"value\": \"100\"}}");
  EXPECT_EQ(rclcpp::Parameter("x").get_type(), rclcpp::PARAMETER_NOT_SET);
  EXPECT_EQ(rclcpp::Parameter("x", 1), rclcpp::Parameter("x", 1));
  EXPECT_NE(rclcpp::Parameter("x", 1), rclcpp::Parameter("x", 1.0));
}
