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

// Output formatting: JSON strings, CSV fields, tables and the record printers.
#include <gtest/gtest.h>

#include <sstream>

#include "diagctl/output_format.hpp"
#include "diagctl/record_output.hpp"

namespace diagctl {
namespace {

TEST(JsonString, EscapesAndKeepsValidUtf8)
{
  EXPECT_EQ(json_string("a\"b\\c"), R"("a\"b\\c")");
  EXPECT_EQ(json_string(std::string("\n\r\t\x01\x7f", 5)), R"("\n\r\t\u0001\u007f")");
  EXPECT_EQ(json_string(std::string("\0", 1)), R"("\u0000")");
  EXPECT_EQ(json_string("é€😀"), "\"é€😀\"");
  // Bytes that are not UTF-8 become visible text; JSON stays valid.
  EXPECT_EQ(
      json_string("\xff"
                  "a\xc3"),
      R"("\\xFFa\\xC3")");
  EXPECT_EQ(json_string("\xed\xa0\x80"), R"("\\xED\\xA0\\x80")");  // a surrogate
  EXPECT_EQ(json_string("\xc0\xaf"), R"("\\xC0\\xAF")");           // overlong '/'
}

TEST(CsvField, QuotesOnlyWhenNeeded)
{
  EXPECT_EQ(csv_field("plain"), "plain");
  EXPECT_EQ(csv_field(""), "");
  EXPECT_EQ(csv_field("a,b"), "\"a,b\"");
  EXPECT_EQ(csv_field("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(csv_field("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(csv_field(" padded"), "\" padded\"");
}

TEST(TextTable, AlignsByCodePoints)
{
  TextTable table({"ID", "TEXT"});
  table.add_row({"1", "é"});
  table.add_row({"1234", "x"});
  std::ostringstream out;
  table.print(out);
  EXPECT_EQ(out.str(), "ID    TEXT\n1     é\n1234  x\n");
}

std::vector<Record> sample_records()
{
  Record first;
  first.time = "2031-07-04_09-05-07";
  first.fault_id = -5;
  first.description = "a, b";
  first.status = RecordStatus::kFault;
  first.message = "x\\ny \"q\"";
  first.file = "rec";
  first.line = 1;
  Record second = first;
  second.fault_id = 6;
  second.status = RecordStatus::kPassed;
  second.description = "";
  second.message = "";
  second.line = 2;
  second.truncated = true;
  return {first, second};
}

TEST(RecordOutput, Json)
{
  std::ostringstream out;
  write_records(out, sample_records(), {OutputFormat::kJson, false});
  EXPECT_EQ(
      out.str(),
      "[\n"
      R"(  {"time": "2031-07-04_09-05-07", "fault_id": -5, "description": "a, b", "status": "fault", )"
      R"("message": "x\\ny \"q\"", "file": "rec", "line": 1, "truncated": false},)"
      "\n"
      R"(  {"time": "2031-07-04_09-05-07", "fault_id": 6, "description": "", "status": "passed", )"
      R"("message": "", "file": "rec", "line": 2, "truncated": true})"
      "\n]\n");

  std::ostringstream unescaped;
  write_records(unescaped, {sample_records()[0]}, {OutputFormat::kJson, true});
  EXPECT_NE(unescaped.str().find(R"("message": "x\ny \"q\"")"), std::string::npos);

  std::ostringstream empty;
  write_records(empty, {}, {OutputFormat::kJson, false});
  EXPECT_EQ(empty.str(), "[]\n");

  // Past an unreadable stretch the line number is unknown.
  std::vector<Record> unknown_line = {sample_records()[0]};
  unknown_line[0].line = 0;
  std::ostringstream unknown;
  write_records(unknown, unknown_line, {OutputFormat::kJson, false});
  EXPECT_NE(unknown.str().find(R"("line": null, )"), std::string::npos) << unknown.str();
  std::ostringstream unknown_csv;
  write_records(unknown_csv, unknown_line, {OutputFormat::kCsv, false});
  EXPECT_NE(unknown_csv.str().find(",rec,,false\r\n"), std::string::npos) << unknown_csv.str();
}

TEST(RecordOutput, Csv)
{
  std::ostringstream out;
  write_records(out, sample_records(), {OutputFormat::kCsv, false});
  EXPECT_EQ(
      out.str(),
      "time,fault_id,description,status,message,file,line,truncated\r\n"
      "2031-07-04_09-05-07,-5,\"a, b\",fault,\"x\\ny \"\"q\"\"\",rec,1,false\r\n"
      "2031-07-04_09-05-07,6,,passed,,rec,2,true\r\n");

  std::ostringstream unescaped;
  write_records(unescaped, {sample_records()[0]}, {OutputFormat::kCsv, true});
  EXPECT_NE(unescaped.str().find("\"x\ny \"\"q\"\"\""), std::string::npos);
}

TEST(RecordOutput, TableKeepsControlBytesOffTheTerminal)
{
  std::vector<Record> records = sample_records();
  records[0].message = "raw\x1b[2Jclear";  // not from the node, which escapes this
  std::ostringstream out;
  write_records(out, records, {OutputFormat::kTable, true});
  EXPECT_EQ(
      out.str(),
      "TIME                 FAULT_ID  STATUS  DESCRIPTION  MESSAGE\n"
      "2031-07-04_09-05-07  -5        fault   a, b         raw\\x1B[2Jclear\n"
      "2031-07-04_09-05-07  6         passed               [truncated]\n");
}

// Each record is out as soon as it is written; only the table holds back
// its first rows, to measure its columns.
TEST(RecordOutput, WritesRecordByRecord)
{
  const std::vector<Record> records = sample_records();
  for (const OutputFormat format : {OutputFormat::kCsv, OutputFormat::kJson}) {
    std::ostringstream out;
    const auto writer = RecordWriter::make(out, {format, false});
    writer->write(records[0]);
    const std::string first = out.str();
    EXPECT_NE(first.find("\"a, b\""), std::string::npos) << first;
    writer->write(records[1]);
    writer->finish();
    std::ostringstream whole;
    write_records(whole, records, {format, false});
    EXPECT_EQ(out.str(), whole.str());
    EXPECT_EQ(out.str().substr(0, first.size()), first);
  }

  std::ostringstream table;
  const auto writer = RecordWriter::make(table, {OutputFormat::kTable, false});
  Record narrow = records[1];
  narrow.truncated = false;
  for (std::size_t i = 0; i + 1 < kTableRowsMeasured; ++i) {
    writer->write(narrow);
  }
  EXPECT_EQ(table.str(), "");
  writer->write(narrow);
  const std::string header = "TIME                 FAULT_ID  STATUS  DESCRIPTION  MESSAGE\n";
  const std::string row = "2031-07-04_09-05-07  6         passed\n";
  ASSERT_EQ(table.str().size(), header.size() + kTableRowsMeasured * row.size());
  EXPECT_EQ(table.str().substr(0, header.size() + row.size()), header + row);
  // A wider cell later widens its column from its row on.
  Record wide = narrow;
  wide.fault_id = 1234567890;
  wide.description = "d";
  writer->write(wide);
  writer->write(narrow);
  writer->finish();
  EXPECT_EQ(
      table.str().substr(header.size() + kTableRowsMeasured * row.size()),
      "2031-07-04_09-05-07  1234567890  passed  d\n"
      "2031-07-04_09-05-07  6           passed\n");
}

}  // namespace
}  // namespace diagctl
