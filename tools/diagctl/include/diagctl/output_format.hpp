// Output building blocks shared by the sub-commands: aligned tables, CSV
// fields and JSON strings.
#ifndef DIAGCTL__OUTPUT_FORMAT_HPP_
#define DIAGCTL__OUTPUT_FORMAT_HPP_

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace diagctl {

enum class OutputFormat
{
  kTable,
  kCsv,
  kJson,
};

// "table", "csv" or "json".
std::optional<OutputFormat> parse_output_format(std::string_view name);

// What a JSON string does with a byte that is not part of valid UTF-8.
enum class InvalidUtf8
{
  kHexText,      // the text `\xHH`, the visible form the fault records use
  kReplacement,  // U+FFFD, as \ufffd
};

// A JSON string literal, quotes included. Valid UTF-8 passes through, control
// characters are escaped.
std::string json_string(std::string_view text, InvalidUtf8 invalid = InvalidUtf8::kHexText);

// One CSV field (RFC 4180): quoted when it holds a comma, a quote, CR or LF,
// or leading or trailing blanks; quotes doubled; bytes otherwise unchanged.
std::string csv_field(std::string_view text);

// A table whose columns are padded to their widest cell; no line ends in
// blanks. Width counts UTF-8 code points.
class TextTable
{
public:
  explicit TextTable(std::vector<std::string> header);

  void add_row(std::vector<std::string> row);
  bool empty() const { return rows_.empty(); }
  void print(std::ostream & out) const;

private:
  std::vector<std::string> header_;
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace diagctl

#endif  // DIAGCTL__OUTPUT_FORMAT_HPP_
