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

# Every C and C++ source of the tree must be formatted as .clang-format says.
# Names each file that is not, with the places, and fails. The standalone
# build runs it as a test (ctest -R clang_format), and so does CI.
#
#   check_format.sh [REPO_ROOT]       fix a file with: clang-format -i FILE
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
clang_format=${CLANG_FORMAT:-clang-format}

# The files git tracks or would track; without git, every source outside the
# build trees.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -d '' files < <(git ls-files -z --cached --others --exclude-standard -- \
    '*.c' '*.cc' '*.cpp' '*.h' '*.hpp' | while IFS= read -r -d '' f; do
      [ -f "$f" ] && printf '%s\0' "$f"  # not if deleted but not yet committed
    done)
else
  mapfile -d '' files < <(find . \( -path './build*' -o -path ./install -o -path ./log \) -prune \
    -o -type f \( -name '*.c' -o -name '*.cc' -o -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) \
    -print0)
fi

if ! report=$("$clang_format" --dry-run --Werror "${files[@]}" 2>&1); then
  printf '%s\n' "$report" >&2
  printf 'not formatted as .clang-format says (clang-format -i FILE):\n' >&2
  printf '%s\n' "$report" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/  \1/p' | sort -u >&2
  exit 1
fi
echo "${#files[@]} C and C++ files formatted as .clang-format says ($("$clang_format" --version))"
