#!/usr/bin/env bash
# Runs the layer benchmarks beside Cyclone DDS's own ddsperf and prints the
# figures. Builds nothing: build the tree with benchmarks first
# (scripts/build.sh does).
#
#   bench/layer/run.sh [BUILD_DIR]        BUILD_DIR defaults to ./build
#
# Environment: BENCH_SECONDS (10) per measurement, BENCH_SIZE (64) bytes per
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

for program in layer_idle_cpu layer_latency layer_throughput transport_bench; do
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

# Median of the "50%" and "99%" columns of ddsperf's per-second ping lines,
# skipping the first second (warm-up).
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
       END { m = n - 1; if (m < 1) { print "0 0"; exit } printf "%.1f %.1f\n", median(a, m), median(b, m) }' "$1"
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

echo "== layer benchmarks: ${seconds}s per run, ${size}-byte samples, domain $domain, loopback unicast"
echo "   machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"

echo "-- idle cost"
"$bin/layer_idle_cpu" --seconds="$seconds" | tee "$logs/idle"

echo "-- latency, 1 kHz ping/pong across two processes"
ddsperf -i "$domain" -D $((seconds + 4)) pong >"$logs/ddsperf_pong" 2>&1 &
sleep 1
ddsperf -i "$domain" -D $((seconds + 1)) ping 1000Hz size "$size" >"$logs/ddsperf_ping" 2>&1
wait
read -r dds_p50 dds_p99 < <(ddsperf_latency "$logs/ddsperf_ping")
echo "ddsperf ping/pong: size $size rate 1000 Hz: rtt p50 $dds_p50 us p99 $dds_p99 us (median of per-second figures; replies from the receive thread)"
sleep 1
# ddsperf with a waitset thread on both sides: one thread hand-over per hop,
# as in any executor-based client library.
ddsperf -i "$domain" -D $((seconds + 4)) pong waitset >/dev/null 2>&1 &
sleep 1
ddsperf -i "$domain" -D $((seconds + 1)) ping 1000Hz size "$size" waitset >"$logs/ddsperf_ping_waitset" 2>&1
wait
read -r dds_ws_p50 dds_ws_p99 < <(ddsperf_latency "$logs/ddsperf_ping_waitset")
echo "ddsperf ping/pong waitset: size $size rate 1000 Hz: rtt p50 $dds_ws_p50 us p99 $dds_ws_p99 us"
sleep 1
"$bin/layer_latency" pong --seconds=$((seconds + 5)) >/dev/null 2>&1 &
sleep 1
"$bin/layer_latency" ping --rate=1000 --size="$size" --seconds="$seconds" | tee "$logs/layer_ping"
wait
sleep 1
"$bin/transport_bench" pong --seconds=$((seconds + 4)) >/dev/null 2>&1 &
sleep 1
"$bin/transport_bench" ping --rate=1000 --size="$size" --seconds="$seconds" | tee "$logs/transport_ping"
wait

echo "-- throughput, reliable keep-all, across two processes"
ddsperf -i "$domain" -D $((seconds + 4)) sub >"$logs/ddsperf_sub" 2>&1 &
sleep 1
ddsperf -i "$domain" -D "$seconds" pub size "$size" >/dev/null 2>&1
wait
read -r dds_rate dds_lost < <(ddsperf_throughput "$logs/ddsperf_sub")
echo "ddsperf throughput: size $size: $dds_rate kS/s, lost $dds_lost (write batching on, as ddsperf always does)"
sleep 1
"$bin/layer_throughput" sub --seconds=$((seconds + 4)) >"$logs/layer_sub" 2>&1 &
sleep 1
"$bin/layer_throughput" pub --size="$size" --seconds="$seconds" >/dev/null 2>&1
wait
cat "$logs/layer_sub"
sleep 1
"$bin/transport_bench" sub --seconds=$((seconds + 4)) >"$logs/transport_sub" 2>&1 &
sleep 1
"$bin/transport_bench" pub --size="$size" --seconds="$seconds" >/dev/null 2>&1
wait
cat "$logs/transport_sub"

idle=$(sed -n 's/.*CPU \([0-9.]*\)%.*/\1/p' "$logs/idle")
layer_p50=$(field p50 "$logs/layer_ping")
layer_p99=$(field p99 "$logs/layer_ping")
layer_rate=$(sed -n 's/.* = \([0-9.]*\) kS\/s.*/\1/p' "$logs/layer_sub")
echo "== summary"
awk -v idle="$idle" -v lp50="$layer_p50" -v lp99="$layer_p99" -v dp50="$dds_p50" -v dp99="$dds_p99" \
    -v wp50="$dds_ws_p50" -v lr="$layer_rate" -v dr="$dds_rate" 'BEGIN {
  printf "idle CPU:   %.2f%% of one core (target < 1%%)\n", idle
  printf "latency:    layer p50 %.1f us / p99 %.1f us, ddsperf p50 %.1f us / p99 %.1f us: p50 %+.1f us (target <= +30 us; %+.1f us against ddsperf with waitsets)\n", lp50, lp99, dp50, dp99, lp50 - dp50, lp50 - wp50
  printf "throughput: layer %.1f kS/s, ddsperf %.1f kS/s: %.0f%% (target >= 70%%)\n", lr, dr, (dr > 0 ? 100 * lr / dr : 0)
}'
