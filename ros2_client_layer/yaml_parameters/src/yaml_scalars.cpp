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

#include "yaml_scalars.hpp"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "client_layer/yaml_parameters.hpp"

namespace client_layer {
namespace yaml_parameters {
namespace {

bool is_one_of(const std::string & text, std::initializer_list<const char *> words)
{
  for (const char * word : words) {
    if (text == word) {
      return true;
    }
  }
  return false;
}

ElementType element_type(const rclcpp::ParameterValue & value)
{
  switch (value.get_type()) {
    case rclcpp::PARAMETER_BOOL:
      return ElementType::kBool;
    case rclcpp::PARAMETER_INTEGER:
      return ElementType::kInteger;
    case rclcpp::PARAMETER_DOUBLE:
      return ElementType::kDouble;
    default:
      return ElementType::kString;
  }
}

const char * element_type_name(ElementType type)
{
  switch (type) {
    case ElementType::kBool:
      return "bool";
    case ElementType::kInteger:
      return "integer";
    case ElementType::kDouble:
      return "double";
    default:
      return "string";
  }
}

void store_single(const rclcpp::ParameterValue & scalar, OverrideValue & value)
{
  switch (scalar.get_type()) {
    case rclcpp::PARAMETER_BOOL:
      value.bool_value = scalar.get<bool>();
      break;
    case rclcpp::PARAMETER_INTEGER:
      value.integer_value = scalar.get<int64_t>();
      break;
    case rclcpp::PARAMETER_DOUBLE:
      value.double_value = scalar.get<double>();
      break;
    default:
      value.string_value = scalar.get<std::string>();
      break;
  }
}

template <typename T>
void append(std::optional<std::vector<T>> & array, bool first, T element)
{
  if (first) {
    array.emplace();
  } else if (!array) {
    // The sequence went on into another parameter (a map inside it), which
    // has no array of that type: rcl's array append refuses a null array.
    throw YamlError("val_array argument is null");
  }
  array->push_back(std::move(element));
}

void store_element(const rclcpp::ParameterValue & scalar, bool first, OverrideValue & value)
{
  switch (scalar.get_type()) {
    case rclcpp::PARAMETER_BOOL:
      append(value.bool_array, first, scalar.get<bool>());
      break;
    case rclcpp::PARAMETER_INTEGER:
      append(value.integer_array, first, scalar.get<int64_t>());
      break;
    case rclcpp::PARAMETER_DOUBLE:
      append(value.double_array, first, scalar.get<double>());
      break;
    default:
      append(value.string_array, first, scalar.get<std::string>());
      break;
  }
}

}  // namespace

rclcpp::ParameterValue type_scalar(const std::string & text, bool quoted)
{
  if (quoted) {
    return rclcpp::ParameterValue(text);
  }
  if (is_one_of(text, {"Y", "y", "yes", "Yes", "YES", "true", "True", "TRUE", "on", "On", "ON"})) {
    return rclcpp::ParameterValue(true);
  }
  if (is_one_of(
          text, {"N", "n", "no", "No", "NO", "false", "False", "FALSE", "off", "Off", "OFF"})) {
    return rclcpp::ParameterValue(false);
  }
  const char * begin = text.c_str();
  char * end = nullptr;
  errno = 0;
  const long long integer = std::strtoll(begin, &end, 0);
  if (errno == 0 && end != begin && *begin != '\0' && *end == '\0') {
    return rclcpp::ParameterValue(static_cast<int64_t>(integer));
  }
  errno = 0;
  double number;
  if (is_one_of(
          text, {".nan", ".NaN", ".NAN", ".inf", ".Inf", ".INF", "+.inf", "+.Inf", "+.INF", "-.inf",
                 "-.Inf", "-.INF"})) {
    const char * letters = begin;
    while (!std::isalpha(static_cast<unsigned char>(*letters))) {
      ++letters;
    }
    number = std::strtod(letters, &end);
    if (*begin == '-') {
      number = -number;
    }
  } else {
    number = std::strtod(begin, &end);
  }
  if (errno == 0 && end != begin && *begin != '\0' && *end == '\0') {
    return rclcpp::ParameterValue(number);
  }
  return rclcpp::ParameterValue(text);
}

void store_scalar(
    const Scalar & scalar, bool in_sequence, ElementType & sequence_type, OverrideValue & value)
{
  if (!scalar.quoted && scalar.length == 0) {
    throw YamlError("No value at line " + std::to_string(scalar.line));
  }
  const rclcpp::ParameterValue typed = type_scalar(scalar.text, scalar.quoted);
  if (!in_sequence) {
    store_single(typed, value);
    return;
  }
  const ElementType type = element_type(typed);
  const bool first = sequence_type == ElementType::kUnknown;
  if (first) {
    sequence_type = type;
  } else if (type != sequence_type) {
    throw YamlError(
        std::string("Sequence should be of same type. Value type '") + element_type_name(type) +
        "' do not belong at line_num " + std::to_string(scalar.line));
  }
  store_element(typed, first, value);
}

}  // namespace yaml_parameters
}  // namespace client_layer
