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

// The fleet as `diagctl fleet` prints it: a table for people, one JSON
// document per snapshot for programs (also /api/fleet of the dashboard).
#ifndef DIAGCTL__FLEET_VIEW_HPP_
#define DIAGCTL__FLEET_VIEW_HPP_

#include <chrono>
#include <string>

#include "diagctl/fleet_model.hpp"

namespace diagctl {

// "12s", "3m", "2h", "4d"; "0s" for a negative age (clocks apart).
std::string short_age(std::chrono::nanoseconds age);

// Columns ROBOT DOMAIN STATE SINCE ROOTS CONSEQ NEWEST RAISE STATUS EH/MIN,
// one row per robot; "No diagnosis centre found" when there is none.
std::string fleet_table(const FleetSnapshot & snapshot);

// {"robots":[{"namespace","domain","state","state_since","root_causes",
// "consequences","newest_raise":null|{"fault_id","description","age_s"},
// "robot_status","exception_handles_per_minute","failures"}],"time"}; times
// in seconds since the epoch. One line, no newline.
std::string fleet_json(const FleetSnapshot & snapshot);

}  // namespace diagctl

#endif  // DIAGCTL__FLEET_VIEW_HPP_
