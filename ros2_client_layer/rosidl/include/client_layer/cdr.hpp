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

// Plain CDR (XCDR1) encoding as ROS 2 uses it on DDS.
//
// CdrWriter always writes little-endian. CdrReader honours the byte order the
// encapsulation header announces (little- or big-endian plain CDR). Alignment
// of primitives is relative to the first byte after the 4-byte encapsulation
// header. Strings are a uint32 length including a terminating NUL, the bytes,
// then the NUL; the bytes themselves may hold anything, NUL included.
// Wide strings are a uint32 count of UTF-16 code units followed by one 4-byte
// unit per code unit and no terminator, which is how ROS 2 Humble's Cyclone
// middleware puts them on the wire. Sequences are a uint32 element count
// followed by the elements.
//
// The reader never reads past its buffer: every read returns false once the
// data runs out or a length is impossible, and the reader stays failed.
#ifndef CLIENT_LAYER__CDR_HPP_
#define CLIENT_LAYER__CDR_HPP_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace client_layer {

namespace cdr_detail {

constexpr bool host_is_little_endian() { return __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__; }

// Unsigned integer of the same width as T, for byte swapping.
template <std::size_t Size>
struct UnsignedOfSize;
template <>
struct UnsignedOfSize<1>
{
  using type = std::uint8_t;
};
template <>
struct UnsignedOfSize<2>
{
  using type = std::uint16_t;
};
template <>
struct UnsignedOfSize<4>
{
  using type = std::uint32_t;
};
template <>
struct UnsignedOfSize<8>
{
  using type = std::uint64_t;
};

inline std::uint8_t byte_swap(std::uint8_t value) { return value; }
inline std::uint16_t byte_swap(std::uint16_t value) { return __builtin_bswap16(value); }
inline std::uint32_t byte_swap(std::uint32_t value) { return __builtin_bswap32(value); }
inline std::uint64_t byte_swap(std::uint64_t value) { return __builtin_bswap64(value); }

// The primitives CDR knows: bool, char, fixed-width integers, float, double.
template <typename T>
constexpr bool is_cdr_primitive()
{
  return std::is_arithmetic<T>::value && !std::is_same<T, long double>::value &&
         (sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4 || sizeof(T) == 8);
}

}  // namespace cdr_detail

class CdrWriter
{
public:
  // Clears `out`; everything written is appended to it.
  explicit CdrWriter(std::vector<std::uint8_t> & out) : out_(out) { out_.clear(); }

  // 00 01 00 00: little-endian plain CDR. Alignment restarts after it.
  void write_encapsulation()
  {
    static constexpr std::uint8_t kHeader[4] = {0x00, 0x01, 0x00, 0x00};
    append(kHeader, sizeof(kHeader));
    origin_ = out_.size();
  }

  template <typename T>
  std::enable_if_t<cdr_detail::is_cdr_primitive<T>()> write(T value)
  {
    if constexpr (std::is_same<T, bool>::value) {
      const std::uint8_t byte = value ? 1 : 0;
      append(&byte, 1);
    } else {
      align(sizeof(T));
      put(value);
    }
  }

  void write_string(const std::string & value)
  {
    write(static_cast<std::uint32_t>(value.size() + 1));
    append(value.data(), value.size());
    const std::uint8_t terminator = 0;
    append(&terminator, 1);
  }

  void write_wstring(const std::u16string & value)
  {
    write(static_cast<std::uint32_t>(value.size()));
    for (char16_t unit : value) {
      put(static_cast<std::uint32_t>(unit));
    }
  }

  void write_sequence_size(std::uint32_t count) { write(count); }

  // The elements of a primitive array, aligned once (nothing for zero elements).
  template <typename T>
  std::enable_if_t<cdr_detail::is_cdr_primitive<T>()> write_array(
      const T * values, std::size_t count)
  {
    if (count == 0) {
      return;
    }
    if constexpr (std::is_same<T, bool>::value) {
      for (std::size_t i = 0; i < count; ++i) {
        write(values[i]);
      }
    } else if constexpr (sizeof(T) == 1 || cdr_detail::host_is_little_endian()) {
      align(sizeof(T));
      append(values, count * sizeof(T));
    } else {
      align(sizeof(T));
      for (std::size_t i = 0; i < count; ++i) {
        put(values[i]);
      }
    }
  }

  // Bytes written since the encapsulation header (or since the start).
  std::size_t body_size() const { return out_.size() - origin_; }

private:
  void align(std::size_t alignment)
  {
    const std::size_t misalignment = (out_.size() - origin_) % alignment;
    if (misalignment != 0) {
      out_.resize(out_.size() + alignment - misalignment, 0);
    }
  }

  template <typename T>
  void put(T value)
  {
    using Unsigned = typename cdr_detail::UnsignedOfSize<sizeof(T)>::type;
    Unsigned bits;
    std::memcpy(&bits, &value, sizeof(T));
    if (!cdr_detail::host_is_little_endian()) {
      bits = cdr_detail::byte_swap(bits);
    }
    append(&bits, sizeof(T));
  }

  void append(const void * data, std::size_t size)
  {
    if (size == 0) {
      return;
    }
    const std::size_t end = out_.size();
    out_.resize(end + size);
    std::memcpy(out_.data() + end, data, size);
  }

  std::vector<std::uint8_t> & out_;
  std::size_t origin_ = 0;
};

class CdrReader
{
public:
  CdrReader(const std::uint8_t * data, std::size_t size) : data_(data), size_(size) {}

  // Accepts plain CDR in either byte order (00 00 big, 00 01 little) and
  // rejects every other representation. Alignment restarts after the header.
  bool read_encapsulation()
  {
    if (!ensure(4) || data_[pos_] != 0x00 || data_[pos_ + 1] > 0x01) {
      return fail();
    }
    swap_ = (data_[pos_ + 1] == 0x01) != cdr_detail::host_is_little_endian();
    pos_ += 4;
    origin_ = pos_;
    return true;
  }

  template <typename T>
  std::enable_if_t<cdr_detail::is_cdr_primitive<T>(), bool> read(T & value)
  {
    if constexpr (std::is_same<T, bool>::value) {
      if (!ensure(1)) {
        return fail();
      }
      value = data_[pos_++] != 0;
      return true;
    } else {
      return align(sizeof(T)) && ensure(sizeof(T)) && take(value);
    }
  }

  // Rejects a length that runs past the buffer and a missing terminating NUL.
  // A length of zero (no terminator at all) reads as the empty string, as
  // other ROS 2 readers accept it.
  bool read_string(std::string & value)
  {
    std::uint32_t length = 0;
    if (!read(length) || !ensure(length)) {
      return fail();
    }
    if (length == 0) {
      value.clear();
      return true;
    }
    if (data_[pos_ + length - 1] != 0) {
      return fail();
    }
    value.assign(reinterpret_cast<const char *>(data_ + pos_), length - 1);
    pos_ += length;
    return true;
  }

  // Rejects code units that do not fit in UTF-16.
  bool read_wstring(std::u16string & value)
  {
    std::uint32_t count = 0;
    if (!read(count) || count > remaining() / 4) {
      return fail();
    }
    value.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::uint32_t unit = 0;
      take(unit);
      if (unit > 0xFFFF) {
        return fail();
      }
      value[i] = static_cast<char16_t>(unit);
    }
    return true;
  }

  // Rejects counts that cannot fit in the remaining bytes, so that a hostile
  // length never causes a huge allocation. `min_element_size` is the least
  // number of bytes one element occupies on the wire (at least 1).
  bool read_sequence_size(std::uint32_t & count, std::size_t min_element_size)
  {
    if (min_element_size == 0) {
      min_element_size = 1;
    }
    if (!read(count) || count > remaining() / min_element_size) {
      return fail();
    }
    return true;
  }

  template <typename T>
  std::enable_if_t<cdr_detail::is_cdr_primitive<T>(), bool> read_array(
      T * values, std::size_t count)
  {
    if (count == 0) {
      return !failed_;
    }
    if constexpr (std::is_same<T, bool>::value) {
      if (!ensure(count)) {
        return fail();
      }
      for (std::size_t i = 0; i < count; ++i) {
        values[i] = data_[pos_ + i] != 0;
      }
      pos_ += count;
      return true;
    } else {
      if (!align(sizeof(T)) || count > remaining() / sizeof(T)) {
        return fail();
      }
      if (sizeof(T) == 1 || !swap_) {
        std::memcpy(values, data_ + pos_, count * sizeof(T));
        pos_ += count * sizeof(T);
      } else {
        for (std::size_t i = 0; i < count; ++i) {
          take(values[i]);
        }
      }
      return true;
    }
  }

  std::size_t remaining() const { return failed_ ? 0 : size_ - pos_; }
  bool failed() const { return failed_; }
  // True when the announced byte order is the opposite of the host's.
  bool swaps_bytes() const { return swap_; }

private:
  bool fail()
  {
    failed_ = true;
    return false;
  }

  bool ensure(std::size_t count) const { return !failed_ && count <= size_ - pos_; }

  bool align(std::size_t alignment)
  {
    const std::size_t misalignment = (pos_ - origin_) % alignment;
    const std::size_t padding = misalignment == 0 ? 0 : alignment - misalignment;
    if (!ensure(padding)) {
      return fail();
    }
    pos_ += padding;
    return true;
  }

  // Reads sizeof(T) bytes the caller has checked are there.
  template <typename T>
  bool take(T & value)
  {
    using Unsigned = typename cdr_detail::UnsignedOfSize<sizeof(T)>::type;
    Unsigned bits;
    std::memcpy(&bits, data_ + pos_, sizeof(T));
    if (swap_) {
      bits = cdr_detail::byte_swap(bits);
    }
    std::memcpy(&value, &bits, sizeof(T));
    pos_ += sizeof(T);
    return true;
  }

  const std::uint8_t * data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  std::size_t origin_ = 0;
  bool swap_ = !cdr_detail::host_is_little_endian();
  bool failed_ = false;
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__CDR_HPP_
