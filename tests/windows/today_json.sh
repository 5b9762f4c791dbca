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

[ "$cases" -eq 10 ] || { echo "FAIL: $cases cases instead of 10" >&2; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] || { echo "$failures of $cases cases differ" >&2; exit 1; }
echo "mirvo-today.exe and mirvo-today agree on all $cases cases"
