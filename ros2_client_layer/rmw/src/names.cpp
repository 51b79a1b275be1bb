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

// DDS names for ROS names, and the default domain configuration.
#include <string>

#include "client_layer/rmw/transport.hpp"
#include "domain.hpp"

namespace client_layer::rmw {

std::string loopback_domain_configuration() { return detail::loopback_domain_config(); }

std::string topic_to_dds(const std::string & fully_qualified_name)
{
  return "rt" + fully_qualified_name;
}

std::string service_request_to_dds(const std::string & fully_qualified_name)
{
  return "rq" + fully_qualified_name + "Request";
}

std::string service_reply_to_dds(const std::string & fully_qualified_name)
{
  return "rr" + fully_qualified_name + "Reply";
}

}  // namespace client_layer::rmw
