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

// Output building blocks shared by the sub-commands: aligned tables, CSV
// fields and JSON strings.
#ifndef DIAGCTL__OUTPUT_FORMAT_HPP_
#define DIAGCTL__OUTPUT_FORMAT_HPP_

#include <cstddef>
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
  kReplacement,  // U+FFFD, written as \ufffd
};

// A JSON string literal, quotes included. Valid UTF-8 passes through; control
// characters are escaped.
std::string json_string(std::string_view text, InvalidUtf8 invalid = InvalidUtf8::kHexText);

// Length of the valid UTF-8 sequence starting at `at`, or 0 if there is none
// (overlong forms, surrogates and code points above U+10FFFF are invalid).
std::size_t utf8_sequence_length(std::string_view text, std::size_t at);

// Free text safe to print on a terminal: LF, CR and tab as "\n", "\r" and
// "\t"; other control characters (C0, DEL, C1) and bytes that are not valid
// UTF-8 as "\xHH". Everything else, backslashes included, stays.
std::string printable_text(std::string_view text);

// One CSV field (RFC 4180): quoted when it holds a comma, a quote, CR or LF,
// or leading or trailing blanks; quotes doubled; bytes otherwise unchanged.
std::string csv_field(std::string_view text);

// Whether a terminal takes colours: NO_COLOR unset, TERM set and not "dumb".
bool terminal_wants_colour();

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

// Terminal control sequences of the colour views.
namespace ansi {
inline constexpr const char * kClearScreen = "\x1b[H\x1b[2J";
inline constexpr const char * kBold = "\x1b[1m";
inline constexpr const char * kRed = "\x1b[1;31m";
inline constexpr const char * kYellow = "\x1b[33m";
inline constexpr const char * kDim = "\x1b[2m";
inline constexpr const char * kReset = "\x1b[0m";
}  // namespace ansi

}  // namespace diagctl

#endif  // DIAGCTL__OUTPUT_FORMAT_HPP_
