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

// rclcpp::Parameter: a name with a ParameterValue, as in rclcpp (Humble).
#ifndef RCLCPP__PARAMETER_HPP_
#define RCLCPP__PARAMETER_HPP_

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "rcl_interfaces/msg/parameter.hpp"
#include "rcl_interfaces/msg/parameter_value.hpp"
#include "rclcpp/exceptions.hpp"
#include "rclcpp/parameter_value.hpp"

namespace rclcpp {

class Parameter;

namespace detail {
template <typename T>
decltype(auto) get_value_helper(const rclcpp::Parameter * parameter);
}  // namespace detail

/// A parameter's name and its typed value.
class Parameter
{
public:
  /// No name, no value (PARAMETER_NOT_SET).
  Parameter();

  /// `name` without a value (PARAMETER_NOT_SET).
  explicit Parameter(const std::string & name);

  /// `name` with `value`.
  Parameter(const std::string & name, const ParameterValue & value);

  /// `name` with anything a ParameterValue can be made from.
  template <typename ValueTypeT>
  Parameter(const std::string & name, ValueTypeT value) : Parameter(name, ParameterValue(value))
  {
  }

  bool operator==(const Parameter & rhs) const;
  bool operator!=(const Parameter & rhs) const;

  ParameterType get_type() const;

  /// "bool", "integer", ... (rclcpp::to_string of the type).
  std::string get_type_name() const;

  const std::string & get_name() const;

  rcl_interfaces::msg::ParameterValue get_value_message() const;

  const rclcpp::ParameterValue & get_parameter_value() const;

  /// The value, selected by its ParameterType.
  /// \throws rclcpp::ParameterTypeException if the type doesn't match
  template <ParameterType ParamT>
  decltype(auto) get_value() const
  {
    return value_.get<ParamT>();
  }

  /// The value, selected by its C++ type; ParameterValue and Parameter give references.
  /// \throws rclcpp::ParameterTypeException if the type doesn't match
  template <typename T>
  decltype(auto) get_value() const;

  bool as_bool() const;
  int64_t as_int() const;
  double as_double() const;
  const std::string & as_string() const;
  const std::vector<uint8_t> & as_byte_array() const;
  const std::vector<bool> & as_bool_array() const;
  const std::vector<int64_t> & as_integer_array() const;
  const std::vector<double> & as_double_array() const;
  const std::vector<std::string> & as_string_array() const;

  /// Create a Parameter from a parameter message.
  static Parameter from_parameter_msg(const rcl_interfaces::msg::Parameter & parameter);

  /// As an rcl_interfaces message.
  rcl_interfaces::msg::Parameter to_parameter_msg() const;

  /// Get value of parameter as a string.
  std::string value_to_string() const;

private:
  std::string name_;
  ParameterValue value_;
};

/// "\"<name>\": {\"type\": \"<type>\", \"value\": \"<value>\"}"
std::string _to_json_dict_entry(const Parameter & param);

std::ostream & operator<<(std::ostream & os, const rclcpp::Parameter & pv);

std::ostream & operator<<(std::ostream & os, const std::vector<Parameter> & parameters);

namespace detail {

template <typename T>
decltype(auto) get_value_helper(const rclcpp::Parameter * parameter)
{
  return parameter->get_parameter_value().get<T>();
}

// get_value<ParameterValue>() hands out the stored value object itself.
template <>
inline decltype(auto) get_value_helper<rclcpp::ParameterValue>(const rclcpp::Parameter * parameter)
{
  return parameter->get_parameter_value();
}

// get_value<Parameter>() hands out the parameter itself.
template <>
inline decltype(auto) get_value_helper<rclcpp::Parameter>(const rclcpp::Parameter * parameter)
{
  // decltype(auto) of the lvalue *parameter is a const reference: no copy.
  return *parameter;
}

}  // namespace detail

template <typename T>
decltype(auto) Parameter::get_value() const
{
  // Functions cannot be partially specialised: the free helper takes the cases.
  return detail::get_value_helper<T>(this);
}

}  // namespace rclcpp

namespace std {

/// {"name": value} as JSON, the way rclcpp prints a parameter.
std::string to_string(const rclcpp::Parameter & param);

/// The parameters as one JSON object of name: value entries.
std::string to_string(const std::vector<rclcpp::Parameter> & parameters);

}  // namespace std

#endif  // RCLCPP__PARAMETER_HPP_
