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

// Reading record files: lines as the node writes them (the line itself is
// the node contract's, tested there), bad and truncated lines, and the filter.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "diagctl/record_filter.hpp"
#include "diagctl/record_parser.hpp"
#include "diagctl/record_source.hpp"
#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {
namespace {

constexpr const char * kTime = "2031-07-04_09-05-07";
constexpr std::time_t kSec = 1940922307;

// One line as the node writes it, newline included.
std::string node_line(
    std::int32_t id, const std::string & description, std::int32_t status,
    const std::string & message)
{
  return diagnostic_center::contract::FormatRecordLine(kSec, id, description, status, message);
}

TEST(RecordParser, ReadsAFileWithBadAndTruncatedLines)
{
  std::string file = node_line(1, "a", 1, "first");
  file += "not a record\n";
  file += node_line(2, "b", 0, "");
  file += node_line(3, "c", 1, "cut off here");
  file.resize(file.size() - 6);
  std::istringstream in(file);

  const RecordFileContent content = read_records(in, "f");
  ASSERT_EQ(content.records.size(), 3u);
  EXPECT_EQ(content.records[0].line, 1u);
  EXPECT_EQ(content.records[1].line, 3u);
  EXPECT_FALSE(content.records[1].truncated);
  EXPECT_EQ(content.records[2].message, "cut off");
  EXPECT_TRUE(content.records[2].truncated);
  EXPECT_EQ(content.records[2].file, "f");
  ASSERT_EQ(content.issues.size(), 1u);
  EXPECT_EQ(content.issues[0].line, 2u);

  // Cut before the message separator: reported, not read.
  std::istringstream cut(node_line(1, "a", 1, "m") + kTime + " fault_id : 12");
  const RecordFileContent cut_content = read_records(cut, "g");
  EXPECT_EQ(cut_content.records.size(), 1u);
  ASSERT_EQ(cut_content.issues.size(), 1u);
  EXPECT_NE(cut_content.issues[0].reason.find("truncated"), std::string::npos);
}

// What a file gave, in order, in one string: records by line and id ("1:7",
// "1:7~" when cut short), lines that are no record ("2:skip") and damage by
// offset ("@40:dmg"); the issues' descriptions apart.
class Trace : public RecordSink
{
public:
  void record(Record && record) override
  {
    events +=
        line(record.line) + ":" + std::to_string(record.fault_id) + (record.truncated ? "~ " : " ");
  }
  void issue(RecordIssue && issue) override
  {
    events +=
        issue.damage ? "@" + std::to_string(issue.offset) + ":dmg " : line(issue.line) + ":skip ";
    described.push_back(issue.describe());
  }
  static std::string line(std::size_t number) { return number ? std::to_string(number) : "?"; }
  std::string events;
  std::vector<std::string> described;
};

// `bytes` fed to a parser in pieces of `piece` bytes.
Trace parse_in_pieces(const std::string & bytes, std::size_t piece)
{
  Trace trace;
  RecordFileParser parser("f", {}, trace);
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    parser.feed(bytes.data() + at, std::min(piece, bytes.size() - at));
  }
  parser.finish();
  return trace;
}

TEST(RecordParser, NulRunsAndOverlongLinesAreDamageAndReadingGoesOn)
{
  const std::string one = node_line(1, "a", 1, "first");
  const std::string two = node_line(2, "b", 1, "second");
  const std::string three = node_line(3, "c", 0, "third");
  struct Case
  {
    const char * name;
    std::string bytes;
    std::string expected;
  };
  const std::string nuls(5000, '\0');
  const std::string overlong(kMaxRecordLineBytes + 1, 'x');
  const std::vector<Case> cases = {
      // A hole in the middle of a line: its start is skipped, its end read.
      {"hole", one + two.substr(0, 10) + nuls + three + one,
       "1:1 2:skip @" + std::to_string(one.size() + 10) + ":dmg 2:3 3:1 "},
      // Zeroed blocks at the end, then a restarted node's line end and lines.
      {"zeroed_tail", one + std::string(100, '\0') + "\n" + two,
       "1:1 @" + std::to_string(one.size()) + ":dmg 3:2 "},
      {"nul_to_the_end", one + two.substr(0, two.size() - 3) + nuls,
       "1:1 2:2~ @" + std::to_string(one.size() + two.size() - 3) + ":dmg "},
      {"overlong", one + overlong + "\n" + two, "1:1 @" + std::to_string(one.size()) + ":dmg 3:2 "},
      {"overlong_unended", one + overlong, "1:1 @" + std::to_string(one.size()) + ":dmg "},
      // At the bound a line is still read: as no record here.
      {"at_the_bound", std::string(kMaxRecordLineBytes, 'x') + "\n" + one, "1:skip 2:1 "},
  };
  for (const Case & c : cases) {
    SCOPED_TRACE(c.name);
    // However the bytes come in pieces, the same comes out.
    for (const std::size_t piece : {c.bytes.size(), std::size_t{1}, std::size_t{7}, one.size()}) {
      if (piece == 1 && c.bytes.size() > 100000) {
        continue;
      }
      EXPECT_EQ(parse_in_pieces(c.bytes, piece).events, c.expected) << "pieces of " << piece;
    }
  }
  const Trace hole = parse_in_pieces(cases[0].bytes, 4096);
  ASSERT_EQ(hole.described.size(), 2u);
  EXPECT_EQ(
      hole.described[1], "f: byte " + std::to_string(one.size() + 10) +
                             ": 5000 NUL bytes (a hole or blocks zeroed by a crash), skipped");
  const Trace long_line = parse_in_pieces(cases[3].bytes, 65536);
  ASSERT_EQ(long_line.described.size(), 1u);
  EXPECT_NE(long_line.described[0].find("line 2 is 1048577 bytes"), std::string::npos)
      << long_line.described[0];
}

// A disk with a bad stretch [g_bad_from, g_bad_to): a read that starts in it
// fails with EIO, one that runs into it stops short before it, as the kernel
// returns what it read before the error.
std::uint64_t g_bad_from = 0;
std::uint64_t g_bad_to = 0;

ssize_t BadStretchRead(int fd, void * buffer, std::size_t size, off_t offset)
{
  const auto at = static_cast<std::uint64_t>(offset);
  if (at >= g_bad_from && at < g_bad_to) {
    errno = EIO;
    return -1;
  }
  if (at < g_bad_from) {
    size = static_cast<std::size_t>(std::min<std::uint64_t>(size, g_bad_from - at));
  }
  return ::pread(fd, buffer, size, offset);
}

class RecordFile : public ::testing::Test
{
protected:
  void SetUp() override
  {
    dir_ = std::filesystem::temp_directory_path() /
           ("diagctl_record_file_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Reads `file` through `read_at`; "refused: why" when it is not read.
  std::string read(const std::filesystem::path & file, ReadAtFunction read_at = ::pread)
  {
    trace_ = Trace();
    std::string problem;
    if (!read_record_file(file, {}, trace_, problem, read_at)) {
      return "refused: " + problem;
    }
    return trace_.events;
  }

  std::filesystem::path dir_;
  Trace trace_;
};

TEST_F(RecordFile, ReadErrorsSkipTheUnreadableStretchAndReadOn)
{
  std::string content;
  std::vector<std::uint64_t> line_starts;
  for (int id = 1; id <= 1000; ++id) {
    line_starts.push_back(content.size());
    content += node_line(id, "d", 1, "message " + std::to_string(id));
  }
  const auto file = dir_ / "records";
  std::ofstream(file, std::ios::binary) << content;

  // Bad from the middle of the message of line 300 on.
  g_bad_from = line_starts[300] - 3;
  g_bad_to = g_bad_from + 5000;
  const std::string events = read(file, BadStretchRead);
  // Skipped from the block boundary after the first failed read, in
  // doubling steps, until a read succeeds.
  std::uint64_t resumed = g_bad_from / 4096 * 4096 + 4096;
  for (std::uint64_t step = 8192; resumed < g_bad_to; step *= 2) {
    resumed += step;
  }
  const auto line_of = [&](std::uint64_t offset) {
    return static_cast<std::size_t>(
        std::upper_bound(line_starts.begin(), line_starts.end(), offset) - line_starts.begin());
  };
  std::string expected;
  for (std::size_t line = 1; line < 300; ++line) {
    expected += std::to_string(line) + ":" + std::to_string(line) + " ";
  }
  // The line the stretch cut is read up to it; after the stretch no one
  // knows the line numbers, and the rest of the line read on is no record.
  // (A line that starts right where reading resumes is read whole.)
  const std::size_t first_whole = line_of(resumed) + 1;
  ASSERT_NE(line_starts[first_whole - 2], resumed) << "choose another stretch";
  expected += "300:300~ @" + std::to_string(g_bad_from) + ":dmg ?:skip ";
  for (std::size_t line = first_whole; line <= 1000; ++line) {
    expected += "?:" + std::to_string(line) + " ";
  }
  EXPECT_EQ(events, expected);
  ASSERT_EQ(trace_.described.size(), 2u);
  EXPECT_EQ(
      trace_.described[0], file.string() + ": byte " + std::to_string(g_bad_from) + ": " +
                               std::to_string(resumed - g_bad_from) +
                               " bytes unreadable (Input/output error), skipped");
  EXPECT_EQ(
      trace_.described[1].substr(0, file.string().size() + 7 + std::to_string(resumed).size()),
      file.string() + ": byte " + std::to_string(resumed))
      << trace_.described[1];

  // Nothing readable at all: one stretch, the whole file, and no records.
  g_bad_from = 0;
  g_bad_to = content.size() * 2;
  EXPECT_EQ(read(file, BadStretchRead), "@0:dmg ");
  EXPECT_NE(
      trace_.described[0].find(std::to_string(content.size()) + " bytes unreadable"),
      std::string::npos)
      << trace_.described[0];
  // A bad stretch at the very end.
  g_bad_from = content.size() - 10;
  g_bad_to = content.size() * 2;
  const std::string at_end = read(file, BadStretchRead);
  const std::string tail = "1000:1000~ @" + std::to_string(g_bad_from) + ":dmg ";
  ASSERT_GE(at_end.size(), tail.size());
  EXPECT_EQ(at_end.substr(at_end.size() - tail.size()), tail);
}

TEST_F(RecordFile, OnlyRegularFilesAreOpened)
{
  const auto fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Would block for a writer, were it opened.
  EXPECT_EQ(read(fifo), "refused: " + fifo.string() + ": is a FIFO, not a record file");
  EXPECT_EQ(read("/dev/zero"), "refused: /dev/zero: is a character device, not a record file");
  EXPECT_EQ(read(dir_), "refused: " + dir_.string() + ": is a directory, not a record file");
  EXPECT_EQ(
      read(dir_ / "missing"),
      "refused: " + (dir_ / "missing").string() + ": cannot be read: No such file or directory");
  // Through a link the linked file counts.
  std::ofstream(dir_ / "plain") << node_line(1, "a", 1, "m");
  std::filesystem::create_symlink(dir_ / "plain", dir_ / "link");
  EXPECT_EQ(read(dir_ / "link"), "1:1 ");
  std::filesystem::create_symlink(fifo, dir_ / "fifo_link");
  EXPECT_NE(read(dir_ / "fifo_link").find("is a FIFO"), std::string::npos);
}

TEST(RecordFilter, NormalizesTimesAndSelects)
{
  EXPECT_EQ(normalize_record_time("2031-07-04", RangeEnd::kSince), "2031-07-04_00-00-00");
  EXPECT_EQ(normalize_record_time("2031-07-04", RangeEnd::kUntil), "2031-07-04_23-59-59");
  EXPECT_EQ(normalize_record_time("2031-07-04 09:05:07", RangeEnd::kSince), kTime);
  EXPECT_EQ(normalize_record_time("2031-07-04T09:05:07", RangeEnd::kUntil), kTime);
  EXPECT_EQ(normalize_record_time(kTime, RangeEnd::kUntil), kTime);
  EXPECT_FALSE(normalize_record_time("yesterday", RangeEnd::kSince));
  EXPECT_FALSE(normalize_record_time("2031-7-4", RangeEnd::kSince));

  Record record;
  record.time = kTime;
  record.fault_id = -5;
  record.status = RecordStatus::kFault;
  RecordFilter filter;
  EXPECT_TRUE(filter.matches(record));
  filter.since = kTime;  // bounds are inclusive
  filter.until = kTime;
  EXPECT_TRUE(filter.matches(record));
  filter.since = "2031-07-04_09-05-08";
  EXPECT_FALSE(filter.matches(record));
  filter.since.reset();
  filter.until = "2031-07-04_09-05-06";
  EXPECT_FALSE(filter.matches(record));
  filter.until.reset();
  filter.fault_ids = {1, -5};
  EXPECT_TRUE(filter.matches(record));
  filter.fault_ids = {5};
  EXPECT_FALSE(filter.matches(record));
  filter.fault_ids.clear();
  filter.status = RecordStatus::kPassed;
  EXPECT_FALSE(filter.matches(record));
}

}  // namespace
}  // namespace diagctl
