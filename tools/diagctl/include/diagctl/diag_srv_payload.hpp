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

// Decoding of the query service's payload, a serialized diag_srv.DiagSrvResp.
#ifndef DIAGCTL__DIAG_SRV_PAYLOAD_HPP_
#define DIAGCTL__DIAG_SRV_PAYLOAD_HPP_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace diagctl {

// The root-cause ids in payload order; nothing (and `error` set) when the
// bytes are not a DiagSrvResp. Zero bytes are a valid, empty answer.
std::optional<std::vector<std::int32_t>> decode_root_causes(
    const std::string & data, std::string & error);

}  // namespace diagctl

#endif  // DIAGCTL__DIAG_SRV_PAYLOAD_HPP_
