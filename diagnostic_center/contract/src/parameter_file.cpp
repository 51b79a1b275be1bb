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

#include "diagnostic_center/contract/parameter_file.hpp"

#include "diagnostic_center/contract/names.hpp"

namespace diagnostic_center::contract {

bool ParametersBlockApplies(std::string_view node_key)
{
  if (node_key == "/**" || node_key == "**") {
    return true;
  }
  const std::size_t slash = node_key.rfind('/');
  const std::string_view name =
      slash == std::string_view::npos ? node_key : node_key.substr(slash + 1);
  return name == kNodeName || name == "*";
}

}  // namespace diagnostic_center::contract
