#!/usr/bin/env bash
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

# Runs clang-tidy with the root .clang-tidy over the project's own C++: the
# node, the client layer, the tools and the interop tests, with their headers;
# not the generated code under the build tree, the benchmarks or the fuzzers.
# Any finding fails. Needs a configured and built tree (the generated message
# headers), as scripts/build.sh or test.sh leave it in build/.
#
#   clang_tidy.sh [BUILD_DIR] [FILE_REGEX]   e.g. clang_tidy.sh build 'diagctl/src'
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build}
only=${2:-}
if [ ! -f "$build/compile_commands.json" ]; then
  echo "clang_tidy: no $build/compile_commands.json; build the tree first (scripts/build.sh)" >&2
  exit 2
fi
own="^$root/(diagnostic_center|ros2_client_layer|tools|interop)/"
# run-clang-tidy reads the file filter as a Python regex, so a lookahead
# narrows it to FILE_REGEX.
files="^$root/${only:+(?=.*($only))}(diagnostic_center|ros2_client_layer|tools|interop)/"
count=$(python3 -c '
import json, re, sys
print(sum(1 for e in json.load(open(sys.argv[1])) if re.search(sys.argv[2], e["file"])))
' "$build/compile_commands.json" "$files")
if [ "$count" -eq 0 ]; then
  echo "clang_tidy: no source in $build/compile_commands.json matches $files" >&2
  exit 2
fi
echo "clang_tidy: $count sources, $(nproc) cores"
# The build flags are GCC's: clang need not know each warning option.
log=$build/clang_tidy.log
status=0
run-clang-tidy-14 -quiet -j"${CLANG_TIDY_JOBS:-2}" -p "$build" \
  -header-filter="$own" -extra-arg=-Wno-unknown-warning-option "$files" >"$log" 2>&1 || status=$?
# The findings only: not the command of each file, nor the counts of what the
# filters kept out; plain text for CI logs.
sed 's/\x1b\[[0-9;]*m//g' "$log" |
  grep -v -E '^clang-tidy-14 |^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$|^Suppressed [0-9]+ warnings|^Use -header-filter' ||
  true
if [ "$status" -ne 0 ]; then
  echo "clang_tidy: findings above (also in $log); fix them or, where a check is wrong, NOLINT(check) with the reason" >&2
  exit 1
fi
echo "clang_tidy: no finding in $count sources and their headers"
