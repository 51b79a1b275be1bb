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

#include "rclcpp/exceptions/exceptions.hpp"

#include <string>

#include "client_layer/error_state.hpp"

namespace rclcpp {
namespace exceptions {

std::string NameValidationError::format_error(
    const char * name_type, const char * name, const char * error_msg, size_t invalid_index)
{
  std::string msg;
  msg += std::string("Invalid ") + name_type + ": " + error_msg + ":\n";
  msg += std::string("  '") + name + "'\n";
  msg += std::string("   ") + std::string(invalid_index, ' ') + "^\n";
  return msg;
}

RCLErrorBase::RCLErrorBase(int ret_in, const client_layer::ErrorState & error_state)
    : ret(ret_in),
      message(error_state.message),
      file(error_state.file),
      line(error_state.line_number),
      formatted_message(error_state.formatted())
{
}

RCLError::RCLError(
    int ret, const client_layer::ErrorState & error_state, const std::string & prefix)
    : RCLError(RCLErrorBase(ret, error_state), prefix)
{
}

RCLError::RCLError(const RCLErrorBase & base_exc, const std::string & prefix)
    : RCLErrorBase(base_exc), std::runtime_error(prefix + base_exc.formatted_message)
{
}

RCLBadAlloc::RCLBadAlloc(int ret, const client_layer::ErrorState & error_state)
    : RCLBadAlloc(RCLErrorBase(ret, error_state))
{
}

RCLBadAlloc::RCLBadAlloc(const RCLErrorBase & base_exc) : RCLErrorBase(base_exc), std::bad_alloc()
{
}

RCLInvalidArgument::RCLInvalidArgument(
    int ret, const client_layer::ErrorState & error_state, const std::string & prefix)
    : RCLInvalidArgument(RCLErrorBase(ret, error_state), prefix)
{
}

RCLInvalidArgument::RCLInvalidArgument(const RCLErrorBase & base_exc, const std::string & prefix)
    : RCLErrorBase(base_exc), std::invalid_argument(prefix + base_exc.formatted_message)
{
}

RCLInvalidROSArgsError::RCLInvalidROSArgsError(
    int ret, const client_layer::ErrorState & error_state, const std::string & prefix)
    : RCLInvalidROSArgsError(RCLErrorBase(ret, error_state), prefix)
{
}

RCLInvalidROSArgsError::RCLInvalidROSArgsError(
    const RCLErrorBase & base_exc, const std::string & prefix)
    : RCLErrorBase(base_exc), std::runtime_error(prefix + base_exc.formatted_message)
{
}

void throw_from_rcl_error(
    int ret, const std::string & prefix, const client_layer::ErrorState * error_state)
{
  if (ret == client_layer::kRetOk) {
    throw std::invalid_argument("ret is RCL_RET_OK");
  }
  if (error_state == nullptr) {
    throw std::runtime_error("rcl error state is not set");
  }
  const std::string formatted_prefix = prefix.empty() ? prefix : prefix + ": ";
  const RCLErrorBase base(ret, *error_state);
  switch (ret) {
    case client_layer::kRetBadAlloc:
      throw RCLBadAlloc(base);
    case client_layer::kRetInvalidArgument:
      throw RCLInvalidArgument(base, formatted_prefix);
    case client_layer::kRetInvalidRosArgs:
      throw RCLInvalidROSArgsError(base, formatted_prefix);
    default:
      throw RCLError(base, formatted_prefix);
  }
}

}  // namespace exceptions
}  // namespace rclcpp

namespace client_layer {

void throw_from_error(int ret, const std::string & prefix, const ErrorState & state)
{
  rclcpp::exceptions::throw_from_rcl_error(ret, prefix, &state);
}

}  // namespace client_layer
