#!/usr/bin/env bash
# Wake-ups and CPU of the idle node: starts it on the example configuration,
# lets it settle, then counts the voluntary context switches of all its
# threads (each is one wake-up from a sleep) and its CPU time over a window.
#   bash bench/node_e2e/idle_wakeups.sh [node binary] [seconds] [runs]
# Defaults: build/diagnostic_center/diagnostic_center, 20 s, 3 runs; domain
# ROS_DOMAIN_ID (default 97), loopback only as always.
set -euo pipefail
cd "$(dirname "$0")/../.."
node=${1:-build/diagnostic_center/diagnostic_center}
seconds=${2:-20}
runs=${3:-3}
export ROS_DOMAIN_ID=${ROS_DOMAIN_ID:-97}
work=$(mktemp -d)
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill -INT "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# "<cpu seconds> <voluntary context switches>" of process $1, all threads.
sample() {
  local cpu switches=0 count
  cpu=$(awk -v hz="$(getconf CLK_TCK)" '{printf "%.2f", ($14 + $15) / hz}' "/proc/$1/stat")
  for status in /proc/"$1"/task/*/status; do
    count=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$status" 2>/dev/null || echo 0)
    switches=$((switches + ${count:-0}))
  done
  echo "$cpu $switches"
}

for run in $(seq 1 "$runs"); do
  "$node" --ros-args --params-file diagnostic_center/config/diagnostic_center.yaml \
    -p "fault_record_dir:=$work/records" > "$work/node.log" 2>&1 &
  pid=$!
  sleep 4  # start-up and discovery are not idle
  read -r cpu1 switches1 < <(sample "$pid")
  sleep "$seconds"
  read -r cpu2 switches2 < <(sample "$pid")
  threads=$(ls "/proc/$pid/task" | wc -l)
  kill -INT "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
  awk -v r="$run" -v t="$threads" -v s="$seconds" -v c1="$cpu1" -v c2="$cpu2" \
      -v w1="$switches1" -v w2="$switches2" 'BEGIN {
    printf "idle run %d: %d threads, %.0f wake-ups/s, CPU %.2f %% of one core (over %d s)\n",
      r, t, (w2 - w1) / s, (c2 - c1) * 100 / s, s }'
done
