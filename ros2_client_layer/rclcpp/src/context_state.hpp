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

// What a valid context holds beyond its public interface: the command line it
// was initialised with and the DDS participant its nodes share.
#ifndef CLIENT_LAYER__CONTEXT_STATE_HPP_
#define CLIENT_LAYER__CONTEXT_STATE_HPP_

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "client_layer/arguments.hpp"
#include "client_layer/rmw/transport.hpp"
#include "rclcpp/context.hpp"

namespace client_layer {

struct ContextState
{
  std::vector<std::string> arguments;
  // The ROS arguments of the command line: remappings and parameter
  // overrides for every node of the context.
  std::shared_ptr<const Arguments> global_arguments;
  std::uint32_t domain_id = 0;
  // What the participant is created with: the enclave (--enclave),
  // ROS_LOCALHOST_ONLY and the security settings, read when the context is
  // initialised.
  rmw::ParticipantOptions participant_options;

  // The DDS participant of the context's nodes: created with the first
  // node, gone with the last user (node or entity), as in Humble, whose
  // middleware deletes its participant with the last node and makes a new
  // one for the next.
  std::mutex participant_mutex;
  std::weak_ptr<rmw::Participant> participant;
};

// Internal access to a context's state, for the node and entity code.
class ContextAccess
{
public:
  // The state of a valid context; throws std::runtime_error otherwise.
  static std::shared_ptr<ContextState> state(const rclcpp::Context & context);

  // The context's participant, created when it has none.
  // Throws std::runtime_error when the context is not valid or DDS fails.
  static std::shared_ptr<rmw::Participant> participant(const rclcpp::Context & context);
};

}  // namespace client_layer

#endif  // CLIENT_LAYER__CONTEXT_STATE_HPP_
