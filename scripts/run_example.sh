#!/usr/bin/env bash
# Runs the diagnosis centre on the example configuration
# (diagnostic_center/config/diagnostic_center.yaml). Build first with
# scripts/build.sh. Extra arguments are added to the ROS arguments, e.g.
#   bash scripts/run_example.sh --log-level debug
# Stop it with Ctrl-C.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=build/diagnostic_center/diagnostic_center
if [ ! -x "$binary" ]; then
  echo "$binary not found: run 'bash scripts/build.sh' first" >&2
  exit 1
fi
exec "$binary" --ros-args --params-file diagnostic_center/config/diagnostic_center.yaml "$@"
