// Reading of the node's fault-record files, line by line, with the node's own
// reader of a record line (contract/record_line.hpp): descriptions and
// messages are kept exactly as written, escapes included.
#ifndef DIAGCTL__RECORD_PARSER_HPP_
#define DIAGCTL__RECORD_PARSER_HPP_

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {

using diagnostic_center::contract::DescriptionLookup;
using diagnostic_center::contract::RecordStatus;

// A record line and where it was read.
struct Record : diagnostic_center::contract::RecordLine
{
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

struct RecordFileContent
{
  std::vector<Record> records;
  std::vector<RecordIssue> issues;
};

// Reads every line of `in`; lines that are not records become issues. A last
// line without its newline is still read, marked as truncated. `lookup` gives
// the configured descriptions, escaped as the node writes them.
RecordFileContent read_records(
    std::istream & in, const std::string & file_name, const DescriptionLookup & lookup = {});

}  // namespace diagctl

#endif  // DIAGCTL__RECORD_PARSER_HPP_
