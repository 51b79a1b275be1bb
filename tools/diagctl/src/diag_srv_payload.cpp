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

#include "diagctl/diag_srv_payload.hpp"

#include "robot/diag_srv.pb.h"

namespace diagctl {

std::optional<std::vector<std::int32_t>> decode_root_causes(
    const std::string & data, std::string & error)
{
  diag_srv::DiagSrvResp response;
  if (!response.ParseFromString(data)) {
    error = "the answer's payload (" + std::to_string(data.size()) +
            " bytes) is not a diag_srv.DiagSrvResp";
    return std::nullopt;
  }
  return std::vector<std::int32_t>(
      response.root_cause_list().begin(), response.root_cause_list().end());
}

}  // namespace diagctl
