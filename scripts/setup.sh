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

# Installs every Debian package needed to build, run, test and benchmark this
# repository. Safe to run again; needs root (or sudo).
set -euo pipefail

packages=(
  build-essential cmake pkg-config python3
  # the tests' private network namespaces and simulated hosts (ip netns, veth)
  iproute2
  # the layer's DDS Security tests make their keystores with it
  openssl
  cyclonedds-dev cyclonedds-tools
  libprotobuf-dev protobuf-compiler
  # the interop tests decode the query service's payload in Python
  python3-protobuf
  libyaml-cpp-dev libyaml-dev
  # diagctl dashboard's HTTP server; its page is tested in headless Chromium over DevTools
  libcpp-httplib-dev chromium python3-websocket
  # its TLS beyond loopback
  libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang-format
  # scripts/clang_tidy.sh, the CI stage after the tests
  clang-tidy-14
  # the fuzz targets (fuzz/, scripts/fuzz_stage.sh): clang with libFuzzer and its sanitizer runtimes
  clang libclang-rt-14-dev libfuzzer-14-dev
  # colcon, to check that a ROS 2 workspace sees just the two ament packages
  python3-colcon-core python3-colcon-ros python3-colcon-cmake python3-colcon-recursive-crawl
  python3-colcon-package-information
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${packages[@]}"
