#!/usr/bin/env bash
# mirvo-today --all as a user runs it: every member of a list of Japanese and
# Latin names on one line each, in columns that stay aligned at terminal
# widths of 60 and 120 (full-width characters take two columns), and --all
# --json holding exactly the single members' readings.
source "$(dirname "$0")/../support/checks.sh"

program="$MIRVO_RUNTIME_DIR/mirvo-today"
# Shift-JIS, CR LF: full-width kanji and kana, a long Latin name, half-width katakana, a mixed name.
/usr/bin/python3 - "$work/Mirvo.csv" <<'PY'
import sys
rows = [
    '"山田花子",2,1970/01/02,12:00:00,0,""',
    '"Hana",2,1985/07/07,08:30:00,1,""',
    '"寿限無寿限無五劫の擦り切れ海砂利水魚",1,2001/11/30,12:00:00,0,""',
    '"Christopher Alexander Longname",1,1950/03/03,12:00:00,0,""',
    '"ﾐﾙﾎﾞ",0,1999/09/09,12:00:00,0,""',
    '"佐藤 Ken",1,2010/10/10,12:00:00,0,""',
]
open(sys.argv[1], "wb").write(("\r\n".join(rows) + "\r\n").encode("cp932"))
PY
files=(--members "$work/Mirvo.csv" --date 2024-05-01)

for width in 60 120; do
  COLUMNS=$width "$program" --all "${files[@]}" >"$work/all-$width" || fail "--all at width $width failed"
  /usr/bin/python3 - "$work/all-$width" "$width" <<'PY' || fail "--all at width $width: columns not aligned"
import sys, unicodedata
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
width = int(sys.argv[2])

def columns(text):
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)

def starts(line, marks):
    """Terminal columns where each mark of `marks` starts, in order."""
    found = []
    for i, c in enumerate(line):
        if any(line.startswith(m, i) for m in marks):
            found.append(columns(line[:i]))
    return found

def ends(line, mark):
    return [columns(line[:i + len(mark)]) for i in range(len(line)) if line.startswith(mark, i)]

problems = []
head, rows = lines[1], lines[2:]
if lines[0] != "今日のミルボ  2024/05/01":
    problems.append(f"title: {lines[0]!r}")
if len(rows) != 6:
    problems.append(f"{len(rows)} member lines, not 6")
for line in lines:
    if columns(line) > width:
        problems.append(f"{columns(line)} columns: {line!r}")
axis_heads = [starts(head, [name])[0] for name in ("健康", "感情", "知性")]
star_heads = [ends(head, f"★{name}")[0] for name in ("健康", "感情", "知性")]
for line in rows:
    faces = starts(line, ["☺", "☹", "💣"])
    percents = ends(line, "%")
    totals = ends(line, "点")
    if faces != axis_heads:
        problems.append(f"faces at {faces}, heads at {axis_heads}: {line!r}")
    if percents != ends(rows[0], "%"):
        problems.append(f"percents end at {percents}: {line!r}")
    if totals != star_heads:
        problems.append(f"star totals end at {totals}, heads at {star_heads}: {line!r}")
for p in problems:
    print(p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
done
grep -q '^山田花子 ' "$work/all-60" || fail "a name that fits was cut at 60 columns"
grep -q '^Christopher Alexander Longname ' "$work/all-120" || fail "the long Latin name was cut at 120 columns"
grep -q '^Christopher…' "$work/all-60" || fail "the long Latin name was not cut at 60 columns"
grep -q '大変良い\|良い\|普通\|もう少し\|頑張れ' "$work/all-120" || fail "no rating words at 120 columns"

# --all --json: the array of the single members' readings.
"$program" --all --json "${files[@]}" >"$work/all.json" || fail "--all --json failed"
for i in 0 1 2 3 4 5; do
  "$program" --member "$i" --json "${files[@]}" >"$work/member-$i.json" || fail "--member $i --json failed"
done
/usr/bin/python3 - "$work" <<'PY' || fail "--all --json differs from the single readings"
import json, sys
work = sys.argv[1]
everyone = json.load(open(f"{work}/all.json", encoding="utf-8"))
singles = [json.load(open(f"{work}/member-{i}.json", encoding="utf-8")) for i in range(6)]
assert everyone == singles, "the arrays differ"
PY

# An empty list: the JSON is an empty array, the text says there is nobody.
: >"$work/empty.csv"
[ "$("$program" --all --json --members "$work/empty.csv")" = "[]" ] || fail "--all --json on an empty list"
"$program" --all --members "$work/empty.csv" | grep -qF "メンバーリストにメンバーがいません." ||
  fail "--all on an empty list"

# Options that do not go with --all.
for bad in "--member 1" "--days 3" "--notify"; do
  # shellcheck disable=SC2086
  "$program" --all $bad "${files[@]}" >"$work/out" 2>"$work/err"
  code=$?
  [ "$code" = 2 ] || fail "--all $bad gave exit code $code, not 2"
  grep -qF -- "--all と ${bad%% *} は一緒に使えません." "$work/err" || fail "--all $bad said: $(cat "$work/err")"
  [ -s "$work/out" ] && fail "--all $bad printed a reading"
done

[ "$failures" -eq 0 ] && cat "$work/all-60" "$work/all-120"
echo "$failures failed"
[ "$failures" -eq 0 ]
