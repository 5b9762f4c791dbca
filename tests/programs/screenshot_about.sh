#!/usr/bin/env bash
# Opens the about box of the real program as a user does (right click on the
# main window, ヘルプ(&H), バージョン情報(&A)) under Xvfb and saves pictures of
# it for people to look at: ${MIRVO_RUNTIME_DIR}/screenshots/about.png, and
# about-end.png with the memo scrolled to its end by the keyboard. Fails when
# the box does not come up, lacks the icon's colours, or does not close with
# its OK button.
set -euo pipefail
runtime=${MIRVO_RUNTIME_DIR:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$runtime/TodayMirvo" "$runtime/Kosmera.dat" "$work/"
printf '[Window]\r\nLeft=0\r\nTop=0\r\n' > "$work/TodayMirvo.ini"
out="$runtime/screenshots"
mkdir -p "$out"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  set -u
  "$1/TodayMirvo" & pid=$!
  for i in $(seq 1 50); do
    sleep 0.2
    xdotool search --name "今日のミルボ" >/dev/null 2>&1 && break
  done
  sleep 1
  main=$(xdotool search --name "今日のミルボ" | head -1)
  xdotool mousemove --window "$main" 100 100 click 3
  sleep 0.7
  xdotool key h; sleep 0.4; xdotool key a
  for i in $(seq 1 25); do
    sleep 0.2
    xwininfo -root -tree | grep -q "\"バージョン情報\"" && break
  done
  sleep 0.5
  xwininfo -root -tree | grep "\"バージョン情報\"" > "$3/about-window.txt" || true
  import -window root "$2/about.png"
  xdotool key Tab; sleep 0.3; xdotool key ctrl+End; sleep 0.5
  import -window root "$2/about-end.png"
  xdotool key shift+Tab; sleep 0.3; xdotool key Return; sleep 0.7
  xwininfo -root -tree | grep -c "\"バージョン情報\"" > "$3/after.txt" || true
  kill $pid; wait $pid 2>/dev/null || true
' _ "$work" "$out" "$work"

# The box was there, 256 x 294, and was gone after OK.
grep -q "256x294" "$work/about-window.txt" || { echo "the about box did not come up" >&2; exit 1; }
[ "$(cat "$work/after.txt")" = "0" ] || { echo "the about box stayed open after OK" >&2; exit 1; }
# Cut the box out of the screen: the icon's blue sky and cyan wave must be on it.
geometry=$(grep -o "256x294+[0-9]*+[0-9]*" "$work/about-window.txt" | head -1)
convert "$out/about.png" -crop "$geometry" +repage "$work/box.png"
cyan=$(convert "$work/box.png" -fx "(r<0.3 && g>0.8 && b>0.8) ? 1 : 0" -format "%[fx:mean*w*h]" info:)
[ "${cyan%.*}" -gt 5 ] || { echo "no icon on the about box ($cyan cyan pixels)" >&2; exit 1; }
echo "about box at $geometry; pictures in $out/about.png and $out/about-end.png"
