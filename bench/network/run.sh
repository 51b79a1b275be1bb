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

# Raise -> ExceptionHandle across a faulty link, the layer-built and the
# genuine-built node side by side; prints a table, asserts nothing.
# Usage: bash bench/network/run.sh [build dir]   (default: build)
#
# The build dir must have been configured with HUMBLE_WORKSPACE (see the top
# README), which builds link_forwarder and raise_stream and names the genuine
# workspace. Needs root: every process runs in network namespaces of the
# benchmark's own (interop/network/netlab.py), removed when it ends.
# Environment: BENCH_RAISES (300 per run), BENCH_RATE (20 raises/s).
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=$(cd "${1:-build}" && pwd)
cache_value() {
  sed -n "s/^$1:[A-Z]*=//p" "$build_dir/CMakeCache.txt"
}
export HUMBLE_WORKSPACE HUMBLE_ENV_SH
HUMBLE_WORKSPACE=$(cache_value HUMBLE_WORKSPACE)
HUMBLE_ENV_SH=$(cache_value HUMBLE_ENV_SH)
export LAYER_NODE=$build_dir/diagnostic_center/diagnostic_center
export LAYER_DIAGCTL=$build_dir/tools/diagctl/diagctl
export RAISE_STREAM=$build_dir/interop/network/raise_stream
export LINK_FORWARDER=$build_dir/interop/network/link_forwarder
for binary in "$LAYER_NODE" "$RAISE_STREAM" "$LINK_FORWARDER"; do
  if [ ! -x "$binary" ]; then
    echo "missing $binary: configure $build_dir with HUMBLE_WORKSPACE and build it" >&2
    exit 1
  fi
done
exec /usr/bin/python3 bench/network/link_bench.py
