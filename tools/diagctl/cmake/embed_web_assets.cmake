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

# Writes OUTPUT, a C++ source defining diagctl::find_web_asset() over the
# files given in ASSETS (a ;-list of paths), each served as "/<file name>".
#   cmake -DOUTPUT=web_assets.cpp -DASSETS="a.html;b.js" -P embed_web_assets.cmake
set(_arrays "")
set(_table "")
set(_index 0)
foreach(_file IN LISTS ASSETS)
  get_filename_component(_name "${_file}" NAME)
  get_filename_component(_ext "${_file}" LAST_EXT)
  if(_ext STREQUAL ".html")
    set(_type "text/html; charset=utf-8")
  elseif(_ext STREQUAL ".js")
    set(_type "text/javascript; charset=utf-8")
  elseif(_ext STREQUAL ".css")
    set(_type "text/css; charset=utf-8")
  elseif(_ext STREQUAL ".svg")
    set(_type "image/svg+xml")
  else()
    set(_type "application/octet-stream")
  endif()
  file(READ "${_file}" _hex HEX)
  string(LENGTH "${_hex}" _hex_length)
  math(EXPR _size "${_hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," _bytes "${_hex}")
  string(APPEND _arrays "const char kAsset${_index}[] = {${_bytes} '\\0'};\n")
  string(APPEND _table
    "    {\"/${_name}\", \"${_type}\", std::string_view(kAsset${_index}, ${_size})},\n")
  math(EXPR _index "${_index} + 1")
endforeach()

# The C++ around the data is in web_assets.cpp.in.
set(ASSET_ARRAYS "${_arrays}")
set(ASSET_TABLE "${_table}")
set(ASSET_COUNT ${_index})
configure_file("${CMAKE_CURRENT_LIST_DIR}/web_assets.cpp.in" "${OUTPUT}.tmp" @ONLY)
# Only a changed file is replaced, so that an unchanged page rebuilds nothing.
configure_file("${OUTPUT}.tmp" "${OUTPUT}" COPYONLY)
file(REMOVE "${OUTPUT}.tmp")
