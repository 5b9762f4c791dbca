#!/usr/bin/env bash
# Pictures of the settings, detail and about windows for checking how they
# read: at 1.5 and 2 times the size (QT_SCALE_FACTOR, and the font DPI 144),
# and with the dark and high-contrast system palettes of GTK (Adwaita:dark,
# HighContrast:dark; these need the Debian package qt6-gtk-platformtheme,
# which only this script uses). Every window is opened from the keyboard,
# as a user without a mouse does: Shift+F10 or the menu key, then the menu's
# letters.
#
#   [MODES="dark scale2"] bash scripts/access-screenshots.sh [build folder] [output folder]
#
# The build folder defaults to build/default, the pictures go to
# <build folder>/screenshots/access, named <mode>-<window>.png
# (mode: scale1.5, scale2, dpi144, dark, contrast; window: main, settings,
# settings-method, detail, about). Each window's size is printed, so that a
# window that did not scale, or did not open, shows at once.
set -euo pipefail
build=${1:-build/default}
out=${2:-$build/screenshots/access}
build=$(cd "$build" && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/TodayMirvo" "$build/Kosmera.dat" "$work/"
[ -f "$build/TodayMirvo.chm" ] && cp "$build/TodayMirvo.chm" "$work/"
printf '"山田花子",2,1990/04/01,12:00:00,0,"見本"\r\n"Ken",1,2001/11/30,08:15:00,1,""\r\n' \
  | iconv -f UTF-8 -t CP932 > "$work/Mirvo.csv"

shoot() {  # mode, then environment assignments for the program
  local mode=$1; shift
  printf '[Window]\r\nLeft=10\r\nTop=10\r\n' > "$work/TodayMirvo.ini"
  unset QT_QPA_PLATFORM
  env "$@" xvfb-run -a -s "-screen 0 1400x1000x24" bash -c '
    set -u
    work=$1 out=$2 mode=$3
    "$work/TodayMirvo" & pid=$!
    for i in $(seq 1 100); do
      sleep 0.2
      xdotool search --name "今日のミルボ" >/dev/null 2>&1 && break
    done
    sleep 1
    # No window manager runs here: the keyboard focus is given by hand.
    focus() { local id; id=$(xdotool search --name "$1" | head -1); [ -n "$id" ] && xdotool windowfocus --sync "$id"; sleep 0.4; }
    main=$(xdotool search --name "今日のミルボ" | head -1)
    focus "^今日のミルボ \\[" 
    crop() {  # window title, picture name
      local g
      g=$(xwininfo -root -tree | grep "\"$1\"" | grep -oE "[0-9]+x[0-9]+\+[0-9]+\+[0-9]+" | head -1)
      if [ -z "$g" ]; then echo "$mode: no window \"$1\""; return; fi
      import -window root -crop "$g" +repage "$out/$mode-$2.png"
      echo "$mode: $2 ${g%%+*}"
    }
    crop "今日のミルボ \[山田花子\]" main
    # The settings window: Shift+F10, O.
    xdotool key shift+F10; sleep 0.6; xdotool key o; sleep 1.5
    focus "の設定$"
    crop "今日のミルボの設定" settings
    xdotool key ctrl+Tab; sleep 0.5
    crop "今日のミルボの設定" settings-method
    xdotool key Escape; sleep 0.8
    # The detail window: the menu key, I.
    focus "^今日のミルボ \\["
    xdotool key Menu; sleep 0.6; xdotool key i; sleep 1.5
    focus "^鑑定情報$"
    crop "鑑定情報" detail
    xdotool key Escape; sleep 0.8
    # The about box: Shift+F10, H, A.
    focus "^今日のミルボ \\["
    xdotool key shift+F10; sleep 0.6; xdotool key h; sleep 0.4; xdotool key a; sleep 1.5
    focus "^バージョン情報$"
    crop "バージョン情報" about
    xdotool key Return; sleep 0.5
    kill $pid; wait $pid 2>/dev/null || true
  ' _ "$work" "$out" "$mode"
}

modes=${MODES:-scale1.5 scale2 dpi144 dark contrast}
for mode in $modes; do
  case $mode in
    scale1.5) shoot "$mode" QT_SCALE_FACTOR=1.5 ;;
    scale2) shoot "$mode" QT_SCALE_FACTOR=2 ;;
    dpi144) shoot "$mode" QT_FONT_DPI=144 ;;
    dark) shoot "$mode" QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark ;;
    contrast) shoot "$mode" QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=HighContrast:dark ;;
    *) echo "unknown mode $mode" >&2; exit 2 ;;
  esac
done
echo "pictures in $out"
