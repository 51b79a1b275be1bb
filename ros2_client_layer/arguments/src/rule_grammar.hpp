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

// The grammar of the rules that follow -r, -p and --log-level: what a rule
// may look like, and what it means once parsed. Private to the arguments
// library; its errors are turned into rcl's messages by the argv walk.
#ifndef CLIENT_LAYER__ARGUMENTS__RULE_GRAMMAR_HPP_
#define CLIENT_LAYER__ARGUMENTS__RULE_GRAMMAR_HPP_

#include <stdexcept>
#include <string>

#include "client_layer/arguments.hpp"

namespace client_layer::rule_grammar {

/// A rule that does not parse; what() is the inner error rcl reports.
class RuleError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// "[node:]match:=replacement", "__node:=name" or "__ns:=/namespace".
RemapRule parse_remap_rule(const std::string & text);

/// "[node:]name:=yaml value", added to `overrides` under the node's key.
void parse_param_rule(const std::string & text, ParameterOverrideSet & overrides);

/// "severity" or "logger:=severity".
void parse_log_level_rule(const std::string & text, LogLevels & levels);

}  // namespace client_layer::rule_grammar

#endif  // CLIENT_LAYER__ARGUMENTS__RULE_GRAMMAR_HPP_
