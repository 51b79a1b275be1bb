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

# Builds and runs every test: the genuine ROS 2 Humble stage (the ament
# packages built and tested with colcon against genuine Humble, see
# humble_stage.sh), then the standalone tree on the project's client layer
# with its whole suite, including the interop tests against the genuine build.
#
# Everything runs in a private network namespace (scripts/private_network.sh),
# so that the tests of Humble's network defaults can run; genuine Humble is
# built, and its Debian packages installed, before entering it.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DIAGNOSTIC_CENTER_PRIVATE_NETWORK:-}" ]; then
  humble_build=${ROS2_HUMBLE_DIR:-../shared/ros2-humble}/build.sh
  if [ -f "$humble_build" ]; then
    bash "$humble_build" >/dev/null
  fi
  exec bash scripts/private_network.sh bash scripts/test.sh "$@"
fi
start=$SECONDS

humble_out=$(mktemp)
trap 'rm -f "$humble_out"' EXIT
bash scripts/humble_stage.sh | tee "$humble_out"
humble_ws=$(sed -n 's/^HUMBLE_WS=//p' "$humble_out")
humble_env=""
if [ -n "$humble_ws" ]; then
  humble_env=$(bash "${ROS2_HUMBLE_DIR:-../shared/ros2-humble}/build.sh" --print-env)
fi
echo "test: genuine Humble stage done after $((SECONDS - start)) s"

standalone_start=$SECONDS
bash scripts/build.sh -DBUILD_TESTING=ON "-DHUMBLE_WORKSPACE=$humble_ws" "-DHUMBLE_ENV_SH=$humble_env"
echo "test: standalone build done in $((SECONDS - standalone_start)) s"
cd build
ctest_start=$SECONDS
ctest -j2 --output-on-failure --timeout 300
echo "test: standalone tests passed in $((SECONDS - ctest_start)) s; all stages in $((SECONDS - start)) s"
