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

# Sanitizer stages of the standalone tree, each in a build directory of its own.
#
#   bash scripts/sanitize_stage.sh asan   the whole suite under AddressSanitizer,
#                                         LeakSanitizer and UndefinedBehaviorSanitizer
#                                         (build-asan)
#   bash scripts/sanitize_stage.sh tsan   the concurrent tests of the client layer and
#                                         of the node under ThreadSanitizer (build-tsan)
#
# Extra arguments go to cmake (for example -DHUMBLE_WORKSPACE=... to add the
# interop tests to the ASan suite). SANITIZE_BUILD_DIR overrides the build
# directory, SANITIZE_JOBS the build's and ctest's parallelism (default 2).
#
# Every instrumented process, including the nodes and peers the tests start,
# writes its reports to a file under <build>/sanitizer-reports; a report there
# fails the stage even when the test that started the process passed.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)

kind=${1:-}
shift || true
case "$kind" in
  asan)
    sanitize="address;undefined"
    tests_regex=""
    ;;
  tsan)
    sanitize="thread"
    # Tests in which several threads share the layer's or the node's state:
    # DDS listener threads against the transport's readers and writers, the
    # executors, services and their clients, the signal and rosout paths, the
    # recorder's batch hand-over, and the node's own process (a multi-threaded
    # executor) in the process-level suites. The rest of the suite is
    # single-threaded parsing, naming and encoding, which ASan covers.
    tsan_tests=(
      test_rmw_transport test_rmw_services test_rmw_graph test_rmw_processes
      test_rclcpp_init test_rclcpp_executor test_rclcpp_pubsub test_rclcpp_services
      test_rclcpp_graph test_rclcpp_parameter_services test_rclcpp_parameter_events
      test_rclcpp_rosout
      test_fault_recorder
      diagnostic_center_process_test
    )
    tests_regex='^(test_rmw_(transport|services|graph|processes)|test_rclcpp_(init|executor|pubsub|services|graph|parameter_services|parameter_events|rosout)|test_fault_recorder|diagnostic_center_process\.(EventFlow|EventLoss|RobotStatus|FaultRecordDir|Termination))$'
    ;;
  *)
    echo "usage: $0 asan|tsan [cmake arguments...]" >&2
    exit 2
    ;;
esac

# CPU seconds used by the finished children of this shell (user + system):
# on a shared machine the wall-clock times below say little on their own.
children_cpu_seconds() {
  awk -v tick="$(getconf CLK_TCK)" '{ printf "%.0f", ($16 + $17) / tick }' "/proc/$$/stat"
}

build=${SANITIZE_BUILD_DIR:-$repo/build-$kind}
jobs=${SANITIZE_JOBS:-2}
reports=$build/sanitizer-reports
stage_start=$SECONDS

# -O1 and line tables only (-g1): what the sanitizers' reports need, in half
# the compile time of -O2 -g.
optimize="-O1 -g1 -DNDEBUG"
cmake -S standalone -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DSANITIZE=$sanitize" \
  "-DCMAKE_C_FLAGS_RELWITHDEBINFO=$optimize" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=$optimize" \
  -DBUILD_TESTING=ON -DBUILD_BENCHMARKS=OFF "$@" >/dev/null
if [ "$kind" = asan ]; then
  cmake --build "$build" -j"$jobs"
else
  cmake --build "$build" -j"$jobs" --target "${tsan_tests[@]}"
fi
build_seconds=$((SECONDS - stage_start))
build_cpu=$(children_cpu_seconds)
echo "$kind stage: build done in ${build_seconds} s (${build_cpu} s CPU)"

rm -rf "$reports"
mkdir -p "$reports"
common="log_path=$reports/report:print_stacktrace=1"
export ASAN_OPTIONS="$common:detect_leaks=1:strict_string_checks=1:check_initialization_order=1"
export UBSAN_OPTIONS="$common:halt_on_error=1"
# Tests that run DDS set TSAN_OPTIONS to the layer's suppressions themselves
# (their reports go to their output and fail them); this covers the rest.
export TSAN_OPTIONS="$common:suppressions=$repo/ros2_client_layer/rmw/tsan.supp"

test_start=$SECONDS
ctest_args=(--test-dir "$build" -j"$jobs" --output-on-failure --timeout 600)
if [ -n "$tests_regex" ]; then
  ctest_args+=(-R "$tests_regex")
fi
status=0
ctest "${ctest_args[@]}" || status=$?
test_seconds=$((SECONDS - test_start))
test_cpu=$(($(children_cpu_seconds) - build_cpu))

# Reports of processes whose failure no test saw, and reports that went to a
# test's output without failing it.
found=$(find "$reports" -type f | sort)
in_output=$(grep -lE 'ERROR: (Address|Leak)Sanitizer|WARNING: ThreadSanitizer|runtime error:' \
  "$build/Testing/Temporary/LastTest.log" 2>/dev/null || true)
if [ -n "$found" ]; then
  echo "$kind stage: sanitizer reports:" >&2
  for file in $found; do
    echo "---- $file" >&2
    cat "$file" >&2
  done
  status=1
fi
if [ -n "$in_output" ]; then
  echo "$kind stage: the test output holds sanitizer reports (see $in_output):" >&2
  grep -nE -A30 'ERROR: (Address|Leak)Sanitizer|WARNING: ThreadSanitizer|runtime error:' "$in_output" |
    head -200 >&2
  status=1
fi

echo "$kind stage: build ${build_seconds} s (${build_cpu} s CPU), tests ${test_seconds} s" \
  "(${test_cpu} s CPU), total $((SECONDS - stage_start)) s"
if [ "$status" -ne 0 ]; then
  echo "$kind stage: FAILED" >&2
fi
exit "$status"
