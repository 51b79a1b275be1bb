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

# Runs diagctl records on generated record files beside grep -c and prints
# MB/s, time to the first output byte and peak RSS of each.
# Usage: bench/records/run.sh [build dir] [TOTAL_MB [FILES [DIR]]]
#   (default: build, 1000 MB in 300 files under $TMPDIR, removed afterwards)
# DIAGCTL=path runs another build's diagctl instead, to compare.
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=${1:-build}
bench="$build_dir/bench/records/records_bench"
if [ ! -x "$bench" ]; then
  echo "missing $bench: build it with cmake --build $build_dir --target records_bench" >&2
  exit 1
fi
shift || true
"$bench" "$@"
