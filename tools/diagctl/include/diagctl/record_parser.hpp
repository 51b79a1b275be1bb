// Reading of the node's fault-record files.
//
// One line per record:
//   <time> fault_id : <id>, fault_desc : <description>, status : <fault|passed>, event_msg : <message>
// with <time> the local time "%Y-%m-%d_%H-%M-%S". Descriptions and messages are
// kept exactly as written (escapes included, see record_text.hpp). Since a
// description or message may itself hold the separator texts, the split
// between description and status uses the configured description when one is
// known, and otherwise the first status separator of the line (descriptions
// come from the operator's configuration, messages from any module).
#ifndef DIAGCTL__RECORD_PARSER_HPP_
#define DIAGCTL__RECORD_PARSER_HPP_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace diagctl {

enum class RecordStatus
{
  kFault,
  kPassed,
};

const char * to_string(RecordStatus status);

struct Record
{
  std::string time;  // as written, "%Y-%m-%d_%H-%M-%S"
  std::int32_t fault_id = 0;
  std::string description;  // as written
  RecordStatus status = RecordStatus::kPassed;
  std::string message;     // as written
  std::string file;        // where the record was read
  std::size_t line = 0;    // 1-based line number in `file`
  bool truncated = false;  // last line of the file, without its newline
};

// A line that is not a record, reported with its place.
struct RecordIssue
{
  std::string file;
  std::size_t line = 0;
  std::string reason;
};

// Configured description of a fault id, as the node would write it (escaped),
// or nothing when the id is unknown.
using DescriptionLookup = std::function<std::optional<std::string>(std::int32_t)>;

// Parses one line without its newline. On failure returns nothing and sets
// `error` to the reason.
std::optional<Record> parse_record_line(
    std::string_view line, std::string & error, const DescriptionLookup & lookup = {});

struct RecordFileContent
{
  std::vector<Record> records;
  std::vector<RecordIssue> issues;
};

// Reads every line of `in`; lines that are not records become issues. A last
// line without its newline is still read, marked as truncated.
RecordFileContent read_records(
    std::istream & in, const std::string & file_name, const DescriptionLookup & lookup = {});

}  // namespace diagctl

#endif  // DIAGCTL__RECORD_PARSER_HPP_
