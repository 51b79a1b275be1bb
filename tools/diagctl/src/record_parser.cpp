#include "diagctl/record_parser.hpp"

#include <utility>

namespace diagctl {

RecordFileContent read_records(
    std::istream & in, const std::string & file_name, const DescriptionLookup & lookup)
{
  RecordFileContent content;
  std::string line;
  std::size_t line_number = 0;
  while (std::getline(in, line)) {
    ++line_number;
    // getline stops at end of input without a newline: the writer was cut off.
    const bool truncated = in.eof();
    std::string error;
    auto parsed = diagnostic_center::contract::ParseRecordLine(line, error, lookup);
    if (!parsed) {
      if (truncated) {
        error = "truncated last line (" + error + ")";
      }
      content.issues.push_back({file_name, line_number, error});
      continue;
    }
    content.records.push_back(Record{std::move(*parsed), file_name, line_number, truncated});
  }
  return content;
}

}  // namespace diagctl
