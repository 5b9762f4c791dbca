#!/usr/bin/env bash
# Sets up, builds and starts TodayMirvo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset default
cmake --build --preset default
exec ./build/default/TodayMirvo "$@"
