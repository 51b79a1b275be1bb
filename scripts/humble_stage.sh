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

# The genuine ROS 2 Humble stage of the tests: builds corvanta_protocol,
# diagnostic_center, diagctl and diagnostics_bridge with colcon against
# genuine Humble (built once per machine from ../shared/ros2-humble), with
# every warning an error, and
# runs their tests there. The workspace lies outside the source tree
# (HUMBLE_WS, default below /tmp) and stays for the interoperability tests of
# the standalone build, which scripts/test.sh points at it.
#
#   bash scripts/humble_stage.sh        prints "HUMBLE_WS=<dir>" last on success
#
# Without ../shared/ros2-humble (a clone of one's own) the stage is skipped
# with one line; under CI (CI=true) that is an error.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
humble_dir=${ROS2_HUMBLE_DIR:-$repo/../shared/ros2-humble}

if [ ! -f "$humble_dir/build.sh" ]; then
  if [ "${CI:-}" = true ]; then
    echo "humble stage: $humble_dir/build.sh not found, and CI must test against genuine ROS 2 Humble" >&2
    exit 1
  fi
  echo "humble stage: skipped, no genuine ROS 2 Humble sources at $humble_dir"
  exit 0
fi

stage_start=$SECONDS
env_sh=$(bash "$humble_dir/build.sh" | tail -1)
echo "humble stage: genuine ROS 2 Humble ready in $((SECONDS - stage_start)) s ($env_sh)"

ws=${HUMBLE_WS:-${TMPDIR:-/tmp}/diagnostic_center_humble_ws_$(printf '%s' "$repo" | sha1sum | cut -c1-8)}
mkdir -p "$ws"
set +u
# shellcheck disable=SC1090
source "$env_sh"
set -u
# The tests start nodes: DDS stays on loopback.
export CYCLONEDDS_URI="file://$repo/scripts/cyclonedds_loopback.xml"
export ROS_LOG_DIR="$ws/ros_log"
# ament_cppcheck refuses Debian's cppcheck 2.10 for its speed on large trees
# unless told to use it; on these packages it takes seconds.
export AMENT_CPPCHECK_ALLOW_SLOW_VERSIONS=1

packages=(corvanta_protocol diagnostic_center tools/diagctl tools/diagnostics_bridge)
colcon_paths=(--base-paths "${packages[@]}" --build-base "$ws/build" --install-base "$ws/install")

build_start=$SECONDS
colcon --log-base "$ws/log" build "${colcon_paths[@]}" \
  --cmake-args -DBUILD_TESTING=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CXX_FLAGS=-Werror" "-DCMAKE_C_FLAGS=-Werror" \
  -DPython3_EXECUTABLE=/usr/bin/python3 -DPYTHON_EXECUTABLE=/usr/bin/python3 --no-warn-unused-cli \
  -DPYTHON_INSTALL_DIR=lib/python3.11/site-packages

# A warning anywhere in the build (compiler, CMake, colcon) fails the stage.
warnings=$(grep -rhiE 'warning[: ]' "$ws/log/latest_build"/*/stderr.log 2>/dev/null || true)
if [ -n "$warnings" ]; then
  printf 'humble stage: the colcon build printed warnings:\n%s\n' "$warnings" >&2
  exit 1
fi
echo "humble stage: colcon build without warnings in $((SECONDS - build_start)) s"

test_start=$SECONDS
colcon --log-base "$ws/log" test "${colcon_paths[@]}" --parallel-workers 1 \
  --ctest-args -j2 --output-on-failure --timeout 300 || true
colcon test-result --test-result-base "$ws/build" --verbose
echo "humble stage: colcon tests passed in $((SECONDS - test_start)) s"
echo "HUMBLE_WS=$ws"
