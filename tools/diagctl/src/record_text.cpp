#include "diagctl/record_text.hpp"

#include <cstdio>

namespace diagctl {

namespace {

int hex_value(char c)
{
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

}  // namespace

bool is_escaped_control(unsigned char byte)
{
  return (byte < 0x20 && byte != '\t') || byte == 0x7F;
}

std::string escape_record_text(std::string_view text)
{
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (!is_escaped_control(byte)) {
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      char buffer[5];
      std::snprintf(buffer, sizeof(buffer), "\\x%02X", byte);
      out += buffer;
    }
  }
  return out;
}

std::string unescape_record_text(std::string_view text)
{
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\\' || i + 1 >= text.size()) {
      out += c;
      continue;
    }
    const char kind = text[i + 1];
    if (kind == 'n') {
      out += '\n';
      ++i;
    } else if (kind == 'r') {
      out += '\r';
      ++i;
    } else if (
        kind == 'x' && i + 3 < text.size() && hex_value(text[i + 2]) >= 0 &&
        hex_value(text[i + 3]) >= 0) {
      out += static_cast<char>(hex_value(text[i + 2]) * 16 + hex_value(text[i + 3]));
      i += 3;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace diagctl
