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

#include "diagctl/root_cause_query.hpp"

#include <corvanta_protocol/srv/diagnostic_srv.hpp>

#include "diagctl/diag_srv_payload.hpp"
#include "robot/diag_srv.pb.h"

namespace diagctl {

using corvanta_protocol::srv::DiagnosticSrv;
using Clock = std::chrono::steady_clock;

std::optional<std::vector<std::int32_t>> query_root_causes(
    const RosSession & session, std::chrono::milliseconds timeout, std::string & error)
{
  const auto deadline = Clock::now() + timeout;
  const std::string service = session.qualified(kQueryService);
  const auto timed_out = [&] {
    char seconds[32];
    std::snprintf(seconds, sizeof(seconds), "%g", timeout.count() / 1000.0);
    return service + " did not answer within " + seconds + " s: " + kNodeNotFoundHint;
  };

  auto client = session.node()->create_client<DiagnosticSrv>(kQueryService);
  if (!client->wait_for_service(timeout)) {
    error = timed_out();
    return std::nullopt;
  }
  auto request = std::make_shared<DiagnosticSrv::Request>();
  request->cmd = diag_srv::QUERY_DIAG_ROOT_CAUSE;
  auto answer = client->async_send_request(request);
  const auto remaining = std::max(deadline - Clock::now(), Clock::duration::zero());
  if (rclcpp::spin_until_future_complete(session.node(), answer, remaining) !=
      rclcpp::FutureReturnCode::SUCCESS) {
    error = timed_out();
    return std::nullopt;
  }
  const auto response = answer.get();
  if (response->result != diag_srv::DIAG_SRV_SUCCESS) {
    error = service + " answered with result " + std::to_string(response->result);
    return std::nullopt;
  }
  return decode_root_causes(response->data, error);
}

}  // namespace diagctl
