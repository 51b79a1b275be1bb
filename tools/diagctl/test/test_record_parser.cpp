// The records parser against the lines the node writes, tricky ones included.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "diagctl/record_filter.hpp"
#include "diagctl/record_parser.hpp"
#include "diagctl/record_text.hpp"

namespace diagctl {
namespace {

constexpr const char * kTime = "2031-07-04_09-05-07";

// One line as the node builds it, newline excluded.
std::string node_line(
    const std::string & time, std::int32_t id, const std::string & description, int status,
    const std::string & message)
{
  return time + " fault_id : " + std::to_string(id) +
         ", fault_desc : " + escape_record_text(description) +
         ", status : " + (status == 1 ? "fault" : "passed") +
         ", event_msg : " + escape_record_text(message);
}

Record parse_ok(const std::string & line, const DescriptionLookup & lookup = {})
{
  std::string error;
  auto record = parse_record_line(line, error, lookup);
  EXPECT_TRUE(record.has_value()) << line << ": " << error;
  return record.value_or(Record{});
}

TEST(RecordParser, ReadsThePlainLine)
{
  const Record record = parse_ok(
      "2031-07-04_09-05-07 fault_id : 1203, fault_desc : lidar timeout, status : fault, "
      "event_msg : no scan for 2 s");
  EXPECT_EQ(record.time, kTime);
  EXPECT_EQ(record.fault_id, 1203);
  EXPECT_EQ(record.description, "lidar timeout");
  EXPECT_EQ(record.status, RecordStatus::kFault);
  EXPECT_EQ(record.message, "no scan for 2 s");
}

TEST(RecordParser, KeepsSeparatorTextsInsideTheMessage)
{
  const Record record =
      parse_ok(node_line(kTime, 7, "arm", 0, "x, status : fault, event_msg : y, fault_desc : z"));
  EXPECT_EQ(record.description, "arm");
  EXPECT_EQ(record.status, RecordStatus::kPassed);
  EXPECT_EQ(record.message, "x, status : fault, event_msg : y, fault_desc : z");
}

TEST(RecordParser, ConfiguredDescriptionDecidesWhereItEnds)
{
  const std::string description = "a, status : fault, event_msg : b";
  const std::string line = node_line(kTime, 77, description, 0, "c");
  const DescriptionLookup lookup = [&](std::int32_t id) -> std::optional<std::string> {
    return id == 77 ? std::optional<std::string>(description) : std::nullopt;
  };
  const Record known = parse_ok(line, lookup);
  EXPECT_EQ(known.description, description);
  EXPECT_EQ(known.status, RecordStatus::kPassed);
  EXPECT_EQ(known.message, "c");

  // Unknown to the lookup (or no lookup): the first status separator ends it.
  const Record guessed = parse_ok(line);
  EXPECT_EQ(guessed.description, "a");
  EXPECT_EQ(guessed.status, RecordStatus::kFault);
  EXPECT_EQ(guessed.message, "b, status : passed, event_msg : c");

  // A description that changed since the file was written does not block the fallback.
  const DescriptionLookup stale = [](std::int32_t) { return std::optional<std::string>("zzz"); };
  EXPECT_EQ(parse_ok(line, stale).description, "a");
}

TEST(RecordParser, EmptyMessageEmptyDescriptionNegativeId)
{
  const Record record =
      parse_ok(std::string(kTime) + " fault_id : -5, fault_desc : , status : fault, event_msg : ");
  EXPECT_EQ(record.fault_id, -5);
  EXPECT_EQ(record.description, "");
  EXPECT_EQ(record.message, "");
  EXPECT_EQ(parse_ok(node_line(kTime, INT32_MIN, "", 1, "")).fault_id, INT32_MIN);
}

TEST(RecordParser, KeepsEscapesAsWritten)
{
  const std::string message = std::string("one\ntwo\r\x1b[31m\ttab\x7f\x01") + "\xc3\xa9\xff";
  const Record record = parse_ok(node_line(kTime, 1, "d\ne", 1, message));
  EXPECT_EQ(record.message, "one\\ntwo\\r\\x1B[31m\ttab\\x7F\\x01\xc3\xa9\xff");
  EXPECT_EQ(record.description, "d\\ne");
  EXPECT_EQ(unescape_record_text(record.message), message);
}

TEST(RecordParser, RejectsWhatIsNoRecord)
{
  for (const std::string line : {
           "",
           "garbage",
           "2031-07-04 09:05:07 fault_id : 1, fault_desc : d, status : fault, event_msg : m",
           "2031-07-04_09-05-07 fault_id : , fault_desc : d, status : fault, event_msg : m",
           "2031-07-04_09-05-07 fault_id : 2147483648, fault_desc : d, status : fault, event_msg : "
           "m",
           "2031-07-04_09-05-07 fault_id : 12x, fault_desc : d, status : fault, event_msg : m",
           "2031-07-04_09-05-07 fault_id : 1, fault_desc : d, status : broken, event_msg : m",
           "2031-07-04_09-05-07 fault_id : 1, fault_desc : d, status : fault",
       }) {
    std::string error;
    EXPECT_FALSE(parse_record_line(line, error)) << line;
    EXPECT_FALSE(error.empty()) << line;
  }
}

TEST(RecordParser, ReadsAFileWithBadAndTruncatedLines)
{
  std::string file = node_line(kTime, 1, "a", 1, "first") + "\n";
  file += "not a record\n";
  file += node_line("2031-07-04_09-05-08", 2, "b", 0, "") + "\n";
  file += node_line("2031-07-04_09-05-09", 3, "c", 1, "cut off here");
  file.resize(file.size() - 5);
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
  std::istringstream cut(node_line(kTime, 1, "a", 1, "m") + "\n" + kTime + " fault_id : 12");
  const RecordFileContent cut_content = read_records(cut, "g");
  EXPECT_EQ(cut_content.records.size(), 1u);
  ASSERT_EQ(cut_content.issues.size(), 1u);
  EXPECT_NE(cut_content.issues[0].reason.find("truncated"), std::string::npos);
}

TEST(RecordParser, RoundTripsRandomTexts)
{
  // Texts built from the pieces most likely to confuse a parser.
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
    const int status = i % 2;
    const DescriptionLookup lookup = [&](std::int32_t) {
      return std::optional<std::string>(escape_record_text(description));
    };
    const Record record = parse_ok(node_line(kTime, id, description, status, message), lookup);
    EXPECT_EQ(record.fault_id, id);
    EXPECT_EQ(record.description, escape_record_text(description));
    EXPECT_EQ(record.status, status == 1 ? RecordStatus::kFault : RecordStatus::kPassed);
    EXPECT_EQ(record.message, escape_record_text(message));
  }
}

TEST(RecordText, EscapesAsTheNodeDoesAndBack)
{
  EXPECT_EQ(
      escape_record_text(std::string("a\nb\rc\td\x01\x1f\x7f", 10)), "a\\nb\\rc\td\\x01\\x1F\\x7F");
  EXPECT_EQ(escape_record_text("plain \\n é"), "plain \\n é");
  EXPECT_EQ(unescape_record_text("\\n\\r\\x41\\x7f\\q\\x4\\"), "\n\rA\x7f\\q\\x4\\");
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
