#!/usr/bin/env bash
# Starts the real program under Xvfb with a known member, moves three days on
# (so that today and the shown day differ), opens the month window with
# Ctrl+M and saves pictures of the screen at normal and at double density for
# people to look at: ${MIRVO_RUNTIME_DIR}/screenshots/month.png and month@2x.png.
# Fails when the month window does not come up or the picture stays empty.
set -euo pipefail
runtime=${MIRVO_RUNTIME_DIR:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$runtime/TodayMirvo" "$runtime/Kosmera.dat" "$work/"
printf '"山田花子",2,1970/01/02,12:00:00,0,"見本"\r\n' | iconv -f UTF-8 -t CP932 > "$work/Mirvo.csv"
printf '[Window]\r\nLeft=10\r\nTop=10\r\n' > "$work/TodayMirvo.ini"
out="$runtime/screenshots"
mkdir -p "$out"
unset QT_QPA_PLATFORM
shoot() {  # scale, screen size, picture
  xvfb-run -a -s "-screen 0 $2x24" env QT_SCALE_FACTOR="$1" bash -c '
    "$1/TodayMirvo" & pid=$!
    for i in $(seq 1 150); do
      sleep 0.2
      if xwininfo -root -tree 2>/dev/null | grep -q "今日のミルボ"; then break; fi
    done
    sleep 1
    xdotool mousemove 40 40 click 1; sleep 0.3
    xdotool key ctrl+n ctrl+n ctrl+n; sleep 0.5
    xdotool key ctrl+m
    for i in $(seq 1 50); do
      sleep 0.2
      if xwininfo -root -tree 2>/dev/null | grep -q "月間表示"; then break; fi
    done
    sleep 1
    month=$(xdotool search --name "月間表示" | head -1)
    [ -n "$month" ] && xdotool windowmove "$month" "$3" 0
    sleep 1
    import -window root "$2"
    kill $pid; wait $pid 2>/dev/null || true
    [ -n "$month" ]
  ' _ "$work" "$3" "$4"
}
shoot 1 1024x768 "$out/month.png" 270
shoot 2 1920x1200 "$out/month@2x.png" 500
for picture in "$out/month.png" "$out/month@2x.png"; do
  colours=$(convert "$picture" -format %k info:)
  echo "screenshot: $picture ($colours colours)"
  [ "$colours" -gt 100 ]
done
