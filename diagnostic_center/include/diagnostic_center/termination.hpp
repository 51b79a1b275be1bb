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

// How the running node ends on SIGINT and SIGTERM: at once, by SIGKILL, so
// that no callback finishes and no destructor runs. Only the fault records
// already handed to the recorder are appended first, whole lines only,
// within about a second.
#ifndef DIAGNOSTIC_CENTER__TERMINATION_HPP_
#define DIAGNOSTIC_CENTER__TERMINATION_HPP_

namespace diagnostic_center {

// Replaces the handling of SIGTERM and SIGINT (rclcpp's until then) as above.
// Called once, by the process entry, when start-up has succeeded.
void InstallTerminationHandling();

}  // namespace diagnostic_center

#endif  // DIAGNOSTIC_CENTER__TERMINATION_HPP_
