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

# Runs a command in a private network namespace: nothing in it but a loopback
# link (up, multicast on), so that DDS with Humble's defaults, which
# multicasts on the first interface it finds, reaches no network but its own.
# Tests of those defaults run only there (they check /proc/net/dev); the
# others name the loopback configuration themselves and run anywhere.
#
#   bash scripts/private_network.sh COMMAND [ARG...]
#
# Needs root (unshare --net) and iproute2. Where no namespace can be made,
# it says so in one line and runs COMMAND where it is, on the loopback
# configuration. COMMAND sees DIAGNOSTIC_CENTER_PRIVATE_NETWORK=1 inside a
# namespace, 0 without; a nested call runs COMMAND directly.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

if [ "$#" -eq 0 ]; then
  echo "usage: $0 COMMAND [ARG...]" >&2
  exit 2
fi
if [ -n "${DIAGNOSTIC_CENTER_PRIVATE_NETWORK:-}" ]; then
  exec "$@"
fi

why=""
if [ "$(id -u)" -ne 0 ]; then
  why="not root"
elif ! command -v ip >/dev/null; then
  why="no ip command (iproute2)"
elif ! unshare --net true 2>/dev/null; then
  why="unshare --net refused"
fi
if [ -n "$why" ]; then
  echo "private network: none ($why); DDS tests use the loopback configuration and the tests of Humble's network defaults are skipped"
  export CYCLONEDDS_URI=${CYCLONEDDS_URI:-file://$repo/scripts/cyclonedds_loopback.xml}
  export DIAGNOSTIC_CENTER_PRIVATE_NETWORK=0
  exec "$@"
fi

# shellcheck disable=SC2016
echo "private network: a network namespace of its own, loopback only"
exec unshare --net bash -c '
  set -e
  ip link set lo up
  ip link set lo multicast on
  export DIAGNOSTIC_CENTER_PRIVATE_NETWORK=1
  exec "$@"' private_network "$@"
