#!/usr/bin/env bash
# Builds the standalone tree and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh -DBUILD_TESTING=ON
cd build
ctest -j2 --output-on-failure --timeout 300
