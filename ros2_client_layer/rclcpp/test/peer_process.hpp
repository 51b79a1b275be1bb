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

// Starts rclcpp_test_peer in a mode and talks to it over its standard output.
// `args` are the peer's own: the mode first, then its options (see
// rclcpp_test_peer.cpp). Lifetime and errors as layer_test::ChildProcess.
#ifndef PEER_PROCESS_HPP_
#define PEER_PROCESS_HPP_

#include <string>
#include <utility>
#include <vector>

#include "child_process.hpp"

class PeerProcess : public layer_test::ChildProcess
{
public:
  explicit PeerProcess(std::vector<std::string> args)
      : ChildProcess(RCLCPP_TEST_PEER, std::move(args))
  {
  }
};

#endif  // PEER_PROCESS_HPP_
