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

// Compile-time facts about generated interface types, and the YAML rendering
// of primitive values that the generated to_yaml() functions build on.
#ifndef ROSIDL_RUNTIME_CPP__TRAITS_HPP_
#define ROSIDL_RUNTIME_CPP__TRAITS_HPP_

#include <cstdint>
#include <iomanip>
#include <ostream>
#include <string>
#include <type_traits>

namespace rosidl_generator_traits {

inline void value_to_yaml(bool value, std::ostream & out) { out << (value ? "true" : "false"); }

// `byte` members render as hexadecimal, e.g. 0x0a.
inline void character_value_to_yaml(unsigned char value, std::ostream & out)
{
  const auto flags = out.flags();
  const auto fill = out.fill();
  out << "0x" << std::hex << std::setw(2) << std::setfill('0') << static_cast<int>(value);
  out.flags(flags);
  out.fill(fill);
}

inline void character_value_to_yaml(char16_t value, std::ostream & out)
{
  const auto flags = out.flags();
  const auto fill = out.fill();
  out << "\\u" << std::hex << std::setw(4) << std::setfill('0') << static_cast<int>(value);
  out.flags(flags);
  out.fill(fill);
}

template <typename Floating>
inline void floating_value_to_yaml(Floating value, std::ostream & out)
{
  const auto flags = out.flags();
  out << std::showpoint << value;
  out.flags(flags);
}

inline void value_to_yaml(float value, std::ostream & out) { floating_value_to_yaml(value, out); }
inline void value_to_yaml(double value, std::ostream & out) { floating_value_to_yaml(value, out); }
inline void value_to_yaml(long double value, std::ostream & out)
{
  floating_value_to_yaml(value, out);
}

inline void value_to_yaml(std::uint8_t value, std::ostream & out) { out << +value; }
inline void value_to_yaml(std::int8_t value, std::ostream & out) { out << +value; }
inline void value_to_yaml(std::uint16_t value, std::ostream & out) { out << value; }
inline void value_to_yaml(std::int16_t value, std::ostream & out) { out << value; }
inline void value_to_yaml(std::uint32_t value, std::ostream & out) { out << value; }
inline void value_to_yaml(std::int32_t value, std::ostream & out) { out << value; }
inline void value_to_yaml(std::uint64_t value, std::ostream & out) { out << value; }
inline void value_to_yaml(std::int64_t value, std::ostream & out) { out << value; }

// Double-quoted, with '"' and '\' escaped.
inline void value_to_yaml(const std::string & value, std::ostream & out)
{
  out << '"';
  for (char c : value) {
    if (c == '"' || c == '\\') {
      out << '\\';
    }
    out << c;
  }
  out << '"';
}

// Double-quoted UTF-8.
inline void value_to_yaml(const std::u16string & value, std::ostream & out)
{
  std::string utf8;
  for (std::size_t i = 0; i < value.size(); ++i) {
    std::uint32_t code = value[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < value.size() && value[i + 1] >= 0xDC00 &&
        value[i + 1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (value[i + 1] - 0xDC00);
      ++i;
    }
    if (code < 0x80) {
      utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (code >> 12));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (code >> 18));
      utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  value_to_yaml(utf8, out);
}

// "pkg::msg::Name"
template <typename T>
inline const char * data_type();

// "pkg/msg/Name"
template <typename T>
inline const char * name();

template <typename T>
struct has_fixed_size : std::false_type
{
};

template <typename T>
struct has_bounded_size : std::false_type
{
};

template <typename T>
struct is_message : std::false_type
{
};

template <typename T>
struct is_service : std::false_type
{
};

template <typename T>
struct is_service_request : std::false_type
{
};

template <typename T>
struct is_service_response : std::false_type
{
};

template <typename T>
struct is_action : std::false_type
{
};

}  // namespace rosidl_generator_traits

#endif  // ROSIDL_RUNTIME_CPP__TRAITS_HPP_
