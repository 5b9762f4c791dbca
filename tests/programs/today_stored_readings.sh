#!/usr/bin/env bash
# mirvo-today --json for ten members and days (tests/data/today/cases.txt)
# against the readings stored when they were first written: every stored
# field keeps its value to the last digit; the output may only gain fields.
source "$(dirname "$0")/../support/checks.sh"

program="$MIRVO_RUNTIME_DIR/mirvo-today"
data="$MIRVO_SOURCE_DIR/tests/data/today"
cases=0

while read -r member date days settings; do
  case $member in '#'* | '') continue ;; esac
  cases=$((cases + 1))
  name="$member-$date.json"
  if ! "$program" --members "$data/members.csv" --settings "$data/$settings" \
      --member "$member" --date "$date" --days "$days" --json >"$work/$name"; then
    echo "FAIL: mirvo-today failed for member $member on $date" >&2
    failures=$((failures + 1))
    continue
  fi
  python3 - "$data/$name" "$work/$name" <<'PY' || failures=$((failures + 1))
import json, sys

def compare(stored, now, where, out):
    if isinstance(stored, dict):
        if not isinstance(now, dict):
            out.append(f"{where}: no longer an object")
            return
        for key, value in stored.items():
            if key not in now:
                out.append(f"{where}.{key}: missing")
            else:
                compare(value, now[key], f"{where}.{key}", out)
    elif isinstance(stored, list):
        if not isinstance(now, list) or len(now) != len(stored):
            out.append(f"{where}: {now!r} instead of {stored!r}")
            return
        for i, (a, b) in enumerate(zip(stored, now)):
            compare(a, b, f"{where}[{i}]", out)
    elif type(stored) is not type(now) or stored != now:
        out.append(f"{where}: {now!r} instead of {stored!r}")

stored_path, now_path = sys.argv[1], sys.argv[2]
differences = []
compare(json.load(open(stored_path, encoding="utf-8")), json.load(open(now_path, encoding="utf-8")), "$", differences)
for d in differences:
    print(f"FAIL: {stored_path}: {d}", file=sys.stderr)
sys.exit(1 if differences else 0)
PY
done <"$data/cases.txt"

[ "$cases" -eq 10 ] || { echo "FAIL: $cases cases instead of 10" >&2; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "ten stored readings unchanged"
