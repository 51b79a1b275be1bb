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

// rclcpp::ParameterType, rclcpp::ParameterValue and rclcpp::ParameterTypeException
// with rclcpp's (Humble) constructors, typed getters and texts.
#ifndef RCLCPP__PARAMETER_VALUE_HPP_
#define RCLCPP__PARAMETER_VALUE_HPP_

#include <cstdint>
#include <ostream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "rcl_interfaces/msg/parameter_type.hpp"
#include "rcl_interfaces/msg/parameter_value.hpp"

namespace rclcpp {

enum ParameterType : uint8_t
{
  PARAMETER_NOT_SET = 0,
  PARAMETER_BOOL = 1,
  PARAMETER_INTEGER = 2,
  PARAMETER_DOUBLE = 3,
  PARAMETER_STRING = 4,
  PARAMETER_BYTE_ARRAY = 5,
  PARAMETER_BOOL_ARRAY = 6,
  PARAMETER_INTEGER_ARRAY = 7,
  PARAMETER_DOUBLE_ARRAY = 8,
  PARAMETER_STRING_ARRAY = 9,
};

/// "not set", "bool", "integer", "double", "string", "byte_array", ..., "unknown type".
std::string to_string(ParameterType type);

std::ostream & operator<<(std::ostream & os, ParameterType type);

/// Thrown when a value is read as a type it does not hold.
class ParameterTypeException : public std::runtime_error
{
public:
  /// "expected [<expected>] got [<actual>]"
  ParameterTypeException(ParameterType expected, ParameterType actual)
      : std::runtime_error(
            "expected [" + rclcpp::to_string(expected) + "] got [" + rclcpp::to_string(actual) +
            "]")
  {
  }
};

/// One value of any parameter type, or none (PARAMETER_NOT_SET).
class ParameterValue
{
public:
  /// No value: PARAMETER_NOT_SET.
  ParameterValue();
  /// Construct from a message; throws std::runtime_error("Unknown type: <n>") for a bad type.
  explicit ParameterValue(const rcl_interfaces::msg::ParameterValue & value);
  explicit ParameterValue(const bool bool_value);
  explicit ParameterValue(const int int_value);
  explicit ParameterValue(const int64_t int_value);
  explicit ParameterValue(const float double_value);
  explicit ParameterValue(const double double_value);
  explicit ParameterValue(const std::string & string_value);
  explicit ParameterValue(const char * string_value);
  explicit ParameterValue(const std::vector<uint8_t> & byte_array_value);
  explicit ParameterValue(const std::vector<bool> & bool_array_value);
  explicit ParameterValue(const std::vector<int> & int_array_value);
  explicit ParameterValue(const std::vector<int64_t> & int_array_value);
  explicit ParameterValue(const std::vector<float> & double_array_value);
  explicit ParameterValue(const std::vector<double> & double_array_value);
  explicit ParameterValue(const std::vector<std::string> & string_array_value);

  /// Which of the types is held.
  ParameterType get_type() const;

  /// As an rcl_interfaces message.
  rcl_interfaces::msg::ParameterValue to_value_msg() const;

  bool operator==(const ParameterValue & rhs) const;
  bool operator!=(const ParameterValue & rhs) const;

  // get() by ParameterType; throws ParameterTypeException on a type mismatch.
  template <ParameterType type>
  constexpr typename std::enable_if<type == ParameterType::PARAMETER_BOOL, const bool &>::type get()
      const
  {
    return get_alternative<bool, type>();
  }

  template <ParameterType type>
  constexpr typename std::enable_if<type == ParameterType::PARAMETER_INTEGER, const int64_t &>::type
  get() const
  {
    return get_alternative<int64_t, type>();
  }

  template <ParameterType type>
  constexpr typename std::enable_if<type == ParameterType::PARAMETER_DOUBLE, const double &>::type
  get() const
  {
    return get_alternative<double, type>();
  }

  template <ParameterType type>
  constexpr
      typename std::enable_if<type == ParameterType::PARAMETER_STRING, const std::string &>::type
      get() const
  {
    return get_alternative<std::string, type>();
  }

  template <ParameterType type>
  constexpr typename std::enable_if<
      type == ParameterType::PARAMETER_BYTE_ARRAY, const std::vector<uint8_t> &>::type
  get() const
  {
    return get_alternative<std::vector<uint8_t>, type>();
  }

  template <ParameterType type>
  constexpr typename std::enable_if<
      type == ParameterType::PARAMETER_BOOL_ARRAY, const std::vector<bool> &>::type
  get() const
  {
    return get_alternative<std::vector<bool>, type>();
  }

  template <ParameterType type>
  constexpr typename std::enable_if<
      type == ParameterType::PARAMETER_INTEGER_ARRAY, const std::vector<int64_t> &>::type
  get() const
  {
    return get_alternative<std::vector<int64_t>, type>();
  }

  template <ParameterType type>
  constexpr typename std::enable_if<
      type == ParameterType::PARAMETER_DOUBLE_ARRAY, const std::vector<double> &>::type
  get() const
  {
    return get_alternative<std::vector<double>, type>();
  }

  template <ParameterType type>
  constexpr typename std::enable_if<
      type == ParameterType::PARAMETER_STRING_ARRAY, const std::vector<std::string> &>::type
  get() const
  {
    return get_alternative<std::vector<std::string>, type>();
  }

  // get() by C++ type: integers yield int64_t, floating point yields double,
  // integer vectors yield std::vector<int64_t>, and so on.
  template <typename type>
  constexpr typename std::enable_if<std::is_same<type, bool>::value, const bool &>::type get() const
  {
    return get<ParameterType::PARAMETER_BOOL>();
  }

  template <typename type>
  constexpr typename std::enable_if<
      std::is_integral<type>::value && !std::is_same<type, bool>::value, const int64_t &>::type
  get() const
  {
    return get<ParameterType::PARAMETER_INTEGER>();
  }

  template <typename type>
  constexpr typename std::enable_if<std::is_floating_point<type>::value, const double &>::type get()
      const
  {
    return get<ParameterType::PARAMETER_DOUBLE>();
  }

  template <typename type>
  constexpr typename std::enable_if<
      std::is_convertible<type, std::string>::value, const std::string &>::type
  get() const
  {
    return get<ParameterType::PARAMETER_STRING>();
  }

  template <typename type>
  constexpr typename std::enable_if<
      std::is_convertible<type, const std::vector<uint8_t> &>::value,
      const std::vector<uint8_t> &>::type
  get() const
  {
    return get<ParameterType::PARAMETER_BYTE_ARRAY>();
  }

  template <typename type>
  constexpr typename std::enable_if<
      std::is_convertible<type, const std::vector<bool> &>::value, const std::vector<bool> &>::type
  get() const
  {
    return get<ParameterType::PARAMETER_BOOL_ARRAY>();
  }

  template <typename type>
  constexpr typename std::enable_if<
      std::is_convertible<type, const std::vector<int> &>::value ||
          std::is_convertible<type, const std::vector<int64_t> &>::value,
      const std::vector<int64_t> &>::type
  get() const
  {
    return get<ParameterType::PARAMETER_INTEGER_ARRAY>();
  }

  template <typename type>
  constexpr typename std::enable_if<
      std::is_convertible<type, const std::vector<float> &>::value ||
          std::is_convertible<type, const std::vector<double> &>::value,
      const std::vector<double> &>::type
  get() const
  {
    return get<ParameterType::PARAMETER_DOUBLE_ARRAY>();
  }

  template <typename type>
  constexpr typename std::enable_if<
      std::is_convertible<type, const std::vector<std::string> &>::value,
      const std::vector<std::string> &>::type
  get() const
  {
    return get<ParameterType::PARAMETER_STRING_ARRAY>();
  }

  template <typename type>
  constexpr typename std::enable_if<
      std::is_same<type, ParameterValue>::value, const ParameterValue &>::type
  get() const
  {
    return *this;
  }

private:
  // Alternatives are in ParameterType order, so index() == type.
  using Storage = std::variant<
      std::monostate, bool, int64_t, double, std::string, std::vector<uint8_t>, std::vector<bool>,
      std::vector<int64_t>, std::vector<double>, std::vector<std::string>>;

  template <typename T, ParameterType type>
  const T & get_alternative() const
  {
    if (value_.index() != type) {
      throw ParameterTypeException(type, get_type());
    }
    return *std::get_if<T>(&value_);
  }

  Storage value_;
};

/// Return the value of a parameter as a string ("not set", "true", "42", "[1, 2]", ...).
std::string to_string(const ParameterValue & type);

}  // namespace rclcpp

#endif  // RCLCPP__PARAMETER_VALUE_HPP_
