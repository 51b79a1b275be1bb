// Reading record files: lines as the node writes them (the line itself is
// the node contract's, tested there), bad and truncated lines, and the filter.
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <sstream>
#include <string>

#include "diagctl/record_filter.hpp"
#include "diagctl/record_parser.hpp"
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
