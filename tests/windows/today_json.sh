#!/usr/bin/env bash
# mirvo-today.exe under Wine against the Linux mirvo-today: the same --json
# output, byte for byte, for the ten members and days of
# tests/data/today/cases.txt. The Windows program writes its lines with the
# console's CR LF; apart from those line ends nothing may differ.
# Needs MIRVO_RUNTIME_DIR (the Windows build), MIRVO_HOST_RUNTIME_DIR (the
# Linux build), MIRVO_SOURCE_DIR and MIRVO_WINE (wine64), with the Wine
# environment of the test preset `windows`.
set -uo pipefail

linux="$MIRVO_HOST_RUNTIME_DIR/mirvo-today"
windows="$MIRVO_RUNTIME_DIR/mirvo-today.exe"
data="$MIRVO_SOURCE_DIR/tests/data/today"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
cases=0

# A Linux path as the Windows program sees it: Wine's drive Z: is the root.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

while read -r member date days settings; do
  case $member in '#'* | '') continue ;; esac
  cases=$((cases + 1))
  name="$member-$date"
  "$linux" --members "$data/members.csv" --settings "$data/$settings" \
    --member "$member" --date "$date" --days "$days" --json >"$work/$name.linux.json"
  linux_rc=$?
  "$MIRVO_WINE" "$windows" --members "$(winpath "$data/members.csv")" --settings "$(winpath "$data/$settings")" \
    --member "$member" --date "$date" --days "$days" --json >"$work/$name.windows.out"
  windows_rc=$?
  # Line ends: CR LF on Windows; a lone CR or LF would be a fault.
  tr -d '\r' <"$work/$name.windows.out" >"$work/$name.windows.json"
  crlf=$(grep -c $'\r$' "$work/$name.windows.out")
  lines=$(wc -l <"$work/$name.windows.out")
  if [ "$linux_rc" -ne 0 ] || [ "$windows_rc" -ne 0 ]; then
    echo "FAIL: member $member on $date: exit codes $linux_rc (Linux) and $windows_rc (Windows)" >&2
    failures=$((failures + 1))
  elif [ ! -s "$work/$name.linux.json" ]; then
    echo "FAIL: member $member on $date: no output" >&2
    failures=$((failures + 1))
  elif ! cmp -s "$work/$name.linux.json" "$work/$name.windows.json" || [ "$crlf" -ne "$lines" ]; then
    echo "FAIL: member $member on $date: the outputs differ" >&2
    diff "$work/$name.linux.json" "$work/$name.windows.json" | head -20 >&2
    failures=$((failures + 1))
  else
    echo "same: member $member, $date, $days day(s), $settings ($(wc -c <"$work/$name.linux.json") bytes)"
  fi
done <"$data/cases.txt"

# The program, its data file and the member list in folders whose names are
# Japanese and hold a letter that no code page of Japanese Windows has (ü):
# every path must reach Windows as UTF-16, never through the code page.
folder="$work/山田_Müller/今日のミルボ"
mkdir -p "$folder/メンバー"
cp "$windows" "$MIRVO_RUNTIME_DIR/Kosmera.dat" "$folder/"
cp "$data/members.csv" "$folder/メンバー/名簿.csv"
cp "$data/settings.ini" "$folder/メンバー/設定.ini"
"$linux" --members "$data/members.csv" --settings "$data/settings.ini" --member 2 --date 1985-07-23 --days 3 --json \
  >"$work/japanese.linux.json"
# Wine itself maps the Unix names only under a UTF-8 locale of the system
# (C.UTF-8 is always there); the program sees an ANSI code page without
# these letters either way.
LC_ALL=C.UTF-8 "$MIRVO_WINE" "$folder/mirvo-today.exe" --members "$(winpath "$folder/メンバー/名簿.csv")" \
  --settings "$(winpath "$folder/メンバー/設定.ini")" --member 2 --date 1985-07-23 --days 3 --json \
  2>"$work/japanese.err" | tr -d '\r' >"$work/japanese.windows.json"
cases=$((cases + 1))
if [ -s "$work/japanese.linux.json" ] && cmp -s "$work/japanese.linux.json" "$work/japanese.windows.json"; then
  echo "same: the program, its data file and the member list in folders named in Japanese"
else
  echo "FAIL: mirvo-today.exe in folders named in Japanese differs from the Linux program" >&2
  diff "$work/japanese.linux.json" "$work/japanese.windows.json" | head -10 >&2
  cat "$work/japanese.err" >&2
  failures=$((failures + 1))
fi

[ "$cases" -eq 11 ] || { echo "FAIL: $cases cases instead of 11" >&2; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] || { echo "$failures of $cases cases differ" >&2; exit 1; }
echo "mirvo-today.exe and mirvo-today agree on all $cases cases"
