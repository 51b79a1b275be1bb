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

#include "rule_grammar.hpp"

#include <string>
#include <string_view>

#include "client_layer/logging.hpp"
#include "client_layer/yaml_parameters.hpp"
#include "rule_lexer.hpp"

namespace client_layer::rule_grammar {
namespace {

void expect_or_throw(RuleLexer & lexer, Lexeme lexeme, const char * what)
{
  if (!lexer.expect(lexeme)) {
    throw RuleError(
        std::string("Expected ") + what + ", search ended at index " +
        std::to_string(lexer.position()));
  }
}

/// token | "*" | "**" on the match side of a name rule.
void parse_match_token(RuleLexer & lexer)
{
  switch (lexer.peek()) {
    case Lexeme::kToken:
      lexer.accept();
      return;
    case Lexeme::kWildOne:
      throw RuleError("Wildcard '*' is not implemented");
    case Lexeme::kWildMulti:
      throw RuleError("Wildcard '**' is not implemented");
    default:
      throw RuleError("Expecting token or wildcard");
  }
}

/// token | back reference on the replacement side of a name rule.
void parse_replacement_token(RuleLexer & lexer)
{
  switch (lexer.peek()) {
    case Lexeme::kToken:
      lexer.accept();
      return;
    case Lexeme::kBackReference:
      throw RuleError("Backreferences are not implemented");
    default:
      throw RuleError(
          "Expected a name token, search ended at index " + std::to_string(lexer.position()));
  }
}

/// [ "~/" | "/" ] token ( "/" token )* up to `stop`.
std::string parse_name(RuleLexer & lexer, Lexeme stop, void (*parse_token)(RuleLexer &))
{
  const size_t start = lexer.position();
  const std::string_view all = lexer.rest();
  if (lexer.peek() == Lexeme::kTildeSlash || lexer.peek() == Lexeme::kForwardSlash) {
    lexer.accept();
  }
  parse_token(lexer);
  while (lexer.peek() != stop) {
    expect_or_throw(lexer, Lexeme::kForwardSlash, "'/'");
    parse_token(lexer);
  }
  return std::string(all.substr(0, lexer.position() - start));
}

/// A run of tokens and slashes in a parameter name (between dots).
void parse_param_name_token(RuleLexer & lexer)
{
  const Lexeme first = lexer.peek();
  if (first == Lexeme::kWildOne) {
    throw RuleError("Wildcard '*' is not implemented");
  }
  if (first == Lexeme::kWildMulti) {
    throw RuleError("Wildcard '**' is not implemented");
  }
  if (first != Lexeme::kToken && first != Lexeme::kForwardSlash) {
    throw RuleError("Expecting token or wildcard");
  }
  while (lexer.peek() == Lexeme::kToken || lexer.peek() == Lexeme::kForwardSlash) {
    lexer.accept();
  }
}

}  // namespace

RemapRule parse_remap_rule(const std::string & text)
{
  RuleLexer lexer(text);
  RemapRule rule;
  std::string_view token;
  if (lexer.peek() == Lexeme::kToken && lexer.peek_second() == Lexeme::kColon) {
    lexer.expect(Lexeme::kToken, &token);
    lexer.accept();
    rule.node_name = std::string(token);
  }
  switch (lexer.peek()) {
    case Lexeme::kNode:
      lexer.accept();
      expect_or_throw(lexer, Lexeme::kSeparator, "':='");
      if (!lexer.expect(Lexeme::kToken, &token)) {
        throw RuleError(
            "Node name not remapped to invalid name: '" + std::string(lexer.rest()) + "'");
      }
      rule.kinds = RemapRule::kNodeName;
      rule.replacement = std::string(token);
      break;
    case Lexeme::kNs: {
      lexer.accept();
      expect_or_throw(lexer, Lexeme::kSeparator, "':='");
      const std::string_view ns = lexer.rest();
      if (!lexer.expect(Lexeme::kForwardSlash)) {
        throw RuleError(
            "Namespace not remapped to a fully qualified name (found: " + std::string(ns) + ")");
      }
      while (lexer.expect(Lexeme::kToken) && lexer.expect(Lexeme::kForwardSlash)) {
      }
      if (lexer.peek() != Lexeme::kEof) {
        throw RuleError(
            "Namespace not remapped to a fully qualified name (found: " + std::string(ns) + ")");
      }
      rule.kinds = RemapRule::kNamespace;
      // Kept as written: "/a/b/" passes here, as in rcl, and the node refuses it.
      rule.replacement = std::string(ns);
      break;
    }
    default:
      if (lexer.expect(Lexeme::kUrlService)) {
        rule.kinds = RemapRule::kService;
      } else if (lexer.expect(Lexeme::kUrlTopic)) {
        rule.kinds = RemapRule::kTopic;
      }
      rule.match = parse_name(lexer, Lexeme::kSeparator, parse_match_token);
      expect_or_throw(lexer, Lexeme::kSeparator, "':='");
      rule.replacement = parse_name(lexer, Lexeme::kEof, parse_replacement_token);
      break;
  }
  expect_or_throw(lexer, Lexeme::kEof, "the end of the rule");
  return rule;
}

void parse_param_rule(const std::string & text, ParameterOverrideSet & overrides)
{
  RuleLexer lexer(text);
  std::string node_name = "/**";
  std::string_view token;
  if (lexer.peek() == Lexeme::kToken && lexer.peek_second() == Lexeme::kColon) {
    lexer.expect(Lexeme::kToken, &token);
    lexer.accept();
    node_name = std::string(token);
  }
  const size_t name_start = lexer.position();
  const std::string_view all = lexer.rest();
  parse_param_name_token(lexer);
  while (lexer.peek() != Lexeme::kSeparator) {
    expect_or_throw(lexer, Lexeme::kDot, "'.'");
    parse_param_name_token(lexer);
  }
  const std::string name(all.substr(0, lexer.position() - name_start));
  lexer.accept();
  try {
    yaml_parameters::parse_value(node_name, name, std::string(lexer.rest()), overrides);
  } catch (const yaml_parameters::YamlError & error) {
    throw RuleError(error.what());
  }
}

void parse_log_level_rule(const std::string & text, LogLevels & levels)
{
  const size_t separator = text.find(":=");
  if (separator == std::string::npos) {
    auto level = logging::severity_from_string(text);
    if (!level) {
      throw RuleError("Argument does not use a valid severity level");
    }
    levels.default_level = *level;
    return;
  }
  if (separator == 0) {
    throw RuleError("Argument has an invalid logger item that name is empty");
  }
  auto level = logging::severity_from_string(text.substr(separator + 2));
  if (!level) {
    throw RuleError("Argument does not use a valid severity level");
  }
  levels.logger_levels.emplace_back(text.substr(0, separator), *level);
}

}  // namespace client_layer::rule_grammar
