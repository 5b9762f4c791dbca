#!/usr/bin/env bash
# Pictures of the real program under Xvfb, for people to look at:
#   main.png      the main window, a member with a critical day on every axis
#   settings.png  the settings window showing a member born on 2000/12/31
#   weights.png   its second tab, with the Sun's weight at 0.1
#   calendar.png  the date picker's calendar pop-up
# Usage: bash scripts/screenshots.sh [BUILD_DIR] [OUT_DIR] [SCALE]
# (defaults build/default, build/default/screenshots, 1). LANG is passed on,
# so `LANG=C bash scripts/screenshots.sh` shows the program under another locale.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/default}")
out=$(realpath -m "${2:-$build/screenshots}")
scale=${3:-1}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/TodayMirvo" "$build/Kosmera.dat" "$work/"
[ -f "$build/TodayMirvo.chm" ] && cp "$build/TodayMirvo.chm" "$work/"

# 4249 days after birth every cycle stands at its trough (phases 266, 270
# and 273 degrees): three bomb faces beside "-100%".
born=$(date -d "today - 4249 days" +%Y/%m/%d)
printf '"臨界日子",2,%s,12:00:00,0,"三つとも臨界日"\r\n"大晦日太郎",1,2000/12/31,23:59:00,1,"幅の一番広い日付"\r\n' "$born" \
  | iconv -f UTF-8 -t CP932 > "$work/Mirvo.csv"
printf '[Window]\r\nLeft=20\r\nTop=20\r\n[Option]\r\nDefaultUserIndex=0\r\nPlanetRaito_0=0.1\r\n' > "$work/TodayMirvo.ini"

width=$((520 * scale)); height=$((560 * scale))
unset QT_QPA_PLATFORM
export QT_SCALE_FACTOR=$scale
xvfb-run -a -s "-screen 0 ${width}x${height}x24" bash -c '
  set -u
  work=$1 out=$2 scale=$3
  snap() { sleep 1; import -window root "$out/$1"; }
  wait_for() {
    for _ in $(seq 1 100); do
      id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$id" ] && { echo "$id"; return 0; }
      sleep 0.2
    done
    return 1
  }
  "$work/TodayMirvo" & pid=$!
  main=$(wait_for "今日のミルボ") || { echo "no main window" >&2; kill $pid; exit 1; }
  snap main.png
  # Settings: from the context menu by keyboard (the Menu key, then O).
  xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
  xdotool key --window "$main" Menu; sleep 0.5; xdotool key o
  settings=$(wait_for "の設定") || { echo "no settings window" >&2; kill $pid; exit 1; }
  # The first member is shown; pick the second (born 2000/12/31) by a click on its row.
  eval "$(xdotool getwindowgeometry --shell "$settings")"
  xdotool mousemove $((X + 40 * scale)) $((Y + 264 * scale)) click 1
  snap settings.png
  # The calendar pop-up: F4 in the date picker (F4 after a click on its day).
  xdotool mousemove $((X + 120 * scale)) $((Y + 96 * scale)) click 1
  sleep 0.3; xdotool key F4
  snap calendar.png
  xdotool key Escape; sleep 0.3
  # Second tab.
  xdotool mousemove $((X + 93 * scale)) $((Y + 13 * scale)) click 1
  snap weights.png
  kill $pid; wait $pid 2>/dev/null || true
' _ "$work" "$out" "$scale"
ls -l "$out"
