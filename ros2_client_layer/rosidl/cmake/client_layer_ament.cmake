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

# The ament_cmake commands that the repository's packages call, for the
# standalone build: the same package CMake files build here and in a ROS 2
# colcon workspace. Installing and exporting is colcon's business, so those
# commands do nothing here.

include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/client_layer_packages.cmake)

macro(ament_package)
endmacro()
macro(ament_export_dependencies)
endmacro()
macro(ament_export_include_directories)
endmacro()
macro(ament_export_libraries)
endmacro()
macro(ament_export_targets)
endmacro()
macro(ament_lint_auto_find_test_dependencies)
endmacro()

# ament_target_dependencies(<target> [PUBLIC|PRIVATE|INTERFACE] <packages...>)
# Links the targets each package registered, or what a package found by
# CMake's own find_package() provides (<pkg>_TARGETS, <pkg>_LIBRARIES and
# <pkg>_INCLUDE_DIRS, or a <pkg>::<pkg> target). Without a keyword the plain
# target_link_libraries() signature is used, as ament does.
function(ament_target_dependencies target)
  if(NOT TARGET ${target})
    message(FATAL_ERROR "ament_target_dependencies(): '${target}' is not a target")
  endif()
  set(keyword "")
  set(packages ${ARGN})
  # SYSTEM only changes how include directories are passed; targets carry theirs.
  list(REMOVE_ITEM packages SYSTEM)
  list(GET packages 0 first)
  if(first STREQUAL "PUBLIC" OR first STREQUAL "PRIVATE" OR first STREQUAL "INTERFACE")
    set(keyword ${first})
    list(REMOVE_AT packages 0)
  endif()
  set(include_keyword ${keyword})
  if(NOT include_keyword)
    set(include_keyword PUBLIC)
  endif()
  foreach(package IN LISTS packages)
    client_layer_package_targets(targets ${package})
    if(targets)
      target_link_libraries(${target} ${keyword} ${targets})
    elseif(package IN_LIST CLIENT_LAYER_INTERFACE_PACKAGES)
      # Generated further down the tree: link it by the name it will have.
      target_link_libraries(${target} ${keyword} ${package}::${package}__rosidl_generator_cpp)
    elseif(package IN_LIST CLIENT_LAYER_PROVIDED_PACKAGES)
      message(FATAL_ERROR "ament_target_dependencies(${target}): '${package}' is part of this "
        "build but has not registered its targets yet (client_layer_register_package)")
    elseif(DEFINED ${package}_TARGETS AND NOT "${${package}_TARGETS}" STREQUAL "")
      target_link_libraries(${target} ${keyword} ${${package}_TARGETS})
    elseif(DEFINED ${package}_LIBRARIES OR DEFINED ${package}_INCLUDE_DIRS)
      target_link_libraries(${target} ${keyword} ${${package}_LIBRARIES})
      if(${package}_INCLUDE_DIRS)
        target_include_directories(${target} ${include_keyword} ${${package}_INCLUDE_DIRS})
      endif()
    elseif(TARGET ${package}::${package})
      target_link_libraries(${target} ${keyword} ${package}::${package})
    else()
      message(FATAL_ERROR
        "ament_target_dependencies(${target}): package '${package}' provides nothing to link "
        "(not built in this tree, or find_package(${package}) was not called)")
    endif()
  endforeach()
endfunction()

# ament_add_gtest(<target> <sources...> [TIMEOUT <seconds>] [WORKING_DIRECTORY <dir>]
#                 [ENV <VAR=value>...] [APPEND_ENV <VAR=value>...] [SKIP_TEST]
#                 [SKIP_LINKING_MAIN_LIBRARIES])
# and ament_add_gmock() with the same arguments: a test executable linked with
# GoogleTest's (GoogleMock's) main, run by CTest.
function(_client_layer_add_google_test kind target)
  cmake_parse_arguments(ARG "SKIP_TEST;SKIP_LINKING_MAIN_LIBRARIES"
    "TIMEOUT;WORKING_DIRECTORY;RUNNER" "ENV;APPEND_ENV;APPEND_LIBRARY_DIRS" ${ARGN})
  if(NOT ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "ament_add_${kind}(${target}): no source files given")
  endif()
  if(NOT TARGET GTest::gtest_main)
    _find_package(GTest REQUIRED)
  endif()
  add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
  if(NOT ARG_SKIP_LINKING_MAIN_LIBRARIES)
    if(kind STREQUAL "gmock")
      target_link_libraries(${target} GTest::gmock_main GTest::gmock GTest::gtest)
    else()
      target_link_libraries(${target} GTest::gtest_main GTest::gtest)
    endif()
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 60)
  endif()
  if(NOT ARG_WORKING_DIRECTORY)
    set(ARG_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  add_test(NAME ${target} COMMAND ${target} WORKING_DIRECTORY ${ARG_WORKING_DIRECTORY})
  set_tests_properties(${target} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  set(environment ${ARG_ENV} ${ARG_APPEND_ENV})
  if(environment)
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "${environment}")
  endif()
  if(ARG_SKIP_TEST)
    set_tests_properties(${target} PROPERTIES DISABLED TRUE)
  endif()
endfunction()

function(ament_add_gtest target)
  _client_layer_add_google_test(gtest ${target} ${ARGN})
endfunction()

function(ament_add_gmock target)
  _client_layer_add_google_test(gmock ${target} ${ARGN})
endfunction()
