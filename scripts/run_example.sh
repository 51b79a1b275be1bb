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

# Runs the diagnosis centre on the example configuration
# (diagnostic_center/config/diagnostic_center.yaml). Build first with
# scripts/build.sh. Extra arguments are added to the ROS arguments, e.g.
#   bash scripts/run_example.sh --log-level debug
# Stop it with Ctrl-C. Run as root, it records where the example says
# (/opt/corvanta/...); run as another user, into that user's own
# ${XDG_STATE_HOME:-~/.local/state}/diagnostic_center/fault_record.
# DDS stays on loopback (scripts/cyclonedds_loopback.xml) unless
# CYCLONEDDS_URI is set; set and empty, the node takes Cyclone DDS's defaults,
# as on a robot, and other hosts find it.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=build/diagnostic_center/diagnostic_center
if [ ! -x "$binary" ]; then
  echo "$binary not found: run 'bash scripts/build.sh' first" >&2
  exit 1
fi
export CYCLONEDDS_URI=${CYCLONEDDS_URI-file://$(pwd)/scripts/cyclonedds_loopback.xml}
ros_args=(--ros-args --params-file diagnostic_center/config/diagnostic_center.yaml)
if [ "$(id -u)" -ne 0 ]; then
  records=${XDG_STATE_HOME:-$HOME/.local/state}/diagnostic_center/fault_record
  ros_args+=(-p "fault_record_dir:=$records")
fi
exec "$binary" "${ros_args[@]}" "$@"
