// Printing of fault records as a table, CSV or JSON.
#ifndef DIAGCTL__RECORD_OUTPUT_HPP_
#define DIAGCTL__RECORD_OUTPUT_HPP_

#include <ostream>
#include <vector>

#include "diagctl/output_format.hpp"
#include "diagctl/record_parser.hpp"

namespace diagctl {

struct RecordOutputOptions
{
  OutputFormat format = OutputFormat::kTable;
  // CSV and JSON only: turn the record escapes back into bytes. The table
  // always shows the text as written, which never holds control characters.
  bool unescape = false;
};

void write_records(
    std::ostream & out, const std::vector<Record> & records, const RecordOutputOptions & options);

}  // namespace diagctl

#endif  // DIAGCTL__RECORD_OUTPUT_HPP_
