#include "rule_lexer.hpp"

#include <string_view>
#include <utility>

namespace client_layer {
namespace {

bool is_token_char(char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

size_t token_length(std::string_view text)
{
  size_t length = 0;
  while (length < text.size() && is_token_char(text[length])) {
    ++length;
  }
  return length;
}

}  // namespace

std::pair<Lexeme, size_t> RuleLexer::scan(size_t at) const
{
  if (at >= text_.size()) {
    return {Lexeme::kEof, 0};
  }
  const std::string_view rest = text_.substr(at);
  auto starts_with = [&rest](std::string_view prefix) {
    return rest.substr(0, prefix.size()) == prefix;
  };
  if (starts_with("rosservice://")) {
    return {Lexeme::kUrlService, 13};
  }
  if (starts_with("rostopic://")) {
    return {Lexeme::kUrlTopic, 11};
  }
  if (starts_with(":=")) {
    return {Lexeme::kSeparator, 2};
  }
  switch (rest[0]) {
    case ':':
      return {Lexeme::kColon, 1};
    case '/':
      return {Lexeme::kForwardSlash, 1};
    case '.':
      return {Lexeme::kDot, 1};
    case '*':
      return starts_with("**") ? std::make_pair(Lexeme::kWildMulti, size_t{2})
                               : std::make_pair(Lexeme::kWildOne, size_t{1});
    case '~':
      return starts_with("~/") ? std::make_pair(Lexeme::kTildeSlash, size_t{2})
                               : std::make_pair(Lexeme::kNone, size_t{1});
    case '\\':
      if (rest.size() > 1 && rest[1] >= '1' && rest[1] <= '9') {
        return {Lexeme::kBackReference, 2};
      }
      return {Lexeme::kNone, 1};
    default:
      break;
  }
  const size_t length = token_length(rest);
  if (length == 0) {
    return {Lexeme::kNone, 1};
  }
  const std::string_view token = rest.substr(0, length);
  if (token.substr(0, 2) == "__") {
    if (token == "__node" || token == "__name") {
      return {Lexeme::kNode, length};
    }
    if (token == "__ns") {
      return {Lexeme::kNs, length};
    }
    return {Lexeme::kNone, length};  // names starting with "__" are reserved
  }
  return {Lexeme::kToken, length};
}

}  // namespace client_layer
