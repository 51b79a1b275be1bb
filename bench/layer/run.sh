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

# Runs the layer benchmarks beside Cyclone DDS's own ddsperf and prints the
# figures. Builds nothing: build the tree with benchmarks first
# (scripts/build.sh does).
#
#   bench/layer/run.sh [BUILD_DIR]        BUILD_DIR defaults to ./build
#
# Environment: BENCH_SECONDS (10) per measurement, BENCH_ROUNDS (3) of every
# measurement, BENCH_SIZE (64) bytes per
# sample (serialized, without the encapsulation header, as ddsperf counts),
# ROS_DOMAIN_ID (42). Everything runs on loopback: ddsperf gets the layer's
# own loopback-only, unicast-only configuration through CYCLONEDDS_URI.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bin=$build/bench/layer
seconds=${BENCH_SECONDS:-10}
size=${BENCH_SIZE:-64}
export ROS_DOMAIN_ID=${ROS_DOMAIN_ID:-42}
domain=$ROS_DOMAIN_ID

for program in layer_idle_cpu layer_rss_floor layer_latency layer_throughput transport_bench; do
  if [ ! -x "$bin/$program" ]; then
    echo "missing $bin/$program: build the tree with -DBUILD_BENCHMARKS=ON first" >&2
    exit 1
  fi
done
command -v ddsperf >/dev/null || { echo "ddsperf not found (Debian cyclonedds-tools)" >&2; exit 1; }

CYCLONEDDS_URI=$("$bin/transport_bench" config)
export CYCLONEDDS_URI
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# ddsperf prints half the round trip (its one-way estimate). Doubles the
# median of the per-second "50%" and "99%" figures, skipping the first second
# (warm-up), to give the round trip the layer's benchmarks print.
ddsperf_latency() {
  awk '/ 50% / {
         for (i = 1; i < NF; i++) { if ($i == "50%") p50 = $(i + 1); if ($i == "99%") p99 = $(i + 1) }
         sub("us", "", p50); sub("us", "", p99)
         if (++n > 1) { a[n - 1] = p50; b[n - 1] = p99 }
       }
       function median(x, m,   i, j, t) {
         for (i = 1; i <= m; i++) for (j = i + 1; j <= m; j++) if (x[j] + 0 < x[i] + 0) { t = x[i]; x[i] = x[j]; x[j] = t }
         return m % 2 ? x[(m + 1) / 2] : (x[m / 2] + x[m / 2 + 1]) / 2
       }
       END { m = n - 1; if (m < 1) { print "0 0"; exit } printf "%.1f %.1f\n", 2 * median(a, m), 2 * median(b, m) }' "$1"
}

# Mean of ddsperf sub's per-second rates (kS/s) while data flowed, leaving out
# the first and last (partial) seconds; and the samples it reports lost.
ddsperf_throughput() {
  awk '/ rate / {
         for (i = 1; i < NF; i++) {
           if ($i == "rate") { r = $(i + 1); u = $(i + 2) }
           if ($i == "total") total = $(i + 1)
           if ($i == "lost" && !seenlost) { lost = $(i + 1); seenlost = 1 }
         }
         seenlost = 0
         if (u == "MS/s") r *= 1000; else if (u == "S/s") r /= 1000
         if (r > 0) rates[++n] = r
       }
       END {
         s = 0; c = 0
         for (i = 2; i < n; i++) { s += rates[i]; c++ }
         printf "%.1f %s\n", (c > 0 ? s / c : 0), lost + 0
       }' "$1"
}

field() { sed -n "s/.*$1 \([0-9.]*\).*/\1/p" "$2" | tail -1; }
rate_of() { sed -n 's/.* = \([0-9.]*\) kS\/s.*/\1/p' "$1"; }
median() { printf '%s\n' "$@" | sort -n | awk '{ x[NR] = $1 } END { print (NR % 2 ? x[(NR + 1) / 2] : (x[NR / 2] + x[NR / 2 + 1]) / 2) }'; }

# Two processes at a time, one after the other.
pair() {  # pair SERVER_COMMAND CLIENT_COMMAND CLIENT_LOG SERVER_LOG
  $1 >"${4:-/dev/null}" 2>&1 &
  sleep 1
  $2 >"$3" 2>&1
  wait
  sleep 1
}

rounds=${BENCH_ROUNDS:-3}
echo "== layer benchmarks: ${seconds}s per run, ${rounds} rounds, ${size}-byte samples, domain $domain, loopback unicast"
echo "   machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "   Each round runs every contender once, so that a slow minute of the host"
echo "   slows them all; the summary takes the median of the rounds."

echo "-- idle cost"
"$bin/layer_idle_cpu" --seconds="$seconds" | tee "$logs/idle"
"$bin/layer_rss_floor" | tee "$logs/rss_floor"

declare -a dds_p50s dds_p99s ws_p50s layer_p50s layer_p99s transport_p50s dds_rates layer_rates transport_rates
echo "-- latency, 1 kHz ping/pong across two processes (round trip)"
for round in $(seq "$rounds"); do
  pair "ddsperf -i $domain -D $((seconds + 4)) pong" \
       "ddsperf -i $domain -D $((seconds + 1)) ping 1000Hz size $size" "$logs/ddsperf_ping"
  read -r p50 p99 < <(ddsperf_latency "$logs/ddsperf_ping")
  dds_p50s+=("$p50"); dds_p99s+=("$p99")
  # ddsperf with a waitset thread on both sides: one thread hand-over per hop,
  # as in any executor-based client library.
  pair "ddsperf -i $domain -D $((seconds + 4)) pong waitset" \
       "ddsperf -i $domain -D $((seconds + 1)) ping 1000Hz size $size waitset" "$logs/ddsperf_ws"
  read -r ws_p50 ws_p99 < <(ddsperf_latency "$logs/ddsperf_ws")
  ws_p50s+=("$ws_p50")
  pair "$bin/layer_latency pong --seconds=$((seconds + 5))" \
       "$bin/layer_latency ping --rate=1000 --size=$size --seconds=$seconds" "$logs/layer_ping"
  layer_p50s+=("$(field p50 "$logs/layer_ping")"); layer_p99s+=("$(field p99 "$logs/layer_ping")")
  pair "$bin/transport_bench pong --seconds=$((seconds + 4))" \
       "$bin/transport_bench ping --rate=1000 --size=$size --seconds=$seconds" "$logs/transport_ping"
  transport_p50s+=("$(field p50 "$logs/transport_ping")")
  echo "round $round: rtt p50 / p99 us: ddsperf $p50 / $p99 (replies from the receive thread)," \
       "ddsperf waitset $ws_p50 / $ws_p99, layer ${layer_p50s[-1]} / ${layer_p99s[-1]}," \
       "raw transport ${transport_p50s[-1]} / $(field p99 "$logs/transport_ping")"
done

echo "-- throughput, reliable keep-all, across two processes"
for round in $(seq "$rounds"); do
  pair "ddsperf -i $domain -D $((seconds + 4)) sub" \
       "ddsperf -i $domain -D $seconds pub size $size" /dev/null "$logs/ddsperf_sub"
  read -r dds_rate dds_lost < <(ddsperf_throughput "$logs/ddsperf_sub")
  dds_rates+=("$dds_rate")
  pair "$bin/layer_throughput sub --seconds=$((seconds + 4))" \
       "$bin/layer_throughput pub --size=$size --seconds=$seconds" /dev/null "$logs/layer_sub"
  layer_rates+=("$(rate_of "$logs/layer_sub")")
  pair "$bin/transport_bench sub --seconds=$((seconds + 4))" \
       "$bin/transport_bench pub --size=$size --seconds=$seconds" /dev/null "$logs/transport_sub"
  transport_rates+=("$(rate_of "$logs/transport_sub")")
  echo "round $round: kS/s: ddsperf $dds_rate (lost $dds_lost; write batching on, as ddsperf always does)," \
       "layer ${layer_rates[-1]} ($(sed -n 's/.*\(lost [0-9]*\).*/\1/p' "$logs/layer_sub"))," \
       "raw transport ${transport_rates[-1]} ($(sed -n 's/.*\(lost [0-9]*\).*/\1/p' "$logs/transport_sub"))"
done

idle=$(sed -n 's/.*CPU \([0-9.]*\)%.*/\1/p' "$logs/idle")
rss_floor=$(sed -n 's/.*one participant: \([0-9.]*\) MiB.*/\1/p' "$logs/rss_floor")
echo "== summary (medians of $rounds rounds)"
awk -v idle="$idle" -v rss_floor="$rss_floor" -v lp50="$(median "${layer_p50s[@]}")" -v lp99="$(median "${layer_p99s[@]}")" \
    -v dp50="$(median "${dds_p50s[@]}")" -v dp99="$(median "${dds_p99s[@]}")" \
    -v wp50="$(median "${ws_p50s[@]}")" -v tp50="$(median "${transport_p50s[@]}")" \
    -v lr="$(median "${layer_rates[@]}")" -v dr="$(median "${dds_rates[@]}")" \
    -v tr="$(median "${transport_rates[@]}")" 'BEGIN {
  printf "idle CPU:   %.2f%% of one core (target < 1%%)\n", idle
  printf "RSS floor:  %.1f MiB for a process with one Cyclone DDS participant and nothing else\n", rss_floor
  printf "latency:    round trip p50 / p99: layer %.1f / %.1f us, ddsperf %.1f / %.1f us: p50 %+.1f us (target <= +30 us)\n", lp50, lp99, dp50, dp99, lp50 - dp50
  printf "            p50 of ddsperf with waitsets %.1f us (layer %+.1f us), of the raw transport %.1f us\n", wp50, lp50 - wp50, tp50
  printf "throughput: layer %.1f kS/s, ddsperf %.1f kS/s: %.0f%% (target >= 70%%); raw transport %.1f kS/s\n", lr, dr, (dr > 0 ? 100 * lr / dr : 0), tr
}'
