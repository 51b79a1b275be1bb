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

// Which blocks of a ROS 2 parameter file configure the diagnosis centre, for
// programs that read the node's parameter file themselves (diagctl).
#ifndef DIAGNOSTIC_CENTER__CONTRACT__PARAMETER_FILE_HPP_
#define DIAGNOSTIC_CENTER__CONTRACT__PARAMETER_FILE_HPP_

#include <string_view>

namespace diagnostic_center::contract {

// The key of the parameter block under each node key.
inline constexpr char kParametersKey[] = "ros__parameters";

// Whether the parameter block under `node_key` (the nested keys above the
// block joined by '/', such as "robot1/diagnostic_center") may configure the
// node: "/**" and "**", and every key whose last name is the node's or "*".
// The namespace part is not compared: a reader of the file alone does not
// know the namespace the node runs in. Pure, and safe from any thread.
bool ParametersBlockApplies(std::string_view node_key);

}  // namespace diagnostic_center::contract

#endif  // DIAGNOSTIC_CENTER__CONTRACT__PARAMETER_FILE_HPP_
