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

# colcon, run on the repository, must find the four ament packages and
# nothing else: not the layer, not this superbuild, not the benchmarks.
#
#   check_colcon_packages.sh REPO_ROOT
set -euo pipefail
root=$1
expected=$'corvanta_protocol\t(ros.ament_cmake)\ndiagctl\t(ros.ament_cmake)\ndiagnostic_center\t(ros.ament_cmake)\ndiagnostics_bridge\t(ros.ament_cmake)'
found=$(cd "$root" && colcon --log-base /dev/null list --base-paths . | cut -f1,3)
if [ "$found" != "$expected" ]; then
  printf 'colcon found:\n%s\nexpected:\n%s\n' "$found" "$expected" >&2
  exit 1
fi
# diagnostic_center builds after the interfaces it uses; diagctl and the
# bridge after both.
order=$(cd "$root" && colcon --log-base /dev/null list --base-paths . --topological-order --names-only)
[ "$order" = $'corvanta_protocol\ndiagnostic_center\ndiagctl\ndiagnostics_bridge' ] || { echo "build order: $order" >&2; exit 1; }
echo "colcon sees exactly corvanta_protocol, diagnostic_center, diagctl and diagnostics_bridge"
