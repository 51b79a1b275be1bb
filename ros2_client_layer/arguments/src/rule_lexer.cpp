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

#include "rule_lexer.hpp"

#include <string_view>
#include <utility>

namespace client_layer {
namespace {

// rcl's lexer as a state machine, state for state: what rcl takes for a
// token (letters first, no "__" inside, "__" only before node/name/ns) is
// exactly what a rule may hold, so "9bad" or "a__b" are not names here either.
// A state reads one character: the first transition whose range holds it is
// taken (moving one character on), otherwise its `otherwise` state with its
// `back` movement (0: one on, 1: stay, 2: one back, 3: two back).
struct Transition
{
  unsigned char to;
  char first;
  char last;
};

struct State
{
  unsigned char otherwise;
  unsigned char back;
  Transition transitions[11];
};

// States S0..S31, then the terminals (a lexeme found).
// clang-format off
enum : unsigned char
{
  S0, S1, S2, S3, S4, S5, S6, S7, S8, S9, S10, S11, S12, S13, S14, S15, S16,
  S17, S18, S19, S20, S21, S22, S23, S24, S25, S26, S27, S28, S29, S30, S31,
  kFirstTerminal,
  T_TILDE_SLASH = kFirstTerminal, T_URL_SERVICE, T_URL_TOPIC, T_COLON, T_NODE, T_NS, T_SEPARATOR,
  T_BACK_REFERENCE, T_TOKEN, T_FORWARD_SLASH, T_WILD_ONE, T_WILD_MULTI, T_NONE, T_DOT
};
// clang-format on

/// A state that only continues a plain token unless `c` comes next.
constexpr State word(unsigned char next, char c, unsigned char back = 1)
{
  return State{S9, back, {{next, c, c}}};
}

constexpr State kStates[] = {
    /* S0 */ {
        T_NONE,
        0,
        {{T_FORWARD_SLASH, '/', '/'},
         {T_DOT, '.', '.'},
         {S1, '\\', '\\'},
         {S2, '~', '~'},
         {S3, '_', '_'},
         {S9, 'a', 'q'},
         {S9, 's', 'z'},
         {S9, 'A', 'Z'},
         {S11, 'r', 'r'},
         {S30, '*', '*'},
         {S31, ':', ':'}}},
    /* S1 */ {T_NONE, 0, {{T_BACK_REFERENCE, '1', '9'}}},
    /* S2 */ {T_NONE, 0, {{T_TILDE_SLASH, '/', '/'}}},
    /* S3 */ {S10, 1, {{S4, '_', '_'}}},
    /* S4 */ {T_NONE, 0, {{S5, 'n', 'n'}}},
    /* S5 */ {T_NONE, 0, {{T_NS, 's', 's'}, {S6, 'o', 'o'}, {S7, 'a', 'a'}}},
    /* S6 */ {T_NONE, 0, {{S8, 'd', 'd'}}},
    /* S7 */ {T_NONE, 0, {{S8, 'm', 'm'}}},
    /* S8 */ {T_NONE, 0, {{T_NODE, 'e', 'e'}}},
    /* S9 */ {T_TOKEN, 1, {{S9, 'a', 'z'}, {S9, 'A', 'Z'}, {S9, '0', '9'}, {S10, '_', '_'}}},
    /* S10 */ {T_TOKEN, 1, {{S9, 'a', 'z'}, {S9, 'A', 'Z'}, {S9, '0', '9'}}},
    /* S11 */ word(S12, 'o'),
    /* S12 */ word(S13, 's'),
    /* S13 */ {S9, 1, {{S14, 't', 't'}, {S21, 's', 's'}}},
    /* S14 */ word(S15, 'o'),
    /* S15 */ word(S16, 'p'),
    /* S16 */ word(S17, 'i'),
    /* S17 */ word(S18, 'c'),
    /* S18 */ word(S19, ':'),
    /* S19 */ word(S20, '/', 2),
    /* S20 */ word(T_URL_TOPIC, '/', 3),
    /* S21 */ word(S22, 'e'),
    /* S22 */ word(S23, 'r'),
    /* S23 */ word(S24, 'v'),
    /* S24 */ word(S25, 'i'),
    /* S25 */ word(S26, 'c'),
    /* S26 */ word(S27, 'e'),
    /* S27 */ word(S28, ':'),
    /* S28 */ word(S29, '/', 2),
    /* S29 */ word(T_URL_SERVICE, '/', 3),
    /* S30 */ {T_WILD_ONE, 1, {{T_WILD_MULTI, '*', '*'}}},
    /* S31 */ {T_COLON, 1, {{T_SEPARATOR, '=', '='}}},
};
static_assert(sizeof(kStates) / sizeof(kStates[0]) == kFirstTerminal, "one entry per state");

Lexeme lexeme_of(unsigned char terminal)
{
  switch (terminal) {
    case T_TILDE_SLASH:
      return Lexeme::kTildeSlash;
    case T_URL_SERVICE:
      return Lexeme::kUrlService;
    case T_URL_TOPIC:
      return Lexeme::kUrlTopic;
    case T_COLON:
      return Lexeme::kColon;
    case T_NODE:
      return Lexeme::kNode;
    case T_NS:
      return Lexeme::kNs;
    case T_SEPARATOR:
      return Lexeme::kSeparator;
    case T_BACK_REFERENCE:
      return Lexeme::kBackReference;
    case T_TOKEN:
      return Lexeme::kToken;
    case T_FORWARD_SLASH:
      return Lexeme::kForwardSlash;
    case T_WILD_ONE:
      return Lexeme::kWildOne;
    case T_WILD_MULTI:
      return Lexeme::kWildMulti;
    case T_DOT:
      return Lexeme::kDot;
    default:
      return Lexeme::kNone;
  }
}

unsigned char next_state(const State & state, char c, unsigned char & back)
{
  back = 0;
  for (const Transition & transition : state.transitions) {
    if (transition.to == S0) {
      break;  // end of the list (no transition leads back to S0)
    }
    if (c != '\0' && transition.first <= c && c <= transition.last) {
      return transition.to;
    }
  }
  back = state.back;
  return state.otherwise;
}

}  // namespace

std::pair<Lexeme, size_t> RuleLexer::scan(size_t at) const
{
  if (at >= text_.size()) {
    return {Lexeme::kEof, 0};
  }
  const std::string_view rest = text_.substr(at);
  size_t length = 0;
  unsigned char state = S0;
  do {
    // Past the end the lexer reads '\0' and stays there.
    const char c = length < rest.size() ? rest[length] : '\0';
    unsigned char back = 0;
    state = next_state(kStates[state], c, back);
    if (back == 0) {
      if (c != '\0') {
        ++length;
      }
    } else {
      length -= back - 1u;
    }
  } while (state < kFirstTerminal);
  return {lexeme_of(state), length};
}

}  // namespace client_layer
