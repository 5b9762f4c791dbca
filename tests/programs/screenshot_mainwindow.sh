#!/usr/bin/env bash
# Starts the real program under Xvfb with a known member and saves a picture of
# the screen for people to look at: ${MIRVO_RUNTIME_DIR}/screenshots/mainwindow.png.
# Fails when the program does not come up or the picture stays empty.
set -euo pipefail
runtime=${MIRVO_RUNTIME_DIR:?}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$runtime/TodayMirvo" "$runtime/Kosmera.dat" "$work/"
[ -f "$runtime/TodayMirvo.chm" ] && cp "$runtime/TodayMirvo.chm" "$work/"
# One member, in the member file's Shift-JIS form.
printf '"山田花子",2,1990/04/01,12:00:00,0,"見本"\r\n' | iconv -f UTF-8 -t CP932 > "$work/Mirvo.csv"
printf '[Window]\r\nLeft=20\r\nTop=20\r\n' > "$work/TodayMirvo.ini"
out="$runtime/screenshots"
mkdir -p "$out"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 320x360x24" bash -c '
  "$1/TodayMirvo" & pid=$!
  for i in $(seq 1 150); do
    sleep 0.2
    if xwininfo -root -tree 2>/dev/null | grep -q "今日のミルボ"; then break; fi
  done
  sleep 1
  import -window root "$2/mainwindow.png"
  kill $pid; wait $pid 2>/dev/null || true
' _ "$work" "$out"
# The window's gradient must be on the picture: look for a deep blue pixel.
colours=$(convert "$out/mainwindow.png" -format %k info:)
echo "screenshot: $out/mainwindow.png ($colours colours)"
[ "$colours" -gt 50 ]
