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

// Decoding diag_srv.DiagSrvResp as the node serializes it.
#include <gtest/gtest.h>

#include "diagctl/diag_srv_payload.hpp"

namespace diagctl {
namespace {

using Ids = std::vector<std::int32_t>;

Ids decode(const std::string & bytes)
{
  std::string error;
  const auto ids = decode_root_causes(bytes, error);
  EXPECT_TRUE(ids) << error;
  return ids.value_or(Ids{});
}

TEST(DiagSrvPayload, DecodesPackedUnpackedAndEmpty)
{
  EXPECT_EQ(decode(""), Ids{});
  EXPECT_EQ(decode("\x0a\x01\x05"), Ids{5});
  EXPECT_EQ(decode("\x0a\x03\x03\xac\x02"), (Ids{3, 300}));
  EXPECT_EQ(decode(std::string("\x0a\x0a\xff\xff\xff\xff\xff\xff\xff\xff\xff\x01", 12)), Ids{-1});
  EXPECT_EQ(decode(std::string("\x08\x07\x08\x00", 4)), (Ids{7, 0}));  // unpacked form
  EXPECT_EQ(decode("\x0a\x01\x05\x10\x01"), Ids{5});  // unknown field 2 carried along
}

TEST(DiagSrvPayload, RejectsBrokenBytes)
{
  for (const std::string bytes : {"\x0a\x05\x01", "\x0a", "\x0a\x01\x80", "\xff"}) {
    std::string error;
    EXPECT_FALSE(decode_root_causes(bytes, error)) << bytes.size();
    EXPECT_NE(error.find("not a diag_srv.DiagSrvResp"), std::string::npos);
  }
}

}  // namespace
}  // namespace diagctl
