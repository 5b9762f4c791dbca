#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer in their own build
# directory and runs one of them.
#   tests/fuzz/run-fuzz.sh [seconds] [target|all]   (default 600 and fuzz_datafile)
# Targets: fuzz_datafile (Kosmera.dat), fuzz_memberfile (member files and
# their round trip), fuzz_settings (settings files, their writer and round
# trip); "all" runs the three one after the other (ctest runs them so, a few
# seconds each, when clang is there). Fails when a target finds a fault or
# leaves its scratch folder behind.
# New inputs go to <build>/fuzz-corpus/<target>, crashes to
# <build>/fuzz-artifacts/<target>-; the seeds under tests/data are only read.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${MIRVO_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-600}
target=${2:-fuzz_datafile}

mkdir -p "$build"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMIRVO_BUILD_FUZZ=ON -DMIRVO_BUILD_BENCH=OFF -DMIRVO_BUILD_GUI=OFF -DMIRVO_BUILD_TESTS=ON > "$build/configure.log"
if [ "$target" = all ]; then
  cmake --build "$build" --target fuzz_datafile fuzz_memberfile fuzz_settings -j2
  for t in fuzz_datafile fuzz_memberfile fuzz_settings; do
    MIRVO_FUZZ_BUILT=1 bash "$0" "$seconds" "$t" || exit 1
  done
  exit 0
fi
[ -n "${MIRVO_FUZZ_BUILT:-}" ] || cmake --build "$build" --target "$target" -j2

corpus=$build/fuzz-corpus/$target
artifacts=$build/fuzz-artifacts/$target-
mkdir -p "$corpus" "$(dirname "$artifacts")"
options=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$artifacts" -print_final_stats=1)
case $target in
  fuzz_datafile)
    seeds=("$root/tests/data/fuzz/datafile")
    options+=(-max_len=65536 -dict="$root/tests/fuzz/datafile.dict") ;;
  fuzz_memberfile)
    # The member files of the tests, each a seed as it is.
    seeds=("$build/fuzz-seeds/memberfile")
    mkdir -p "${seeds[0]}"
    cp "$root"/tests/data/members/*.csv "${seeds[0]}/"
    options+=(-max_len=4096 -dict="$root/tests/fuzz/memberfile.dict") ;;
  fuzz_settings)
    seeds=("$build/fuzz-seeds/settings")
    mkdir -p "${seeds[0]}"
    cp "$root"/tests/data/members/*.ini "${seeds[0]}/"
    # The same files with a key and a value to write after them.
    for ini in "$root"/tests/data/members/*.ini; do
      { cat "$ini"; printf '\0Option\0BioRaito_1\0 29.5 '; } > "${seeds[0]}/$(basename "$ini").write"
    done
    options+=(-max_len=4096 -dict="$root/tests/fuzz/settings.dict") ;;
  *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
esac
"$build/$target" "${options[@]}" "$corpus" "${seeds[@]}" &
pid=$!
wait "$pid" || { echo "$target found a fault (see above and $artifacts*)" >&2; exit 1; }
for scratch in /dev/shm /tmp "${TMPDIR:-/tmp}"; do
  if [ -e "$scratch/mirvo-fuzz-$pid" ]; then
    echo "$target left $scratch/mirvo-fuzz-$pid behind" >&2
    exit 1
  fi
done
