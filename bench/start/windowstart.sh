#!/usr/bin/env bash
# The window program's start against an empty Qt window, in turn (A B A B
# ...): wall time from exec until the window is mapped (the X server's map
# event, bench_mapwait), CPU time of all threads until then and peak resident
# memory (VmHWM). Medians and the median ratio. Needs an X display, e.g.
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

# one COMMAND...: prints "wall_ms cpu_ms peak_kb" of one start, from the
# start until the window is mapped (bench_mapwait).
one() {
  local figures
  figures=$("$build/bench_mapwait" "$@" 2>/dev/null) || { echo "windowstart.sh: $1 did not map a window" >&2; exit 1; }
  read -r wall cpu peak <<<"$figures"
  echo "$((wall / 1000)).$(printf '%03d' $((wall % 1000))) $((cpu / 1000)).$(printf '%03d' $((cpu % 1000))) $peak"
}

one "$app/TodayMirvo" >/dev/null  # warm the caches
one "$build/bench_emptywindow" >/dev/null
for _ in $(seq 1 "$runs"); do
  a=$(one "$app/TodayMirvo") && b=$(one "$build/bench_emptywindow") && c=$(one "$build/bench_emptywindow" --japanese) \
    && printf 'A %s\nB %s\nC %s\n' "$a" "$b" "$c"
done >"$work/runs"

python3 - "$work/runs" <<'PY'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
rows = [r for r in rows if len(r) == 4]  # a start that failed is left out
a = [list(map(float, r[1:])) for r in rows if r[0] == "A"]
b = [list(map(float, r[1:])) for r in rows if r[0] == "B"]
c = [list(map(float, r[1:])) for r in rows if r[0] == "C"]
med = lambda rs, k: statistics.median(r[k] for r in rs)
ratio = lambda k: statistics.median(x[k] / y[k] for x, y in zip(a, b) if y[k] > 0)
print(f"{len(a)} starts each, in turn: TodayMirvo against an empty Qt window")
print(f"(and a Qt window with one line of Japanese text, for where the difference goes)")
print(f"{'':24}{'TodayMirvo':>12}{'empty':>10}{'ratio':>8}{'Japanese':>10}")
print(f"{'exec to mapped, ms':24}{med(a, 0):12.1f}{med(b, 0):10.1f}{ratio(0):8.2f}{med(c, 0):10.1f}")
print(f"{'CPU until mapped, ms':24}{med(a, 1):12.1f}{med(b, 1):10.1f}{ratio(1):8.2f}{med(c, 1):10.1f}")
print(f"{'peak RSS, MB':24}{med(a, 2) / 1024:12.1f}{med(b, 2) / 1024:10.1f}{ratio(2):8.2f}{med(c, 2) / 1024:10.1f}")
PY
