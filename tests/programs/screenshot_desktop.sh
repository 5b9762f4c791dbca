#!/usr/bin/env bash
# The pictures of the AppStream metainfo: starts the real program under Xvfb
# through a link named todaymirvo (as the desktop entry and /usr/bin start it)
# with a known member at double size, and takes its main window and its detail window, each
# cut to the window: ${MIRVO_RUNTIME_DIR}/screenshots/desktop/{mainwindow,detail}.png.
#
# Checks: both windows come up and are painted; the window's WM_CLASS
# instance is the desktop entry's StartupWMClass (so that docks match the
# window to the entry on X11); the pictures kept in resources/desktop/screenshots
# have the size of the windows now (else they are out of date).
#
# Remake the kept pictures (the reading is the one of the day it is run):
#   bash tests/programs/screenshot_desktop.sh --update
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
source_dir=${MIRVO_SOURCE_DIR:-$here}
runtime=${MIRVO_RUNTIME_DIR:-$here/build/default}
kept="$source_dir/resources/desktop/screenshots"
desktop_entry="$source_dir/resources/desktop/io.github.todaymirvo.TodayMirvo.desktop"
update=no
[ "${1:-}" = "--update" ] && update=yes

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$runtime/TodayMirvo" "$runtime/Kosmera.dat" "$work/"
[ -f "$runtime/TodayMirvo.chm" ] && cp "$runtime/TodayMirvo.chm" "$work/"
ln -s TodayMirvo "$work/todaymirvo"
printf '"山田花子",2,1990/04/01,12:00:00,0,"見本"\r\n' | iconv -f UTF-8 -t CP932 >"$work/Mirvo.csv"
printf '[Window]\r\nLeft=0\r\nTop=0\r\n' >"$work/TodayMirvo.ini"
out="$runtime/screenshots/desktop"
mkdir -p "$out"
rm -f "$out"/*.png

unset QT_QPA_PLATFORM
# Twice the size, as on a screen of double density: software centres show
# the pictures large.
export QT_SCALE_FACTOR=2
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -u
  work=$1 out=$2
  "$work/todaymirvo" & pid=$!
  main=
  for i in $(seq 1 100); do
    sleep 0.2
    main=$(xdotool search --name "^今日のミルボ" 2>/dev/null | head -1) && [ -n "$main" ] && break
  done
  [ -n "$main" ] || { echo "the main window did not come up" >&2; kill $pid; exit 1; }
  sleep 1.5
  xprop -id "$main" WM_CLASS >"$work/wm_class.txt"
  import -window "$main" "$out/mainwindow.png"
  xdotool mousemove --window "$main" 200 200 click 3
  sleep 0.7
  xdotool key i
  detail=
  for i in $(seq 1 50); do
    sleep 0.2
    detail=$(xdotool search --name "^鑑定情報$" 2>/dev/null | head -1) && [ -n "$detail" ] && break
  done
  if [ -n "$detail" ]; then
    sleep 1
    import -window "$detail" "$out/detail.png"
  fi
  kill $pid; wait $pid 2>/dev/null || true
' _ "$work" "$out"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# WM_CLASS(STRING) = "todaymirvo", "..."
instance=$(sed -n 's/^WM_CLASS(STRING) = "\([^"]*\)".*/\1/p' "$work/wm_class.txt")
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop_entry")
[ -n "$instance" ] && [ "$instance" = "$wm_class" ] \
  || fail "the window's WM_CLASS instance is '$instance', the desktop entry's StartupWMClass '$wm_class'"

for shot in mainwindow detail; do
  png="$out/$shot.png"
  [ -f "$png" ] || { fail "no picture of the $shot window"; continue; }
  # A painted window has many colours (the gradient, the chart, the text).
  colours=$(convert "$png" -format %k info:)
  [ "$colours" -gt 50 ] || fail "the $shot picture has only $colours colours"
  size=$(identify -format %wx%h "$png")
  echo "$shot: $png ($size, $colours colours)"
  if [ "$update" = yes ]; then
    mkdir -p "$kept"
    # Without the time stamps, so that a picture only changes when its pixels do.
    convert "$png" -strip -define png:exclude-chunks=date,time "$kept/$shot.png"
    echo "kept as $kept/$shot.png"
  elif [ -f "$kept/$shot.png" ]; then
    kept_size=$(identify -format %wx%h "$kept/$shot.png")
    [ "$kept_size" = "$size" ] || fail "resources/desktop/screenshots/$shot.png is $kept_size, the window $size: remake it (--update)"
  else
    fail "no resources/desktop/screenshots/$shot.png: make it with $0 --update"
  fi
done

[ "$failures" -eq 0 ] && echo "screenshot_desktop: all checks passed"
exit $((failures > 0))
