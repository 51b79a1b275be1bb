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

// Printing of fault records as a table, CSV or JSON, record by record.
#ifndef DIAGCTL__RECORD_OUTPUT_HPP_
#define DIAGCTL__RECORD_OUTPUT_HPP_

#include <cstddef>
#include <memory>
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

// The table's columns are as wide as their widest cell among the first rows,
// up to this many (or about a megabyte of text): those are held back until
// then. A wider cell later widens its column from that row on. Output of up
// to this many rows is exactly that of a table measured in full.
constexpr std::size_t kTableRowsMeasured = 1000;

// Writes records one by one as they come, holding none back but the table's
// first rows. finish() ends the output (the JSON array, a short table).
class RecordWriter
{
public:
  static std::unique_ptr<RecordWriter> make(
      std::ostream & out, const RecordOutputOptions & options);
  virtual ~RecordWriter() = default;
  virtual void write(const Record & record) = 0;
  virtual void finish() = 0;
};

void write_records(
    std::ostream & out, const std::vector<Record> & records, const RecordOutputOptions & options);

}  // namespace diagctl

#endif  // DIAGCTL__RECORD_OUTPUT_HPP_
