#!/usr/bin/env bash
# mirvo-today.exe in a console window, as from a command prompt of a Japanese
# Windows (code page 932): the console's screen buffer, read back by
# consolescreen.exe, shows the reading's Japanese text as the Linux program
# prints it, and no escape sequence (colours are for consoles that read
# them). Redirected to a file, the output is UTF-8 as on Linux.
# Environment as for today_json.sh.
set -uo pipefail

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

data="$MIRVO_SOURCE_DIR/tests/data/today"
args=(--members "$data/members.csv" --settings "$data/settings.ini" --member 2 --date 1985-07-23)
"$MIRVO_HOST_RUNTIME_DIR/mirvo-today" "${args[@]}" >"$work/linux.txt"
winargs="--members $(winpath "$data/members.csv") --settings $(winpath "$data/settings.ini") --member 2 --date 1985-07-23"

# Wine's console needs a display, and a Wine prefix whose desktop was made
# with it: a prefix of this test's own, under Xvfb.
wineserver=$(dirname "$MIRVO_WINE")/wineserver64
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 \
  xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
    "$1" wineboot --init >/dev/null 2>&1
    "$1" "$2" "$3" "$4"
    code=$?
    "$5" -k 2>/dev/null
    exit $code' console "$MIRVO_WINE" "$MIRVO_RUNTIME_DIR/consolescreen.exe" \
  "$(winpath "$MIRVO_RUNTIME_DIR/mirvo-today.exe") $winargs" "$(winpath "$work/screen.txt")" "$wineserver"
code=$?
[ "$code" -eq 0 ] || fail "consolescreen.exe: exit code $code"
tr -d '\r' <"$work/screen.txt" >"$work/screen-lines.txt" 2>/dev/null
echo "--- the console shows:"; head -8 "$work/screen-lines.txt"
# The text lines (the Braille chart aside, whose blank cells the console keeps as spaces).
for line in "今日のミルボ [Aki]" "♌ 獅子座  守護星:太陽" "健康  ☺     0%   368点  普通" "知性  ☺     0%    26点  普通"; do
  grep -qxF "$line" "$work/linux.txt" || fail "the Linux program no longer prints '$line'"
  grep -qxF "$line" "$work/screen-lines.txt" || fail "the console does not show '$line'"
done
if grep -q $'\x1b\|\[9[0-9]m\|\[0m' "$work/screen-lines.txt"; then
  fail "escape sequences reach the console's screen"
fi

# Redirected to a file: UTF-8 bytes, the same as Linux (CR LF aside).
"$MIRVO_WINE" "$MIRVO_RUNTIME_DIR/mirvo-today.exe" --members "$(winpath "$data/members.csv")" \
  --settings "$(winpath "$data/settings.ini")" --member 2 --date 1985-07-23 2>/dev/null | tr -d '\r' >"$work/file.txt"
cmp -s "$work/file.txt" "$work/linux.txt" || fail "mirvo-today.exe into a file differs from the Linux output"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the console failed" >&2
  exit 1
fi
echo "mirvo-today.exe in a console: Japanese text shown, no escape sequences; into a file: UTF-8 as on Linux"
