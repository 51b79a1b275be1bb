#!/usr/bin/env bash
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
