#!/usr/bin/env bash
# Sets up, builds and starts TodayMirvo. Without a display ($DISPLAY or
# $WAYLAND_DISPLAY) it prints today's reading in the terminal with
# mirvo-today instead of opening the window; arguments go to the program
# that runs (mirvo-today --help lists its options).
set -euo pipefail
cd "$(dirname "$0")/.."
# Only what building and running the two programs needs; scripts/test.sh
# installs the rest, and builds the tests and benchmarks that this leaves out.
bash scripts/setup.sh run
cmake --preset default -DMIRVO_BUILD_TESTS=OFF -DMIRVO_BUILD_BENCH=OFF
cmake --build --preset default --target TodayMirvo mirvo-today kosmera
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/default/TodayMirvo "$@"
fi
echo "画面 (DISPLAY, WAYLAND_DISPLAY) がないので, 今日の読みを mirvo-today で表示します." >&2
exec ./build/default/mirvo-today "$@"
