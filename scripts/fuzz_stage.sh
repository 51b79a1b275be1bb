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

# Fuzzing stage: builds the libFuzzer targets of fuzz/ (clang, ASan, UBSan)
# and runs each for a bounded time on top of its seed corpus in fuzz/corpus.
# A crash, a sanitizer report, a leak, an input slower than the per-input
# limit, one allocation beyond the malloc limit or a process beyond the RSS
# limit fails the stage; the input that did it is kept and the command that
# replays it is printed. For each target it prints the executions per second
# and the total executions.
#
#   bash scripts/fuzz_stage.sh                     CI: 60 s per target
#   FUZZ_SECONDS=3600 bash scripts/fuzz_stage.sh   a long campaign
#
# Settings (environment):
#   FUZZ_SECONDS          time per target (default 60)
#   FUZZ_TARGETS          which targets (default: cdr yaml_parameters ros_args record_line
#                         dashboard_query)
#   FUZZ_BUILD_DIR        build directory (default build-fuzz)
#   FUZZ_INPUT_TIMEOUT    seconds one input may take (default 10)
#   FUZZ_MALLOC_LIMIT_MB  largest single allocation (default 256)
#   FUZZ_RSS_LIMIT_MB     largest resident size (default 2048)
#   FUZZ_MAX_LEN          largest input in bytes (default 4096)
#   FUZZ_KEEP_GOING=1     do not stop a target at its first finding (libFuzzer's
#                         fork mode): for long campaigns, so that one known
#                         finding does not hide the next; the stage still fails
#                         on every finding
#   FUZZ_JOBS             with FUZZ_KEEP_GOING=1, fuzzing processes per target
#                         (default 1; the number of cores uses the whole machine)
#   FUZZ_PARALLEL         targets fuzzed at once (default: the number of cores;
#                         each fuzzer is single-threaded)
#
# What a run finds beyond the seeds stays in <build>/fuzz-work/<target>/corpus
# and is fuzzed on again by the next run in the same build directory; the
# inputs of a run's findings go to <build>/fuzz-work/<target>/<run>-crash-...
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

seconds=${FUZZ_SECONDS:-60}
targets=${FUZZ_TARGETS:-cdr yaml_parameters ros_args record_line dashboard_query}
build=${FUZZ_BUILD_DIR:-$repo/build-fuzz}
input_timeout=${FUZZ_INPUT_TIMEOUT:-10}
malloc_limit=${FUZZ_MALLOC_LIMIT_MB:-256}
rss_limit=${FUZZ_RSS_LIMIT_MB:-2048}
max_len=${FUZZ_MAX_LEN:-4096}
keep_going=${FUZZ_KEEP_GOING:-0}
jobs=${FUZZ_JOBS:-1}
parallel=${FUZZ_PARALLEL:-$(nproc)}
run_id=$(date +%Y%m%d-%H%M%S)
stage_start=$SECONDS

cmake -S standalone -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBUILD_FUZZERS=ON \
  -DBUILD_TESTING=OFF -DBUILD_BENCHMARKS=OFF >/dev/null
fuzzers=()
for target in $targets; do
  fuzzers+=("${target}_fuzzer")
done
cmake --build "$build" -j"$(nproc)" --target "${fuzzers[@]}"
build_seconds=$((SECONDS - stage_start))
echo "fuzz stage: build done in ${build_seconds} s"

export ASAN_OPTIONS="detect_leaks=1:strict_string_checks=1:print_stacktrace=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

# CPU seconds used by the finished children of the shell `cpu_pid` (user +
# system); each target's subshell sets it to its own pid.
cpu_pid=$$
children_cpu_seconds() {
  awk -v tick="$(getconf CLK_TCK)" '{ printf "%.2f", ($16 + $17) / tick }' "/proc/$cpu_pid/stat"
}

# run_target <target>: fuzzes it, prints its figures; non-zero on a finding.
run_target() {
  local target=$1
  local work=$build/fuzz-work/$target
  local seeds=$repo/fuzz/corpus/$target
  local log=$work/fuzz.log
  local dict=()
  mkdir -p "$work/corpus"
  if [ -f "$repo/fuzz/dict/$target.dict" ]; then
    dict=("-dict=$repo/fuzz/dict/$target.dict")
  fi
  if [ -z "$(ls -A "$seeds" 2>/dev/null)" ]; then
    echo "fuzz stage: $target has no seed corpus in $seeds" >&2
    return 1
  fi
  local mode=()
  if [ "$keep_going" = 1 ]; then
    mode=("-fork=$jobs" -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1)
  fi
  local status=0
  local start=$SECONDS
  local cpu_start
  cpu_start=$(children_cpu_seconds)
  # libFuzzer stops itself after max_total_time; the outer timeout only
  # guards against a fuzzer that cannot stop.
  timeout --signal=KILL $((seconds + 300)) \
    "$build/fuzz/${target}_fuzzer" "$work/corpus" "$seeds" "${dict[@]}" \
    -max_total_time="$seconds" -timeout="$input_timeout" \
    -rss_limit_mb="$rss_limit" -malloc_limit_mb="$malloc_limit" -max_len="$max_len" \
    -artifact_prefix="$work/$run_id-" -print_final_stats=1 "${mode[@]}" >"$log" 2>&1 || status=$?
  local findings
  findings=$(find "$work" -maxdepth 1 -name "$run_id-*" ! -name "$run_id-slow-unit-*" | sort)
  if [ -n "$findings" ] && [ "$status" -eq 0 ]; then
    status=1
  fi

  local runs rate cpu per_cpu_second
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  if [ -z "$runs" ]; then
    # Fork mode has no final stats: its last progress line counts every job.
    runs=$(sed -n 's/^#\([0-9]*\): .*/\1/p' "$log" | tail -1)
    rate=$(awk -v r="${runs:-0}" -v t="$((SECONDS - start))" 'BEGIN { if (t > 0) printf "%.0f", r / t }')
  fi
  cpu=$(awk -v a="$(children_cpu_seconds)" -v b="$cpu_start" 'BEGIN { printf "%.1f", a - b }')
  # What a core of its own would give: on a shared machine exec/s is lower.
  per_cpu_second=$(awk -v r="${runs:-0}" -v c="$cpu" 'BEGIN { if (c > 0) printf "%.0f", r / c; else print "?" }')
  printf 'fuzz stage: %-16s %8s exec/s %12s executions in %s s (%s s CPU, %s per CPU second)\n' \
    "$target" "${rate:-?}" "${runs:-?}" "$((SECONDS - start))" "$cpu" "$per_cpu_second"
  if [ "$status" -ne 0 ]; then
    echo "fuzz stage: $target FAILED (exit $status); its log ends:" >&2
    tail -60 "$log" >&2
    local artifact
    for artifact in $findings; do
      echo "fuzz stage: replay with: $build/fuzz/${target}_fuzzer $artifact" >&2
    done
  fi
  return "$status"
}

# Targets run side by side, `parallel` at a time, each in a subshell whose
# output is kept and printed in the targets' order once all have ended.
results=$build/fuzz-work/$run_id
mkdir -p "$results"
running=0
for target in $targets; do
  if [ "$running" -ge "$parallel" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  (
    cpu_pid=$BASHPID
    status=0
    run_target "$target" >"$results/$target.out" 2>&1 || status=$?
    echo "$status" >"$results/$target.status"
  ) &
  running=$((running + 1))
done
wait
failed=()
for target in $targets; do
  cat "$results/$target.out"
  if [ "$(cat "$results/$target.status" 2>/dev/null)" != 0 ]; then
    failed+=("$target")
  fi
done
rm -rf "$results"

echo "fuzz stage: ${seconds} s per target, total $((SECONDS - stage_start)) s"
if [ "${#failed[@]}" -ne 0 ]; then
  echo "fuzz stage: FAILED: ${failed[*]}" >&2
  exit 1
fi
