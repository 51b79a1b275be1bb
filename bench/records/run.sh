#!/usr/bin/env bash
# Runs diagctl records on generated record files beside grep -c and prints
# MB/s, time to the first output byte and peak RSS of each.
# Usage: bench/records/run.sh [build dir] [TOTAL_MB [FILES [DIR]]]
#   (default: build, 1000 MB in 300 files under $TMPDIR, removed afterwards)
# DIAGCTL=path runs another build's diagctl instead, to compare.
set -euo pipefail
cd "$(dirname "$0")/../.."
build_dir=${1:-build}
bench="$build_dir/bench/records/records_bench"
if [ ! -x "$bench" ]; then
  echo "missing $bench: build it with cmake --build $build_dir --target records_bench" >&2
  exit 1
fi
shift || true
"$bench" "$@"
