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

# The whole system in one command: starts the diagnosis centre on its example
# configuration, replays a failure cascade with diagctl while diagctl watch
# follows it, then shows the root causes (diagctl query) and the fault records
# (diagctl records) and the diagnosis tree (diagctl tree), and stops the node.
# diagctl dashboard runs in the background all along (on a free port, or
# DASHBOARD_PORT): its address is printed at the start and at the end; run
# interactively, the demo waits for Enter before it stops the node and the
# dashboard.
#   bash scripts/demo.sh            (after scripts/build.sh; BUILD_DIR=build)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_DIR:-build}
node_bin=$build/diagnostic_center/diagnostic_center
diagctl=$build/tools/diagctl/diagctl
config=diagnostic_center/config/diagnostic_center.yaml
scenario=tools/diagctl/scenarios/motor_bus_cascade.yaml
for binary in "$node_bin" "$diagctl"; do
  if [ ! -x "$binary" ]; then
    echo "demo: $binary not found; build first: bash scripts/build.sh" >&2
    exit 1
  fi
done

# A domain of its own, so that the demo meets no other running node, on
# loopback unless CYCLONEDDS_URI is set (set and empty: Cyclone DDS's defaults).
export ROS_DOMAIN_ID=${ROS_DOMAIN_ID:-210}
export CYCLONEDDS_URI=${CYCLONEDDS_URI-file://$(pwd)/scripts/cyclonedds_loopback.xml}
work=$(mktemp -d /tmp/diagctl_demo.XXXXXX)
records=$work/fault_record
node_pid=""
watch_pid=""
dashboard_pid=""
cleanup() {
  if [ -n "$watch_pid" ]; then kill "$watch_pid" 2>/dev/null || true; fi
  if [ -n "$dashboard_pid" ]; then kill -INT "$dashboard_pid" 2>/dev/null || true; fi
  if [ -n "$node_pid" ]; then kill -INT "$node_pid" 2>/dev/null || true; { wait "$node_pid"; } 2>/dev/null || true; fi
}
trap cleanup EXIT

step() { printf '\n\033[1m== %s\033[0m\n' "$*"; }

step "Starting the diagnosis centre (domain $ROS_DOMAIN_ID, records in $records)"
echo "\$ $node_bin --ros-args --params-file $config -p diagnostic_center:fault_record_dir:=$records"
"$node_bin" --ros-args --params-file "$config" -p "diagnostic_center:fault_record_dir:=$records" >"$work/node.log" 2>&1 &
node_pid=$!
"$diagctl" query --timeout 20 >/dev/null
echo "node is up; its log: $work/node.log"

step "Serving the dashboard in the background (diagctl dashboard)"
"$diagctl" dashboard --port "${DASHBOARD_PORT:-0}" --params "$config" "$records" \
  >"$work/dashboard.out" 2>"$work/dashboard.log" &
dashboard_pid=$!
dashboard_url=""
for _ in $(seq 100); do  # its first line is the address
  dashboard_url=$(sed -n 's/^dashboard: //p' "$work/dashboard.out")
  if [ -n "$dashboard_url" ] || ! kill -0 "$dashboard_pid" 2>/dev/null; then break; fi
  sleep 0.1
done
echo "open ${dashboard_url:-(it did not start, see $work/dashboard.log)} to follow the demo live"

step "Watching it (diagctl watch --plain), replaying $scenario"
"$diagctl" watch --plain --params "$config" --interval 0.5 --duration 9 > >(sed -u 's/^/    [watch] /') &
watch_pid=$!
sleep 1
echo "\$ diagctl replay $scenario"
"$diagctl" replay "$scenario"
wait "$watch_pid" || true
watch_pid=""

step "Root causes now (diagctl query --params $config)"
"$diagctl" query --params "$config"
echo
echo "\$ diagctl query --json"
"$diagctl" query --json

step "Fault records (diagctl records --params $config $records)"
sleep 2  # the example configuration writes records every 2 s
"$diagctl" records --params "$config" "$records"

step "The diagnosis tree (diagctl tree)"
"$diagctl" tree

step "The dashboard"
echo "dashboard: ${dashboard_url:-not running, see $work/dashboard.log}"
if [ -t 0 ] && [ -n "$dashboard_url" ]; then
  read -r -p "The node and the dashboard keep running; press Enter to stop them. " _
fi

step "Stopping the node and the dashboard"
kill -INT "$dashboard_pid" 2>/dev/null || true
{ wait "$dashboard_pid"; } 2>/dev/null || true
dashboard_pid=""
kill -INT "$node_pid"
{ wait "$node_pid"; } 2>/dev/null || true  # it ends itself by SIGKILL
node_pid=""
echo "done; the node's log and records stay in $work"
echo "the dashboard on these records again: $diagctl dashboard --params $config $records"
echo "(it serves http://127.0.0.1:8080/)"
