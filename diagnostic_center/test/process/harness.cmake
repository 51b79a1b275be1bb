# Copyright 2026 Corvanta diagnostics team
#
# Licensed under the Apache License, Version 2.0 (the "License");
# you may not use this file except in compliance with the License.
# You may obtain a copy of the License at
#
#     http://www.apache.org/licenses/LICENSE-2.0
#
# Unless required by applicable law or agreed to in writing, software
# distributed under the License is distributed on an "AS IS" BASIS,
# WITHOUT WARRANTIES OR CONDITIONS OF ANY KIND, either express or implied.
# See the License for the specific language governing permissions and
# limitations under the License.
#
# SPDX-License-Identifier: Apache-2.0

# The harness of the process-level tests, in two parts:
#   process_test_harness: child processes and scratch directories, no ROS 2
#     (test/harness/); diagctl's tests link it too, as
#     diagnostic_center::process_test_harness.
#   diagnostic_center_e2e_harness: that, and for the node's process tests and
#     the end-to-end benchmarks (bench/node_e2e) log and record reading, the
#     robot-module probe and its background spinner.
include_guard(GLOBAL)
get_filename_component(_harness_dir ${CMAKE_CURRENT_LIST_DIR}/../harness ABSOLUTE)
add_library(process_test_harness STATIC
  ${_harness_dir}/diagnostic_center_test/child_process.cpp
  ${_harness_dir}/diagnostic_center_test/scratch_dir.cpp)
add_library(diagnostic_center::process_test_harness ALIAS process_test_harness)
target_include_directories(process_test_harness PUBLIC
  $<BUILD_INTERFACE:${_harness_dir}>
  $<INSTALL_INTERFACE:include/diagnostic_center>)
target_compile_features(process_test_harness PUBLIC cxx_std_17)

find_package(rclcpp REQUIRED)
find_package(corvanta_protocol REQUIRED)
add_library(diagnostic_center_e2e_harness STATIC
  ${CMAKE_CURRENT_LIST_DIR}/background_spinner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/log_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/robot_probe.cpp)
target_include_directories(diagnostic_center_e2e_harness PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(diagnostic_center_e2e_harness PUBLIC
  process_test_harness diagnostic_center::node_contract diagnostic_center::diag_srv_proto)
ament_target_dependencies(diagnostic_center_e2e_harness PUBLIC rclcpp corvanta_protocol)
