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

#include "diagctl/output_format.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace diagctl {

std::size_t utf8_sequence_length(std::string_view text, std::size_t at)
{
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) {
    return 1;
  }
  std::size_t length = 0;
  unsigned char second_low = 0x80;
  unsigned char second_high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    second_low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
    second_high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    second_low = lead == 0xF0 ? 0x90 : 0x80;
    second_high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (at + length > text.size()) {
    return 0;
  }
  if (byte(at + 1) < second_low || byte(at + 1) > second_high) {
    return 0;
  }
  for (std::size_t i = 2; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      return 0;
    }
  }
  return length;
}

namespace {

std::size_t display_width(std::string_view text)
{
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace

std::optional<OutputFormat> parse_output_format(std::string_view name)
{
  if (name == "table") {
    return OutputFormat::kTable;
  }
  if (name == "csv") {
    return OutputFormat::kCsv;
  }
  if (name == "json") {
    return OutputFormat::kJson;
  }
  return std::nullopt;
}

std::string json_string(std::string_view text, InvalidUtf8 invalid)
{
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    char buffer[8];
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          std::snprintf(buffer, sizeof(buffer), "\\u%04x", byte);
          out += buffer;
        } else if (const std::size_t length = utf8_sequence_length(text, i); length > 0) {
          out.append(text.substr(i, length));
          i += length;
          continue;
        } else if (invalid == InvalidUtf8::kReplacement) {
          out += "\\ufffd";
        } else {
          std::snprintf(buffer, sizeof(buffer), "\\\\x%02X", byte);
          out += buffer;
        }
    }
    ++i;
  }
  out += '"';
  return out;
}

std::string printable_text(std::string_view text)
{
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t length = utf8_sequence_length(text, i);
    const std::size_t step = length == 0 ? 1 : length;
    // U+0080..U+009F, the C1 controls, are encoded as C2 80..C2 9F.
    const bool c1 = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (length == 0 || byte < 0x20 || byte == 0x7F || c1) {
      for (std::size_t k = i; k < i + step; ++k) {
        char buffer[8];
        std::snprintf(buffer, sizeof(buffer), "\\x%02X", static_cast<unsigned char>(text[k]));
        out += buffer;
      }
    } else {
      out.append(text.substr(i, step));
    }
    i += step;
  }
  return out;
}

std::string csv_field(std::string_view text)
{
  const bool needs_quotes = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                            (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!needs_quotes) {
    return std::string(text);
  }
  std::string out = "\"";
  for (const char c : text) {
    out += c;
    if (c == '"') {
      out += '"';
    }
  }
  out += '"';
  return out;
}

bool terminal_wants_colour()
{
  const char * term = std::getenv("TERM");
  return std::getenv("NO_COLOR") == nullptr && term != nullptr && std::string(term) != "dumb";
}

TextTable::TextTable(std::vector<std::string> header) : header_(std::move(header)) {}

void TextTable::add_row(std::vector<std::string> row)
{
  row.resize(header_.size());
  rows_.push_back(std::move(row));
}

void TextTable::print(std::ostream & out) const
{
  std::vector<std::size_t> widths(header_.size(), 0);
  const auto measure = [&](const std::vector<std::string> & row) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      widths[i] = std::max(widths[i], display_width(row[i]));
    }
  };
  measure(header_);
  std::for_each(rows_.begin(), rows_.end(), measure);

  const auto print_row = [&](const std::vector<std::string> & row) {
    // No padding after the last non-empty cell, so no line ends in blanks.
    std::size_t used = row.size();
    while (used > 1 && row[used - 1].empty()) {
      --used;
    }
    for (std::size_t i = 0; i < used; ++i) {
      out << row[i];
      if (i + 1 < used) {
        out << std::string(widths[i] - display_width(row[i]) + 2, ' ');
      }
    }
    out << '\n';
  };
  print_row(header_);
  std::for_each(rows_.begin(), rows_.end(), print_row);
}

}  // namespace diagctl
