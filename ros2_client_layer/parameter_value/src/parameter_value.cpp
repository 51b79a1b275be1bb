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

#include "rclcpp/parameter_value.hpp"

#include <ios>
#include <sstream>
#include <string>
#include <vector>

namespace rclcpp {

std::string to_string(const ParameterType type)
{
  switch (type) {
    case ParameterType::PARAMETER_NOT_SET:
      return "not set";
    case ParameterType::PARAMETER_BOOL:
      return "bool";
    case ParameterType::PARAMETER_INTEGER:
      return "integer";
    case ParameterType::PARAMETER_DOUBLE:
      return "double";
    case ParameterType::PARAMETER_STRING:
      return "string";
    case ParameterType::PARAMETER_BYTE_ARRAY:
      return "byte_array";
    case ParameterType::PARAMETER_BOOL_ARRAY:
      return "bool_array";
    case ParameterType::PARAMETER_INTEGER_ARRAY:
      return "integer_array";
    case ParameterType::PARAMETER_DOUBLE_ARRAY:
      return "double_array";
    case ParameterType::PARAMETER_STRING_ARRAY:
      return "string_array";
    default:
      return "unknown type";
  }
}

std::ostream & operator<<(std::ostream & os, const ParameterType type)
{
  os << rclcpp::to_string(type);
  return os;
}

namespace {

template <typename ValType, typename PrintType = ValType>
std::string array_to_string(
    const std::vector<ValType> & array, const std::ios::fmtflags format_flags = std::ios::dec)
{
  std::stringstream type_array;
  bool first_item = true;
  type_array << "[";
  type_array.setf(format_flags, std::ios_base::basefield | std::ios::boolalpha);
  type_array << std::showbase;
  for (const auto & value : array) {
    if (!first_item) {
      type_array << ", ";
    } else {
      first_item = false;
    }
    type_array << static_cast<PrintType>(value);
  }
  type_array << "]";
  return type_array.str();
}

}  // namespace

std::string to_string(const ParameterValue & value)
{
  switch (value.get_type()) {
    case ParameterType::PARAMETER_NOT_SET:
      return "not set";
    case ParameterType::PARAMETER_BOOL:
      return value.get<bool>() ? "true" : "false";
    case ParameterType::PARAMETER_INTEGER:
      return std::to_string(value.get<int64_t>());
    case ParameterType::PARAMETER_DOUBLE:
      return std::to_string(value.get<double>());
    case ParameterType::PARAMETER_STRING:
      return value.get<std::string>();
    case ParameterType::PARAMETER_BYTE_ARRAY:
      return array_to_string<uint8_t, int>(value.get<std::vector<uint8_t>>());
    case ParameterType::PARAMETER_BOOL_ARRAY:
      return array_to_string(value.get<std::vector<bool>>(), std::ios::boolalpha);
    case ParameterType::PARAMETER_INTEGER_ARRAY:
      return array_to_string(value.get<std::vector<int64_t>>());
    case ParameterType::PARAMETER_DOUBLE_ARRAY:
      return array_to_string(value.get<std::vector<double>>());
    case ParameterType::PARAMETER_STRING_ARRAY:
      return array_to_string(value.get<std::vector<std::string>>());
    default:
      return "unknown type";
  }
}

ParameterValue::ParameterValue() = default;

ParameterValue::ParameterValue(const rcl_interfaces::msg::ParameterValue & value)
{
  switch (value.type) {
    case PARAMETER_NOT_SET:
      break;
    case PARAMETER_BOOL:
      value_ = value.bool_value;
      break;
    case PARAMETER_INTEGER:
      value_ = value.integer_value;
      break;
    case PARAMETER_DOUBLE:
      value_ = value.double_value;
      break;
    case PARAMETER_STRING:
      value_ = std::string(value.string_value);
      break;
    case PARAMETER_BYTE_ARRAY:
      value_ = std::vector<uint8_t>(value.byte_array_value.begin(), value.byte_array_value.end());
      break;
    case PARAMETER_BOOL_ARRAY:
      value_ = std::vector<bool>(value.bool_array_value.begin(), value.bool_array_value.end());
      break;
    case PARAMETER_INTEGER_ARRAY:
      value_ =
          std::vector<int64_t>(value.integer_array_value.begin(), value.integer_array_value.end());
      break;
    case PARAMETER_DOUBLE_ARRAY:
      value_ =
          std::vector<double>(value.double_array_value.begin(), value.double_array_value.end());
      break;
    case PARAMETER_STRING_ARRAY:
      value_ = std::vector<std::string>(
          value.string_array_value.begin(), value.string_array_value.end());
      break;
    default:
      throw std::runtime_error("Unknown type: " + std::to_string(value.type));
  }
}

rcl_interfaces::msg::ParameterValue ParameterValue::to_value_msg() const
{
  rcl_interfaces::msg::ParameterValue message;
  message.type = get_type();
  switch (get_type()) {
    case PARAMETER_BOOL:
      message.bool_value = get<bool>();
      break;
    case PARAMETER_INTEGER:
      message.integer_value = get<int64_t>();
      break;
    case PARAMETER_DOUBLE:
      message.double_value = get<double>();
      break;
    case PARAMETER_STRING:
      message.string_value = get<std::string>();
      break;
    case PARAMETER_BYTE_ARRAY: {
      const auto & bytes = get<std::vector<uint8_t>>();
      message.byte_array_value.assign(bytes.begin(), bytes.end());
      break;
    }
    case PARAMETER_BOOL_ARRAY: {
      const auto & bools = get<std::vector<bool>>();
      message.bool_array_value.assign(bools.begin(), bools.end());
      break;
    }
    case PARAMETER_INTEGER_ARRAY: {
      const auto & integers = get<std::vector<int64_t>>();
      message.integer_array_value.assign(integers.begin(), integers.end());
      break;
    }
    case PARAMETER_DOUBLE_ARRAY: {
      const auto & doubles = get<std::vector<double>>();
      message.double_array_value.assign(doubles.begin(), doubles.end());
      break;
    }
    case PARAMETER_STRING_ARRAY: {
      const auto & strings = get<std::vector<std::string>>();
      message.string_array_value.assign(strings.begin(), strings.end());
      break;
    }
    default:
      break;
  }
  return message;
}

ParameterValue::ParameterValue(const bool bool_value) : value_(bool_value) {}

ParameterValue::ParameterValue(const int int_value) : value_(static_cast<int64_t>(int_value)) {}

ParameterValue::ParameterValue(const int64_t int_value) : value_(int_value) {}

ParameterValue::ParameterValue(const float double_value) : value_(static_cast<double>(double_value))
{
}

ParameterValue::ParameterValue(const double double_value) : value_(double_value) {}

ParameterValue::ParameterValue(const std::string & string_value) : value_(string_value) {}

ParameterValue::ParameterValue(const char * string_value) : value_(std::string(string_value)) {}

ParameterValue::ParameterValue(const std::vector<uint8_t> & byte_array_value)
    : value_(byte_array_value)
{
}

ParameterValue::ParameterValue(const std::vector<bool> & bool_array_value)
    : value_(bool_array_value)
{
}

ParameterValue::ParameterValue(const std::vector<int> & int_array_value)
    : value_(std::vector<int64_t>(int_array_value.begin(), int_array_value.end()))
{
}

ParameterValue::ParameterValue(const std::vector<int64_t> & int_array_value)
    : value_(int_array_value)
{
}

ParameterValue::ParameterValue(const std::vector<float> & double_array_value)
    : value_(std::vector<double>(double_array_value.begin(), double_array_value.end()))
{
}

ParameterValue::ParameterValue(const std::vector<double> & double_array_value)
    : value_(double_array_value)
{
}

ParameterValue::ParameterValue(const std::vector<std::string> & string_array_value)
    : value_(string_array_value)
{
}

ParameterType ParameterValue::get_type() const
{
  return static_cast<ParameterType>(value_.index());
}

bool ParameterValue::operator==(const ParameterValue & rhs) const { return value_ == rhs.value_; }

bool ParameterValue::operator!=(const ParameterValue & rhs) const { return !(*this == rhs); }

}  // namespace rclcpp
