#!/usr/bin/env bash
# Builds the data-file fuzz target with clang and libFuzzer in its own build
# directory and runs it.
#   tests/fuzz/run-fuzz.sh [seconds]     (default 600)
# New inputs go to <build>/fuzz-corpus/datafile, crashes to <build>/fuzz-artifacts;
# the seed corpus under tests/data/fuzz/datafile is only read.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${MIRVO_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-600}

mkdir -p "$build"
CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMIRVO_BUILD_FUZZ=ON -DMIRVO_BUILD_BENCH=OFF > "$build/configure.log"
cmake --build "$build" --target fuzz_datafile -j2

corpus=$build/fuzz-corpus/datafile
artifacts=$build/fuzz-artifacts/
mkdir -p "$corpus" "$artifacts"
"$build/fuzz_datafile" \
  -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=10 \
  -dict="$root/tests/fuzz/datafile.dict" -artifact_prefix="$artifacts" -print_final_stats=1 \
  "$corpus" "$root/tests/data/fuzz/datafile"
