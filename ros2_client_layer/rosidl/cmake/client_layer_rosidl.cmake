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

# Interface generation for the standalone build: rosidl_generate_interfaces()
# and rosidl_get_typesupport_target() as ROS 2 packages call them, on top of
# client_layer_generate_interfaces(), which runs the layer's C++ generator.

include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/client_layer_packages.cmake)

set(CLIENT_LAYER_ROSIDL_GENERATOR "${CMAKE_CURRENT_LIST_DIR}/../generator/generate_cpp.py"
  CACHE INTERNAL "The layer's .msg/.srv to C++ generator")
file(GLOB CLIENT_LAYER_ROSIDL_GENERATOR_SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/../generator/client_layer_rosidl/*.py")
set(CLIENT_LAYER_ROSIDL_GENERATOR_SOURCES ${CLIENT_LAYER_ROSIDL_GENERATOR_SOURCES}
  CACHE INTERNAL "Sources of the generator, for rebuilding when it changes")

# client_layer_generate_interfaces(<package> <files...> [DEPENDENCIES <packages...>]
#                                  [TARGET <name>])
# Generates the C++ headers of interface package <package> from its .msg and
# .srv files (relative to the current source directory) at build time, and
# creates the INTERFACE library <target>__rosidl_generator_cpp (ALIAS
# <package>::<target>__rosidl_generator_cpp) that carries the generated
# include directory, the dependencies' targets and the CDR runtime. <target>
# defaults to <package>; it is also the name of the generating custom target.
# Registers <package> for find_package()/ament_target_dependencies().
function(client_layer_generate_interfaces package)
  cmake_parse_arguments(ARG "" "TARGET" "DEPENDENCIES" ${ARGN})
  if(NOT ARG_TARGET)
    set(ARG_TARGET ${package})
  endif()
  set(output_dir "${CMAKE_CURRENT_BINARY_DIR}/rosidl_generator_cpp")
  set(files "")
  foreach(file IN LISTS ARG_UNPARSED_ARGUMENTS)
    # rosidl also accepts "<base path>:<relative path>"; keep the file part.
    if(file MATCHES "^(.+):([^:]+)$" AND NOT IS_ABSOLUTE "${file}")
      set(file "${CMAKE_MATCH_1}/${CMAKE_MATCH_2}")
    endif()
    get_filename_component(file "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    if(NOT EXISTS "${file}")
      message(FATAL_ERROR "rosidl_generate_interfaces(${ARG_TARGET}): no such file: ${file}")
    endif()
    list(APPEND files "${file}")
  endforeach()
  if(NOT files)
    message(FATAL_ERROR "rosidl_generate_interfaces(${ARG_TARGET}): no interface files given")
  endif()

  set(dependency_args "")
  set(dependency_targets "")
  foreach(dependency IN LISTS ARG_DEPENDENCIES)
    list(APPEND dependency_args --dependency ${dependency})
    client_layer_package_targets(targets ${dependency})
    if(NOT targets)
      # Generated later in the tree: link it by the name it will have.
      set(targets ${dependency}::${dependency}__rosidl_generator_cpp)
    endif()
    list(APPEND dependency_targets ${targets})
  endforeach()

  set(command "${CLIENT_LAYER_PYTHON_EXECUTABLE}" "${CLIENT_LAYER_ROSIDL_GENERATOR}"
    --package ${package} --output-dir "${output_dir}" ${dependency_args})
  execute_process(COMMAND ${command} --list-outputs ${files}
    OUTPUT_VARIABLE outputs RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "rosidl_generate_interfaces(${ARG_TARGET}): listing the generated headers failed")
  endif()
  string(REPLACE "\n" ";" outputs "${outputs}")
  list(FILTER outputs EXCLUDE REGEX "^$")

  # The generator leaves unchanged headers untouched so that their users do not
  # recompile; the stamp file records when it last ran.
  set(stamp "${output_dir}/${package}.stamp")
  add_custom_command(
    OUTPUT "${stamp}"
    BYPRODUCTS ${outputs}
    COMMAND ${command} ${files}
    COMMAND "${CMAKE_COMMAND}" -E touch "${stamp}"
    DEPENDS ${files} "${CLIENT_LAYER_ROSIDL_GENERATOR}" ${CLIENT_LAYER_ROSIDL_GENERATOR_SOURCES}
    COMMENT "Generating C++ code for ROS interfaces of ${package}"
    VERBATIM)
  add_custom_target(${ARG_TARGET} ALL DEPENDS "${stamp}")

  set(library ${ARG_TARGET}__rosidl_generator_cpp)
  add_library(${library} INTERFACE)
  add_library(${package}::${library} ALIAS ${library})
  add_dependencies(${library} ${ARG_TARGET})
  target_include_directories(${library} INTERFACE "${output_dir}")
  target_link_libraries(${library} INTERFACE client_layer::rosidl_runtime ${dependency_targets})

  # The type support is part of the generated headers; the name exists for
  # rosidl_get_typesupport_target().
  set(typesupport ${ARG_TARGET}__rosidl_typesupport_cpp)
  add_library(${typesupport} INTERFACE)
  add_library(${package}::${typesupport} ALIAS ${typesupport})
  target_link_libraries(${typesupport} INTERFACE ${library})

  client_layer_register_package(${package} TARGETS ${package}::${library})
endfunction()

# rosidl_generate_interfaces(<target> <files...> [DEPENDENCIES <packages...>]
#   [LIBRARY_NAME <name>] [SKIP_INSTALL] [SKIP_GROUP_MEMBERSHIP_CHECK] [ADD_LINTER_TESTS])
# As in ROS 2: the package is ${PROJECT_NAME}, usually also <target>.
function(rosidl_generate_interfaces target)
  cmake_parse_arguments(ARG "SKIP_INSTALL;SKIP_GROUP_MEMBERSHIP_CHECK;ADD_LINTER_TESTS"
    "LIBRARY_NAME" "DEPENDENCIES" ${ARGN})
  client_layer_generate_interfaces(${PROJECT_NAME} ${ARG_UNPARSED_ARGUMENTS}
    DEPENDENCIES ${ARG_DEPENDENCIES} TARGET ${target})
endfunction()

# rosidl_get_typesupport_target(<out-var> <target> <typesupport>)
function(rosidl_get_typesupport_target out_var target typesupport)
  if(NOT typesupport MATCHES "^rosidl_typesupport_cpp$|^rosidl_generator_cpp$")
    message(FATAL_ERROR "rosidl_get_typesupport_target(): only the C++ type support exists "
      "in this build, not '${typesupport}'")
  endif()
  set(${out_var} ${target}__${typesupport} PARENT_SCOPE)
endfunction()
