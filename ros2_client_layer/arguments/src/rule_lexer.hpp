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

// The lexemes of rcl's rule syntax (remap, parameter and log-level rules).
#ifndef RULE_LEXER_HPP_
#define RULE_LEXER_HPP_

#include <cstddef>
#include <string_view>

namespace client_layer {

enum class Lexeme
{
  kNone,  ///< text that starts no lexeme (a digit, "-", "__x" ...)
  kEof,
  kTildeSlash,     ///< "~/"
  kUrlService,     ///< "rosservice://"
  kUrlTopic,       ///< "rostopic://"
  kColon,          ///< ":"
  kNode,           ///< "__node" or "__name"
  kNs,             ///< "__ns"
  kSeparator,      ///< ":="
  kBackReference,  ///< "\1" .. "\9"
  kToken,          ///< a letter or "_", then letters, digits and single "_"
  kForwardSlash,   ///< "/"
  kWildOne,        ///< "*"
  kWildMulti,      ///< "**"
  kDot,            ///< "."
};

/// Reads lexemes from a rule one at a time, with two lexemes of lookahead.
class RuleLexer
{
public:
  explicit RuleLexer(std::string_view text) : text_(text) {}

  Lexeme peek() const { return scan(position_).first; }

  Lexeme peek_second() const
  {
    const auto first = scan(position_);
    return scan(position_ + first.second).first;
  }

  /// Consume the next lexeme; returns its text.
  std::string_view accept()
  {
    const auto next = scan(position_);
    const std::string_view consumed = text_.substr(position_, next.second);
    position_ += next.second;
    return consumed;
  }

  /// Consume the next lexeme if it is `expected`.
  bool expect(Lexeme expected, std::string_view * consumed = nullptr)
  {
    if (peek() != expected) {
      return false;
    }
    const std::string_view text = accept();
    if (consumed) {
      *consumed = text;
    }
    return true;
  }

  size_t position() const { return position_; }
  std::string_view rest() const { return text_.substr(position_); }

private:
  std::pair<Lexeme, size_t> scan(size_t at) const;

  std::string_view text_;
  size_t position_ = 0;
};

}  // namespace client_layer

#endif  // RULE_LEXER_HPP_
