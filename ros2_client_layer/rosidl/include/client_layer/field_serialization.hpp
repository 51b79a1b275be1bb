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

// CDR encoding of one message member, whatever its C++ type: primitives,
// strings, fixed arrays, sequences (bounded or not) and nested messages.
// The generated TypeSupport<M> specialisations are a list of these calls, one
// per member in declaration order; nested messages go through their own
// TypeSupport specialisation.
#ifndef CLIENT_LAYER__FIELD_SERIALIZATION_HPP_
#define CLIENT_LAYER__FIELD_SERIALIZATION_HPP_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "client_layer/cdr.hpp"
#include "client_layer/type_support.hpp"
#include "rosidl_runtime_cpp/bounded_vector.hpp"

namespace client_layer {

// Bytes one value occupies on the wire at the least (alignment aside); used to
// reject sequence lengths that the remaining data cannot hold, so that a
// hostile count never makes the reader allocate much more than the sample's
// size. Messages state theirs in TypeSupport<M>::min_wire_size.
template <typename T, typename = void>
struct MinWireSize
{
  static constexpr std::size_t value = TypeSupport<T>::min_wire_size;
};
template <typename T>
struct MinWireSize<T, std::enable_if_t<cdr_detail::is_cdr_primitive<T>()>>
{
  static constexpr std::size_t value = sizeof(T);
};
template <typename CharT, typename Traits, typename Alloc>
struct MinWireSize<std::basic_string<CharT, Traits, Alloc>>
{
  static constexpr std::size_t value = 4;  // the length
};
template <typename T, std::size_t N>
struct MinWireSize<std::array<T, N>>
{
  static constexpr std::size_t value = N * MinWireSize<T>::value;
};
template <typename T, typename Alloc>
struct MinWireSize<std::vector<T, Alloc>>
{
  static constexpr std::size_t value = 4;  // the count
};
template <typename T, std::size_t Bound, typename Alloc>
struct MinWireSize<rosidl_runtime_cpp::BoundedVector<T, Bound, Alloc>>
{
  static constexpr std::size_t value = 4;  // the count
};

// ---- writing ----------------------------------------------------------------

template <typename T>
std::enable_if_t<cdr_detail::is_cdr_primitive<T>()> serialize_field(CdrWriter & writer, T value)
{
  writer.write(value);
}

inline void serialize_field(CdrWriter & writer, const std::string & value)
{
  writer.write_string(value);
}

inline void serialize_field(CdrWriter & writer, const std::u16string & value)
{
  writer.write_wstring(value);
}

// A nested message.
template <typename T>
std::enable_if_t<!cdr_detail::is_cdr_primitive<T>()> serialize_field(
    CdrWriter & writer, const T & value)
{
  TypeSupport<T>::serialize(writer, value);
}

template <typename Range>
void serialize_elements(CdrWriter & writer, const Range & values)
{
  using T = typename Range::value_type;
  if constexpr (cdr_detail::is_cdr_primitive<T>() && !std::is_same<T, bool>::value) {
    writer.write_array(values.data(), values.size());
  } else {
    for (const auto & value : values) {
      serialize_field(writer, static_cast<const T &>(value));
    }
  }
}

template <typename T, std::size_t N>
void serialize_field(CdrWriter & writer, const std::array<T, N> & values)
{
  serialize_elements(writer, values);
}

template <typename T, typename Alloc>
void serialize_field(CdrWriter & writer, const std::vector<T, Alloc> & values)
{
  writer.write_sequence_size(static_cast<std::uint32_t>(values.size()));
  serialize_elements(writer, values);
}

template <typename T, std::size_t Bound, typename Alloc>
void serialize_field(
    CdrWriter & writer, const rosidl_runtime_cpp::BoundedVector<T, Bound, Alloc> & values)
{
  writer.write_sequence_size(static_cast<std::uint32_t>(values.size()));
  serialize_elements(writer, values);
}

// ---- reading ----------------------------------------------------------------
// `string_bound` limits the length of strings (0: unbounded); for arrays and
// sequences it applies to each string element.

template <typename T>
std::enable_if_t<cdr_detail::is_cdr_primitive<T>(), bool> deserialize_field(
    CdrReader & reader, T & value, std::size_t /*string_bound*/ = 0)
{
  return reader.read(value);
}

inline bool deserialize_field(CdrReader & reader, std::string & value, std::size_t string_bound = 0)
{
  return reader.read_string(value) && (string_bound == 0 || value.size() <= string_bound);
}

inline bool deserialize_field(
    CdrReader & reader, std::u16string & value, std::size_t string_bound = 0)
{
  return reader.read_wstring(value) && (string_bound == 0 || value.size() <= string_bound);
}

template <typename T>
std::enable_if_t<!cdr_detail::is_cdr_primitive<T>(), bool> deserialize_field(
    CdrReader & reader, T & value, std::size_t /*string_bound*/ = 0)
{
  return TypeSupport<T>::deserialize(reader, value);
}

// Fills `values`, already sized to the element count.
template <typename Range>
bool deserialize_elements(CdrReader & reader, Range & values, std::size_t string_bound)
{
  using T = typename Range::value_type;
  if constexpr (cdr_detail::is_cdr_primitive<T>() && !std::is_same<T, bool>::value) {
    return reader.read_array(values.data(), values.size());
  } else {
    for (auto && value : values) {
      if constexpr (std::is_same<T, bool>::value) {
        bool element = false;  // std::vector<bool> hands out proxies
        if (!reader.read(element)) {
          return false;
        }
        value = element;
      } else if (!deserialize_field(reader, value, string_bound)) {
        return false;
      }
    }
    return true;
  }
}

template <typename T, std::size_t N>
bool deserialize_field(CdrReader & reader, std::array<T, N> & values, std::size_t string_bound = 0)
{
  return deserialize_elements(reader, values, string_bound);
}

template <typename T, typename Alloc>
bool deserialize_field(
    CdrReader & reader, std::vector<T, Alloc> & values, std::size_t string_bound = 0)
{
  std::uint32_t count = 0;
  if (!reader.read_sequence_size(count, MinWireSize<T>::value)) {
    return false;
  }
  values.resize(count);
  return deserialize_elements(reader, values, string_bound);
}

template <typename T, std::size_t Bound, typename Alloc>
bool deserialize_field(
    CdrReader & reader, rosidl_runtime_cpp::BoundedVector<T, Bound, Alloc> & values,
    std::size_t string_bound = 0)
{
  std::uint32_t count = 0;
  if (!reader.read_sequence_size(count, MinWireSize<T>::value) || count > Bound) {
    return false;
  }
  values.resize(count);
  return deserialize_elements(reader, values, string_bound);
}

}  // namespace client_layer

#endif  // CLIENT_LAYER__FIELD_SERIALIZATION_HPP_
