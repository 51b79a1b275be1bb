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

// Symbol visibility macros. The layer is built as one library with default
// visibility, so they expand to nothing; they exist for source compatibility.
#ifndef RCLCPP__VISIBILITY_CONTROL_HPP_
#define RCLCPP__VISIBILITY_CONTROL_HPP_

#define RCLCPP_EXPORT
#define RCLCPP_IMPORT
#define RCLCPP_PUBLIC
#define RCLCPP_LOCAL
#define RCLCPP_PUBLIC_TYPE

#endif  // RCLCPP__VISIBILITY_CONTROL_HPP_
