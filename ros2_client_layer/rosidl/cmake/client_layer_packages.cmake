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

# The package registry of the standalone build, and the find_package()
# override that makes in-tree packages look found.
#
# A ROS 2 package's CMake file says find_package(rclcpp REQUIRED) and links
# what that found. Here those packages are targets of this same build, so
# find_package() answers for them from a registry: every in-tree package
# registers its link targets with client_layer_register_package(), and
# ament_target_dependencies() (see client_layer_ament.cmake) links them.

include_guard(GLOBAL)

# Build tools that a package asks for but that have nothing to link.
set(CLIENT_LAYER_TOOL_PACKAGES
  ament_cmake ament_cmake_core ament_cmake_ros ament_cmake_gtest ament_cmake_gmock
  ament_cmake_pytest ament_lint_auto ament_lint_common
  rosidl_default_generators rosidl_default_runtime rosidl_cmake
  CACHE INTERNAL "Packages the standalone build provides as CMake commands only")

# Interface and library packages that the layer provides. A package in these
# lists is found even before its directory has been processed, so that the
# order of add_subdirectory() calls within the layer does not matter.
# Interface packages have their targets' names by convention; other packages
# must have registered their targets by the time they are linked. Packages of
# the project itself register when they are generated or built
# (client_layer_generate_interfaces, client_layer_register_package), so they
# are found by the directories added after theirs.
set(CLIENT_LAYER_INTERFACE_PACKAGES
  builtin_interfaces rcl_interfaces rmw_dds_common std_msgs diagnostic_msgs
  CACHE INTERNAL "Interface packages the client layer generates")
set(CLIENT_LAYER_PROVIDED_PACKAGES ${CLIENT_LAYER_INTERFACE_PACKAGES} rclcpp
  CACHE INTERNAL "Packages the standalone build provides as targets")

# client_layer_register_package(<name> TARGETS <targets...>)
# Records the targets that linking against package <name> means.
function(client_layer_register_package name)
  cmake_parse_arguments(ARG "" "" "TARGETS" ${ARGN})
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "client_layer_register_package(${name}): unexpected arguments: ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  set_property(GLOBAL PROPERTY CLIENT_LAYER_PACKAGE_${name}_TARGETS ${ARG_TARGETS})
  set_property(GLOBAL APPEND PROPERTY CLIENT_LAYER_REGISTERED_PACKAGES ${name})
  set(provided ${CLIENT_LAYER_PROVIDED_PACKAGES})
  if(NOT name IN_LIST provided)
    list(APPEND provided ${name})
    set(CLIENT_LAYER_PROVIDED_PACKAGES ${provided} CACHE INTERNAL "")
  endif()
endfunction()

# client_layer_package_targets(<out-var> <name>)
# The registered targets of <name>; <out-var> is empty when it has none.
function(client_layer_package_targets out_var name)
  get_property(targets GLOBAL PROPERTY CLIENT_LAYER_PACKAGE_${name}_TARGETS)
  set(${out_var} ${targets} PARENT_SCOPE)
endfunction()

# Answers find_package() for in-tree packages and forwards everything else to
# CMake's own implementation.
get_property(_client_layer_find_package_overridden GLOBAL PROPERTY CLIENT_LAYER_FIND_PACKAGE_OVERRIDDEN)
if(NOT _client_layer_find_package_overridden)
  set_property(GLOBAL PROPERTY CLIENT_LAYER_FIND_PACKAGE_OVERRIDDEN TRUE)
  macro(find_package _client_layer_name)
    if("${_client_layer_name}" IN_LIST CLIENT_LAYER_TOOL_PACKAGES OR
       "${_client_layer_name}" IN_LIST CLIENT_LAYER_PROVIDED_PACKAGES)
      set(${_client_layer_name}_FOUND TRUE)
      # What ament's <pkg>Config.cmake sets, for CMake files that use the variables.
      get_property(${_client_layer_name}_LIBRARIES GLOBAL
        PROPERTY CLIENT_LAYER_PACKAGE_${_client_layer_name}_TARGETS)
      set(${_client_layer_name}_TARGETS ${${_client_layer_name}_LIBRARIES})
      set(${_client_layer_name}_INCLUDE_DIRS "")
    else()
      _find_package(${ARGV})
    endif()
  endmacro()
endif()
