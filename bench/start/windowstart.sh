#!/usr/bin/env bash
# The window program's start against an empty Qt window, in turn (A B A B
# ...): wall time from exec until the window is mapped (polled with xdotool),
# CPU time until then (from /proc, clock ticks) and peak resident memory
# (VmHWM). Medians and the median ratio. Needs an X display, e.g.
#
#   xvfb-run -a -s '-screen 0 1280x1024x24' bash bench/start/windowstart.sh build/default 21
set -euo pipefail
build=$(cd "${1:-build/default}" && pwd)
runs=${2:-21}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
[ -n "${DISPLAY:-}" ] || { echo "windowstart.sh: no X display (run it under xvfb-run)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
app="$work/app"
mkdir "$app"
cp "$build/TodayMirvo" "$build/Kosmera.dat" "$app/"
cp "$source_dir/tests/data/today/members.csv" "$app/Mirvo.csv"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" TMPDIR="$work"
mkdir -p "$HOME"
ticks=$(getconf CLK_TCK)

# one COMMAND...: prints "wall_ms cpu_ms peak_kb" of one start.
one() {
  local start pid now stat
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 &
  pid=$!
  until xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || { echo "windowstart.sh: $1 ended before its window was mapped" >&2; exit 1; }
    sleep 0.002
  done
  now=$(date +%s%N)
  read -r -a stat <"/proc/$pid/stat"
  local hwm
  hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
  kill -TERM "$pid"
  wait "$pid" || true
  echo "$(((now - start) / 1000000)) $(((stat[13] + stat[14]) * 1000 / ticks)) $hwm"
}

one "$app/TodayMirvo" >/dev/null  # warm the caches
one "$build/bench_emptywindow" >/dev/null
for _ in $(seq 1 "$runs"); do
  a=$(one "$app/TodayMirvo") && b=$(one "$build/bench_emptywindow") && printf 'A %s\nB %s\n' "$a" "$b"
done >"$work/runs"

python3 - "$work/runs" <<'PY'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
rows = [r for r in rows if len(r) == 4]  # a start that failed is left out
a = [list(map(float, r[1:])) for r in rows if r[0] == "A"]
b = [list(map(float, r[1:])) for r in rows if r[0] == "B"]
med = lambda rs, k: statistics.median(r[k] for r in rs)
ratio = lambda k: statistics.median(x[k] / y[k] for x, y in zip(a, b) if y[k] > 0)
print(f"{len(a)} starts each, in turn: TodayMirvo against an empty Qt window")
print(f"{'':24}{'TodayMirvo':>12}{'empty':>10}{'ratio':>8}")
print(f"{'exec to mapped, ms':24}{med(a, 0):12.1f}{med(b, 0):10.1f}{ratio(0):8.2f}")
print(f"{'CPU until mapped, ms':24}{med(a, 1):12.1f}{med(b, 1):10.1f}{ratio(1):8.2f}")
print(f"{'peak RSS, MB':24}{med(a, 2) / 1024:12.1f}{med(b, 2) / 1024:10.1f}{ratio(2):8.2f}")
PY
