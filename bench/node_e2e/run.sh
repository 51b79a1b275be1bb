#!/usr/bin/env bash
# Runs the end-to-end benchmarks of the diagnostic_center process and prints
# their figures. Usage: bench/node_e2e/run.sh [build dir]  (default: build)
# The node and the benchmark talk on ROS_DOMAIN_ID (default 98), loopback only.
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
