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

# Fifty layer-built centres on five lab hosts, watched from an operator host
# by diagctl fleet and its page; prints figures beside their aims, asserts
# nothing. Usage: bash bench/fleet/run.sh [build dir]   (default: build)
#
# Needs root (network namespaces of the benchmark's own, removed when it
# ends), the interop tests' binaries (configure with HUMBLE_WORKSPACE) and,
# for the page, chromium with python3-websocket. Environment: BENCH_HOSTS (5),
# BENCH_PER_HOST (10), BENCH_RAISERS (10), BENCH_RAISES_EACH (10),
# BENCH_IDLE_S (20).
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=$(cd "${1:-build}" && pwd)
export LAYER_NODE=$build_dir/diagnostic_center/diagnostic_center
export LAYER_DIAGCTL=$build_dir/tools/diagctl/diagctl
export RAISE_STREAM=$build_dir/interop/network/raise_stream
export LINK_FORWARDER=$build_dir/interop/network/link_forwarder
for binary in "$LAYER_NODE" "$LAYER_DIAGCTL" "$RAISE_STREAM"; do
  if [ ! -x "$binary" ]; then
    echo "missing $binary: configure $build_dir with HUMBLE_WORKSPACE and build it" >&2
    exit 1
  fi
done
exec /usr/bin/python3 bench/fleet/fleet_bench.py
