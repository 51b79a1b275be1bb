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

// The error description rcl attaches to a failed call, and rcl's return codes,
// as the RCLError family of rclcpp exceptions carries them.
#ifndef CLIENT_LAYER__ERROR_STATE_HPP_
#define CLIENT_LAYER__ERROR_STATE_HPP_

#include <cstddef>
#include <string>

namespace client_layer {

/// rcl_ret_t values the layer reports (same numbers as rcl).
constexpr int kRetOk = 0;
constexpr int kRetError = 1;
constexpr int kRetBadAlloc = 10;
constexpr int kRetInvalidArgument = 11;
constexpr int kRetInvalidRosArgs = 1003;

/// What rcl_get_error_state() returns: a message and where it was set. A
/// default-constructed one is rcl's state when a failure set no message.
struct ErrorState
{
  std::string message;
  std::string file;
  size_t line_number = 0;

  bool is_set() const { return !message.empty() || !file.empty(); }

  /// rcl_get_error_string(): "<message>, at <file>:<line>", or "error not set".
  std::string formatted() const
  {
    if (!is_set()) {
      return "error not set";
    }
    return message + ", at " + file + ":" + std::to_string(line_number);
  }
};

/// Throws the rclcpp exception rclcpp::exceptions::throw_from_rcl_error picks
/// for `ret`: RCLBadAlloc, RCLInvalidArgument, RCLInvalidROSArgsError or
/// RCLError; a non-empty prefix is followed by ": " in what().
[[noreturn]] void throw_from_error(int ret, const std::string & prefix, const ErrorState & state);

}  // namespace client_layer

#define CLIENT_LAYER_ERROR_STATE(message) \
  ::client_layer::ErrorState { (message), __FILE__, static_cast<size_t>(__LINE__) }

#endif  // CLIENT_LAYER__ERROR_STATE_HPP_
