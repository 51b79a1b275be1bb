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

// CdrWriter/CdrReader: the encoding rules and the reader's defences.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "client_layer/cdr.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;
using client_layer::CdrReader;
using client_layer::CdrWriter;

TEST(Cdr, PrimitivesAreAlignedRelativeToTheEncapsulationHeader)
{
  Bytes out;
  CdrWriter writer(out);
  writer.write_encapsulation();
  writer.write(std::uint8_t{0xAA});
  writer.write(std::uint16_t{0x0102});
  writer.write(true);
  writer.write(std::int32_t{-2});
  writer.write(std::uint64_t{0x0102030405060708});
  writer.write(1.5f);
  writer.write(0.25);
  const Bytes expected = {
      0x00, 0x01, 0x00, 0x00,                          // little-endian plain CDR
      0xAA, 0x00, 0x02, 0x01,                          // uint8, pad, uint16
      0x01, 0x00, 0x00, 0x00,                          // bool, pad to 4
      0xFE, 0xFF, 0xFF, 0xFF,                          // int32
      0x00, 0x00, 0x00, 0x00,                          // pad to 8
      0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  // uint64
      0x00, 0x00, 0xC0, 0x3F,                          // float 1.5
      0x00, 0x00, 0x00, 0x00,                          // pad to 8
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0x3F,  // double 0.25
  };
  ASSERT_EQ(out, expected);

  CdrReader reader(out.data(), out.size());
  std::uint8_t u8 = 0;
  std::uint16_t u16 = 0;
  bool flag = false;
  std::int32_t i32 = 0;
  std::uint64_t u64 = 0;
  float f = 0;
  double d = 0;
  ASSERT_TRUE(reader.read_encapsulation());
  EXPECT_TRUE(reader.read(u8) && reader.read(u16) && reader.read(flag) && reader.read(i32));
  EXPECT_TRUE(reader.read(u64) && reader.read(f) && reader.read(d));
  EXPECT_EQ(u8, 0xAA);
  EXPECT_EQ(u16, 0x0102);
  EXPECT_TRUE(flag);
  EXPECT_EQ(i32, -2);
  EXPECT_EQ(u64, 0x0102030405060708u);
  EXPECT_EQ(f, 1.5f);
  EXPECT_EQ(d, 0.25);
  EXPECT_EQ(reader.remaining(), 0u);
}

TEST(Cdr, StringsCarryTheirLengthWithTheTerminatorAndAnyBytes)
{
  const std::string binary("a\0\xFF", 3);
  Bytes out;
  CdrWriter writer(out);
  writer.write_encapsulation();
  writer.write_string(binary);
  writer.write_string("");
  const Bytes expected = {0x00, 0x01, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 'a',
                          0x00, 0xFF, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00};
  ASSERT_EQ(out, expected);

  CdrReader reader(out.data(), out.size());
  std::string first, second = "junk";
  ASSERT_TRUE(reader.read_encapsulation());
  ASSERT_TRUE(reader.read_string(first));
  ASSERT_TRUE(reader.read_string(second));
  EXPECT_EQ(first, binary);
  EXPECT_EQ(second, "");
}

TEST(Cdr, MalformedStringsAreRejected)
{
  struct Case
  {
    const char * name;
    Bytes body;  // after the encapsulation header
    bool accepted;
  };
  for (const Case & c : std::vector<Case>{
           {"declared length runs past the end", {0x09, 0x00, 0x00, 0x00, 'a', 'b', 0x00}, false},
           {"no terminating NUL", {0x02, 0x00, 0x00, 0x00, 'a', 'b'}, false},
           // Must fail without trying to allocate it.
           {"huge length", {0xFF, 0xFF, 0xFF, 0xFF, 0x00}, false},
           // No terminator either: reads as empty, as other ROS 2 readers do.
           {"zero length", {0x00, 0x00, 0x00, 0x00}, true},
       }) {
    SCOPED_TRACE(c.name);
    Bytes data = {0x00, 0x01, 0x00, 0x00};
    data.insert(data.end(), c.body.begin(), c.body.end());
    CdrReader reader(data.data(), data.size());
    std::string value = "junk";
    ASSERT_TRUE(reader.read_encapsulation());
    EXPECT_EQ(reader.read_string(value), c.accepted);
    if (c.accepted) {
      EXPECT_EQ(value, "");
    } else {
      // The reader stays failed.
      std::uint8_t byte = 0;
      EXPECT_FALSE(reader.read(byte));
      EXPECT_EQ(reader.remaining(), 0u);
    }
  }
}

TEST(Cdr, WideStringsUseFourBytesPerCodeUnitWithoutTerminator)
{
  const std::u16string text = u"h\u00e9";
  Bytes out;
  CdrWriter writer(out);
  writer.write_encapsulation();
  writer.write_wstring(text);
  const Bytes expected = {0x00, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                          'h',  0x00, 0x00, 0x00, 0xE9, 0x00, 0x00, 0x00};
  ASSERT_EQ(out, expected);
  CdrReader reader(out.data(), out.size());
  std::u16string read_back;
  ASSERT_TRUE(reader.read_encapsulation());
  ASSERT_TRUE(reader.read_wstring(read_back));
  EXPECT_EQ(read_back, text);
}

TEST(Cdr, BigEndianSamplesAreRead)
{
  const Bytes data = {
      0x00, 0x00, 0x00, 0x00,                          // big-endian plain CDR
      0x12, 0x34, 0x00, 0x00,                          // int16, pad
      0x00, 0x00, 0x00, 0x03, 'a',  'b',  0x00, 0x00,  // string "ab", pad
      0x00, 0x00, 0x00, 0x02, 0x00, 0x01, 0x00, 0x02,  // uint16 sequence {1, 2}
      0x00, 0x00, 0x00, 0x00,                          // pad to 8
      0x3F, 0xF8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // double 1.5
  };
  CdrReader reader(data.data(), data.size());
  std::int16_t i16 = 0;
  std::string text;
  std::uint32_t count = 0;
  double d = 0;
  ASSERT_TRUE(reader.read_encapsulation());
  EXPECT_TRUE(reader.swaps_bytes());
  ASSERT_TRUE(reader.read(i16) && reader.read_string(text));
  ASSERT_TRUE(reader.read_sequence_size(count, sizeof(std::uint16_t)));
  ASSERT_EQ(count, 2u);
  std::vector<std::uint16_t> values(count);
  ASSERT_TRUE(reader.read_array(values.data(), count) && reader.read(d));
  EXPECT_EQ(i16, 0x1234);
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(values[0], 1);
  EXPECT_EQ(values[1], 2);
  EXPECT_EQ(d, 1.5);
}

TEST(Cdr, OtherRepresentationsAndShortHeadersAreRejected)
{
  for (const Bytes & header :
       {Bytes{0x00, 0x02, 0x00, 0x00}, Bytes{0x00, 0x07, 0x00, 0x00}, Bytes{0x01, 0x01, 0x00, 0x00},
        Bytes{0x00, 0x01}}) {
    CdrReader reader(header.data(), header.size());
    EXPECT_FALSE(reader.read_encapsulation());
  }
}

TEST(Cdr, SequenceSizesThatCannotFitAreRejected)
{
  const Bytes data = {0x00, 0x01, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 1, 2, 3, 4, 5, 6, 7, 8};
  for (const std::size_t element_size : {2, 4}) {
    CdrReader reader(data.data(), data.size());
    std::uint32_t count = 0;
    ASSERT_TRUE(reader.read_encapsulation());
    // 3 elements of 2 bytes fit in the 8 left, of 4 bytes they do not.
    EXPECT_EQ(reader.read_sequence_size(count, element_size), element_size == 2) << element_size;
  }
}

}  // namespace
