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

#include "diagctl/record_output.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "diagnostic_center/contract/record_line.hpp"

namespace diagctl {

namespace contract = diagnostic_center::contract;

namespace {

// A line number, or `unknown` for 0: past an unreadable stretch of a file.
std::string line_text(std::size_t line, const char * unknown)
{
  return line == 0 ? unknown : std::to_string(line);
}

// Characters on the terminal: UTF-8 continuation bytes take no column.
std::size_t display_width(std::string_view text)
{
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// `text` escaped as the node escapes its texts. Escaping again is a no-op on
// the node's own lines and keeps stray control bytes of foreign files away
// from the terminal; the node's texts hold none, which spares the copy byte
// by byte.
std::string escaped(const std::string & text)
{
  const bool clean = std::none_of(text.begin(), text.end(), [](char c) {
    return contract::IsEscapedControl(static_cast<unsigned char>(c));
  });
  return clean ? text : contract::EscapeRecordText(text);
}

// Appends `text` as a CSV field: as it is unless it must be quoted.
void append_csv(std::string & line, std::string_view text)
{
  const bool plain = std::none_of(
                         text.begin(), text.end(),
                         [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; }) &&
                     (text.empty() || (text.front() != ' ' && text.back() != ' '));
  if (plain) {
    line += text;
  } else {
    line += csv_field(text);
  }
}

// Appends `text` as a JSON string. Printable ASCII without quote or
// backslash, as most record texts are, goes as it is; anything else as
// json_string() writes it.
void append_json(std::string & line, std::string_view text)
{
  const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
    return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
  });
  if (plain) {
    line += '"';
    line += text;
    line += '"';
  } else {
    line += json_string(text);
  }
}

class TableWriter : public RecordWriter
{
public:
  explicit TableWriter(std::ostream & out) : out_(out) { measure(kHeader); }

  void write(const Record & record) override
  {
    std::string message = escaped(record.message);
    if (record.truncated) {
      message += message.empty() ? "[truncated]" : " [truncated]";
    }
    Row row = {
        record.time, std::to_string(record.fault_id), contract::ToString(record.status),
        escaped(record.description), std::move(message)};
    measure(row);
    if (started_) {
      print(row);
      return;
    }
    for (const std::string & cell : row) {
      held_bytes_ += cell.size();
    }
    held_.push_back(std::move(row));
    if (held_.size() >= kTableRowsMeasured || held_bytes_ >= kHeldBytes) {
      start();
    }
  }

  void finish() override
  {
    if (!started_) {
      start();
    }
    out_.flush();
  }

private:
  using Row = std::array<std::string, 5>;
  static constexpr std::size_t kHeldBytes = std::size_t{1} << 20;
  static inline const Row kHeader = {"TIME", "FAULT_ID", "STATUS", "DESCRIPTION", "MESSAGE"};

  // The last column is never padded: its width does not matter.
  void measure(const Row & row)
  {
    for (std::size_t i = 0; i + 1 < row.size(); ++i) {
      widths_[i] = std::max(widths_[i], display_width(row[i]));
    }
  }

  void start()
  {
    started_ = true;
    print(kHeader);
    for (const Row & row : held_) {
      print(row);
    }
    held_.clear();
    held_.shrink_to_fit();
    out_.flush();  // the first rows show at once, however long the rest takes
  }

  void print(const Row & row)
  {
    // No padding after the last non-empty cell, so no line ends in blanks.
    std::size_t used = row.size();
    while (used > 1 && row[used - 1].empty()) {
      --used;
    }
    line_.clear();
    for (std::size_t i = 0; i < used; ++i) {
      line_ += row[i];
      if (i + 1 < used) {
        line_.append(widths_[i] - display_width(row[i]) + 2, ' ');
      }
    }
    line_ += '\n';
    out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
  }

  std::ostream & out_;
  std::array<std::size_t, 5> widths_ = {};
  std::vector<Row> held_;
  std::size_t held_bytes_ = 0;
  bool started_ = false;
  std::string line_;
};

// CSV and JSON: each record one line, written as it comes; the first one
// flushed so that it shows at once.
class LineWriter : public RecordWriter
{
public:
  LineWriter(std::ostream & out, bool unescape) : out_(out), unescape_(unescape) {}

  void write(const Record & record) override
  {
    line_.clear();
    format(record);
    out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
    if (++written_ == 1) {
      out_.flush();
    }
  }

protected:
  virtual void format(const Record & record) = 0;

  // Appends a description or message with `append`, unescaped if asked.
  void field(const std::string & text, void (*append)(std::string &, std::string_view))
  {
    if (unescape_) {
      append(line_, contract::UnescapeRecordText(text));
    } else {
      append(line_, text);
    }
  }

  std::ostream & out_;
  const bool unescape_;
  std::string line_;
  std::size_t written_ = 0;
};

class CsvWriter : public LineWriter
{
public:
  CsvWriter(std::ostream & out, bool unescape) : LineWriter(out, unescape)
  {
    out_ << "time,fault_id,description,status,message,file,line,truncated\r\n";
  }

  void finish() override { out_.flush(); }

private:
  void format(const Record & record) override
  {
    line_ += record.time;
    line_ += ',';
    line_ += std::to_string(record.fault_id);
    line_ += ',';
    field(record.description, append_csv);
    line_ += ',';
    line_ += contract::ToString(record.status);
    line_ += ',';
    field(record.message, append_csv);
    line_ += ',';
    append_csv(line_, record.file);
    line_ += ',';
    line_ += line_text(record.line, "");
    line_ += record.truncated ? ",true\r\n" : ",false\r\n";
  }
};

class JsonWriter : public LineWriter
{
public:
  JsonWriter(std::ostream & out, bool unescape) : LineWriter(out, unescape) { out_ << '['; }

  void finish() override
  {
    out_ << (written_ == 0 ? "]\n" : "\n]\n");
    out_.flush();
  }

private:
  void format(const Record & record) override
  {
    line_ += written_ == 0 ? "\n" : ",\n";
    line_ += "  {\"time\": ";
    append_json(line_, record.time);
    line_ += ", \"fault_id\": ";
    line_ += std::to_string(record.fault_id);
    line_ += ", \"description\": ";
    field(record.description, append_json);
    line_ += ", \"status\": ";
    append_json(line_, contract::ToString(record.status));
    line_ += ", \"message\": ";
    field(record.message, append_json);
    line_ += ", \"file\": ";
    append_json(line_, record.file);
    line_ += ", \"line\": ";
    line_ += line_text(record.line, "null");
    line_ += record.truncated ? ", \"truncated\": true}" : ", \"truncated\": false}";
  }
};

}  // namespace

std::unique_ptr<RecordWriter> RecordWriter::make(
    std::ostream & out, const RecordOutputOptions & options)
{
  switch (options.format) {
    case OutputFormat::kCsv:
      return std::make_unique<CsvWriter>(out, options.unescape);
    case OutputFormat::kJson:
      return std::make_unique<JsonWriter>(out, options.unescape);
    case OutputFormat::kTable:
      break;
  }
  return std::make_unique<TableWriter>(out);
}

void write_records(
    std::ostream & out, const std::vector<Record> & records, const RecordOutputOptions & options)
{
  const auto writer = RecordWriter::make(out, options);
  for (const Record & record : records) {
    writer->write(record);
  }
  writer->finish();
}

}  // namespace diagctl
