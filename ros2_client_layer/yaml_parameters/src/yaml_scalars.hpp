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

// How rcl's YAML parameter parser types a scalar and stores it in a
// parameter's value slots (rcl's get_value and parse_value).
#ifndef YAML_SCALARS_HPP_
#define YAML_SCALARS_HPP_

#include <cstddef>
#include <string>

#include "client_layer/parameter_override_set.hpp"
#include "rclcpp/parameter_value.hpp"

namespace client_layer {
namespace yaml_parameters {

/// Type a scalar as rcl does: unless quoted, booleans (y/yes/true/on ... in
/// rcl's spellings), integers (strtoll base 0), doubles (strtod, .inf/.nan);
/// anything else is a string.
rclcpp::ParameterValue type_scalar(const std::string & text, bool quoted);

/// The element type of the sequence being read (rcl's seq_data_type).
enum class ElementType
{
  kUnknown,
  kBool,
  kInteger,
  kDouble,
  kString
};

/// One scalar event as rcl sees it: the text up to its first NUL, the length
/// libyaml reports, whether it was quoted and its 1-based line.
struct Scalar
{
  std::string text;
  size_t length = 0;
  bool quoted = false;
  unsigned line = 0;
};

/// Store `scalar` in `value` as rcl does: outside a sequence it fills its
/// type's slot; the first element of a sequence starts a new array of its
/// type and the others must share that type. Throws YamlError with rcl's
/// message for an empty plain scalar or a mixed sequence.
void store_scalar(
    const Scalar & scalar, bool in_sequence, ElementType & sequence_type, OverrideValue & value);

}  // namespace yaml_parameters
}  // namespace client_layer

#endif  // YAML_SCALARS_HPP_
