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

// The node's contract with the programs that read what it writes: the record
// line as the node writes it and as diagctl reads it back, and the parameter
// blocks that configure the node.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "diagnostic_center/contract/names.hpp"
#include "diagnostic_center/contract/parameter_file.hpp"
#include "diagnostic_center/contract/record_line.hpp"

namespace diagnostic_center::contract {
namespace {

constexpr std::time_t kSec = 1940922307;  // 2031-07-04_09-05-07 UTC
constexpr const char * kTime = "2031-07-04_09-05-07";

// Record times are local times; these tests read them in UTC.
class RecordLineTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    setenv("TZ", "UTC", 1);
    tzset();
  }
};

// The line as the node writes it, without its newline, as a reader gets it.
std::string Written(
    std::int32_t fault_id, const std::string & description, std::int32_t status,
    const std::string & message, std::time_t sec = kSec)
{
  std::string line = FormatRecordLine(sec, fault_id, description, status, message);
  line.pop_back();
  return line;
}

RecordLine ParseOk(const std::string & line, const DescriptionLookup & lookup = {})
{
  std::string error;
  auto record = ParseRecordLine(line, error, lookup);
  EXPECT_TRUE(record.has_value()) << line << ": " << error;
  return record.value_or(RecordLine{});
}

// Id, description, status and message of a parsed line, in one comparison.
std::string ParsedFields(const std::string & line, const DescriptionLookup & lookup = {})
{
  const RecordLine record = ParseOk(line, lookup);
  return std::to_string(record.fault_id) + " | " + record.description + " | " +
         (record.status == RecordStatus::kFault ? "fault" : "passed") + " | " + record.message;
}

TEST_F(RecordLineTest, Layout)
{
  EXPECT_EQ(
      FormatRecordLine(1940576707, 1203, "lidar timeout", 1, "no scan for 2 s"),
      "2031-06-30_09-05-07 fault_id : 1203, fault_desc : lidar timeout, status : fault, "
      "event_msg : no scan for 2 s\n");
  EXPECT_EQ(
      FormatRecordLine(0, -5, "", 0, ""),
      "1970-01-01_00-00-00 fault_id : -5, fault_desc : , status : passed, event_msg : \n");
  // Every status but 1 reads as passed; a negative time lies before 1970.
  EXPECT_EQ(
      FormatRecordLine(-1, 7, "d", 2, "x"),
      "1969-12-31_23-59-59 fault_id : 7, fault_desc : d, status : passed, event_msg : x\n");
  EXPECT_EQ(FormatRecordTime(kSec), kTime);
}

TEST_F(RecordLineTest, ControlCharactersCannotForgeLines)
{
  EXPECT_EQ(EscapeRecordText("a\nb\rc"), "a\\nb\\rc");
  EXPECT_EQ(EscapeRecordText(std::string("\x00\x01\x1b\x1f\x7f", 5)), "\\x00\\x01\\x1B\\x1F\\x7F");
  // Tab, backslashes, separators and UTF-8 stay as they are.
  EXPECT_EQ(EscapeRecordText("t\tb\\n, status : x \xc3\xa9"), "t\tb\\n, status : x \xc3\xa9");

  const std::string line =
      FormatRecordLine(0, 1, "desc\r\nforged", 1, "msg\n1970-01-01_00-00-00 fault_id : 2");
  EXPECT_EQ(line.find('\n'), line.size() - 1);
  EXPECT_EQ(line.find('\r'), std::string::npos);
  EXPECT_NE(line.find("fault_desc : desc\\r\\nforged,"), std::string::npos);
  EXPECT_NE(line.find("event_msg : msg\\n1970"), std::string::npos);
}

TEST(RecordText, UnescapeUndoesTheEscapesOnly)
{
  EXPECT_EQ(UnescapeRecordText("\\n\\r\\x41\\x7f\\q\\x4\\"), "\n\rA\x7f\\q\\x4\\");
}

TEST_F(RecordLineTest, ReadsTheLineBack)
{
  const std::string line = Written(1203, "lidar timeout", 1, "no scan for 2 s");
  EXPECT_EQ(ParseOk(line).time, kTime);
  EXPECT_EQ(ParsedFields(line), "1203 | lidar timeout | fault | no scan for 2 s");
  EXPECT_EQ(ParsedFields(Written(-5, "", 0, "")), "-5 |  | passed | ");
  EXPECT_EQ(ParseOk(Written(INT32_MIN, "", 1, "")).fault_id, INT32_MIN);
}

TEST_F(RecordLineTest, SeparatorTextsInsideTheMessageStayThere)
{
  EXPECT_EQ(
      ParsedFields(Written(7, "arm", 0, "x, status : fault, event_msg : y, fault_desc : z")),
      "7 | arm | passed | x, status : fault, event_msg : y, fault_desc : z");
}

TEST_F(RecordLineTest, ConfiguredDescriptionDecidesWhereItEnds)
{
  const std::string description = "a, status : fault, event_msg : b";
  const std::string line = Written(77, description, 0, "c");
  const DescriptionLookup lookup = [&](std::int32_t id) -> std::optional<std::string> {
    return id == 77 ? std::optional<std::string>(description) : std::nullopt;
  };
  EXPECT_EQ(ParsedFields(line, lookup), "77 | " + description + " | passed | c");

  // Unknown to the lookup (or no lookup): the first status separator ends it.
  EXPECT_EQ(ParsedFields(line), "77 | a | fault | b, status : passed, event_msg : c");

  // A description that changed since the file was written does not block the fallback.
  const DescriptionLookup stale = [](std::int32_t) { return std::optional<std::string>("zzz"); };
  EXPECT_EQ(ParseOk(line, stale).description, "a");
}

TEST_F(RecordLineTest, EscapesAreReadAsWritten)
{
  const std::string message = std::string("one\ntwo\r\x1b[31m\ttab\x7f\x01") + "\xc3\xa9\xff";
  const RecordLine record = ParseOk(Written(1, "d\ne", 1, message));
  EXPECT_EQ(record.message, "one\\ntwo\\r\\x1B[31m\ttab\\x7F\\x01\xc3\xa9\xff");
  EXPECT_EQ(record.description, "d\\ne");
  EXPECT_EQ(UnescapeRecordText(record.message), message);
}

TEST(RecordLine, WhatIsNoRecordIsRefusedWithAReason)
{
  for (const std::string line : {
           "",
           "garbage",
           "2031-07-04 09:05:07 fault_id : 1, fault_desc : d, status : fault, event_msg : m",
           "2031-07-04_09-05-07 fault_id : , fault_desc : d, status : fault, event_msg : m",
           // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one line, wrapped
           "2031-07-04_09-05-07 fault_id : 2147483648, fault_desc : d, status : fault, event_msg : "
           "m",
           "2031-07-04_09-05-07 fault_id : 12x, fault_desc : d, status : fault, event_msg : m",
           "2031-07-04_09-05-07 fault_id : 1, fault_desc : d, status : broken, event_msg : m",
           "2031-07-04_09-05-07 fault_id : 1, fault_desc : d, status : fault",
       }) {
    std::string error;
    EXPECT_FALSE(ParseRecordLine(line, error)) << line;
    EXPECT_FALSE(error.empty()) << line;
  }
}

TEST_F(RecordLineTest, RandomTextsRoundTrip)
{
  // Texts built from the pieces most likely to confuse a reader.
  const std::vector<std::string> pieces = {
      ", status : fault, event_msg : ",
      ", status : passed",
      ", fault_desc : ",
      " fault_id : ",
      "\\n",
      "\\x41",
      "\n",
      "\r",
      std::string(1, '\0'),
      "\t",
      "\x1b",
      "\xff",
      "é",
      "a",
      " ",
      ","};
  std::mt19937 random(42);
  const auto random_text = [&] {
    std::string text;
    for (int n = std::uniform_int_distribution<int>(0, 6)(random); n > 0; --n) {
      text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
    }
    return text;
  };
  for (int i = 0; i < 500; ++i) {
    const std::string description = random_text();
    const std::string message = random_text();
    const auto id = static_cast<std::int32_t>(random());
    const std::int32_t status = i % 2;
    const DescriptionLookup lookup = [&](std::int32_t) {
      return std::optional<std::string>(EscapeRecordText(description));
    };
    const std::string line = Written(id, description, status, message, kSec + i);
    EXPECT_EQ(ParseOk(line).time, FormatRecordTime(kSec + i));
    EXPECT_EQ(
        ParsedFields(line, lookup), std::to_string(id) + " | " + EscapeRecordText(description) +
                                        " | " + (status == 1 ? "fault" : "passed") + " | " +
                                        EscapeRecordText(message));
  }
}

TEST(FaultParamPrefix, UnsignedDecimalOfTheLow32Bits)
{
  EXPECT_EQ(FaultParamPrefix(7), "7");
  EXPECT_EQ(FaultParamPrefix(-5), "4294967291");
  EXPECT_EQ(FaultParamPrefix(-1), "4294967295");
  EXPECT_EQ(FaultParamPrefix((std::int64_t{1} << 32) + 7), "7");
  EXPECT_EQ(FaultParamPrefix(0), "0");
}

TEST(DiagnosticsStatusName, CarriesTheNamespaceSoAFleetsStatusesStayApart)
{
  const struct
  {
    const char * node_namespace;
    const char * name;
  } cases[] = {
      {"/", "diagnostic_center"},
      {"", "diagnostic_center"},
      {"/robot3", "robot3/diagnostic_center"},
      {"/site/a/robot3", "site/a/robot3/diagnostic_center"},
      {"robot3", "robot3/diagnostic_center"},
      {"/robot3/", "robot3/diagnostic_center"},
  };
  for (const auto & c : cases) {
    EXPECT_EQ(DiagnosticsStatusName(c.node_namespace), c.name) << "'" << c.node_namespace << "'";
  }
}

TEST(ParameterFile, BlocksForEveryNodeOrNamingThisOneApply)
{
  for (const char * key :
       {"/**", "**", "diagnostic_center", "/diagnostic_center", "robot1/diagnostic_center",
        "/robot1/arm/diagnostic_center", "*", "robot1/*"}) {
    EXPECT_TRUE(ParametersBlockApplies(key)) << key;
  }
  for (const char * key :
       {"", "other_node", "diagnostic_center/other_node", "diagnostic_center_2", "/*/x", "/**/x"}) {
    EXPECT_FALSE(ParametersBlockApplies(key)) << key;
  }
}

}  // namespace
}  // namespace diagnostic_center::contract
