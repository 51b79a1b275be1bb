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

# Runs diagctl dashboard under 100 open event streams, 50 trickling sockets
# and 4 requests with endless headers, and prints GET / times (p50, p99, max),
# the times of /api/records pages on generated records and the dashboard's RSS.
# Usage: bench/dashboard/run.sh [build dir] [--streams N] [--tricklers N]
#          [--huge N] [--gets N] [--records-mb N] [--dir DIR] [--diagctl PATH]
# DDS stays on loopback; ROS_DOMAIN_ID defaults to 222.
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=build
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
  build_dir=$1
  shift
fi
bench="$build_dir/bench/dashboard/dashboard_bench"
if [ ! -x "$bench" ]; then
  echo "missing $bench: build it with cmake --build $build_dir --target dashboard_bench" >&2
  exit 1
fi
export CYCLONEDDS_URI="file://$PWD/scripts/cyclonedds_loopback.xml"
export ROS_DOMAIN_ID=${ROS_DOMAIN_ID:-222}
ulimit -n 4096 2>/dev/null || true
"$bench" "$@"
