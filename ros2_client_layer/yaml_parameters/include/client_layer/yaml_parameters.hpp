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

// Reading parameter files and `-p` values as rcl's YAML parameter parser
// does: the same libyaml events through the same state machine, with the
// same results and messages. Aliases are refused (never expanded), every
// document of a file is read, and input that is not valid UTF-8 YAML text
// (a directory, a device full of zeros ...) fails at its first byte.
#ifndef CLIENT_LAYER__YAML_PARAMETERS_HPP_
#define CLIENT_LAYER__YAML_PARAMETERS_HPP_

#include <stdexcept>
#include <string>

#include "client_layer/parameter_override_set.hpp"

namespace client_layer {
namespace yaml_parameters {

/// Input rcl would reject; what() is rcl's message.
class YamlError : public std::runtime_error
{
public:
  using std::runtime_error::runtime_error;
};

/// rcl_parse_yaml_file: the parameters of the file at `path`, added to `out`.
void parse_file(const std::string & path, ParameterOverrideSet & out);

/// rcl_parse_yaml_value: the value of a `-p node_key:name:=yaml_text` rule, added to `out`.
void parse_value(
    const std::string & node_key, const std::string & name, const std::string & yaml_text,
    ParameterOverrideSet & out);

}  // namespace yaml_parameters
}  // namespace client_layer

#endif  // CLIENT_LAYER__YAML_PARAMETERS_HPP_
