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

# Runs the end-to-end benchmarks of the diagnostic_center process and prints
# their figures. Usage: bench/node_e2e/run.sh [build dir]  (default: build)
# The node and the benchmark talk on ROS_DOMAIN_ID (default 98), on loopback
# (scripts/cyclonedds_loopback.xml) unless CYCLONEDDS_URI names another
# configuration.
#
# By default only the quick set runs (idle, latency, throughput: about a
# minute). The long load runs come after it only when asked:
#   FLOOD=1  1,000,000 events at 40,000/s (FLOOD_EVENTS, FLOOD_RATE), about a minute
#   SOAK=1   600 s at 1,000 events/s (SOAK_SECONDS, SOAK_RATE), an RSS line a minute
# for example: FLOOD=1 SOAK=1 bash bench/node_e2e/run.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=${1:-build}
bench="$build_dir/bench/node_e2e/node_e2e_bench"
if [ ! -x "$bench" ]; then
  echo "missing $bench: build it with cmake --build $build_dir --target node_e2e_bench" >&2
  exit 1
fi
export ROS_DOMAIN_ID=${ROS_DOMAIN_ID:-98}
"$bench" idle "${IDLE_SECONDS:-10}"
"$bench" latency "${LATENCY_SAMPLES:-500}"
"$bench" throughput "${THROUGHPUT_SECONDS:-3}"
if [ "${FLOOD:-0}" = 1 ]; then
  "$bench" flood "${FLOOD_EVENTS:-1000000}" "${FLOOD_RATE:-40000}"
fi
if [ "${SOAK:-0}" = 1 ]; then
  "$bench" soak "${SOAK_SECONDS:-600}" "${SOAK_RATE:-1000}"
fi
