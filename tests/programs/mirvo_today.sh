#!/usr/bin/env bash
# mirvo-today as a user runs it: every documented error with its message and
# exit code, the text and the table showing the numbers of the JSON, and
# colours only on a terminal.
source "$(dirname "$0")/../support/checks.sh"

program="$MIRVO_RUNTIME_DIR/mirvo-today"
# expect_error CODE MESSAGE PROGRAM ARGS...: the exit code and the message on stderr, nothing on stdout.
expect_error() {
  local code=$1 message=$2
  shift 2
  local out rc
  out=$("$@" 2>"$work/stderr")
  rc=$?
  [ "$rc" -eq "$code" ] || fail "$* gave exit code $rc, not $code"
  grep -qF -- "$message" "$work/stderr" || fail "$* said '$(cat "$work/stderr")', not '$message'"
  [ -z "$out" ] || fail "$* printed a reading despite the error"
}

# Members: ASCII names keep the file the same in Shift-JIS; CR LF line ends.
printf '"Hana",2,1970/01/02,12:00:00,0,""\r\n"Taro",1,2000/02/29,23:59:30,1,"memo"\r\n' >"$work/Mirvo.csv"
# A bad date on line 3: the members of lines 1 and 2 are read, the rest is not.
printf '"A",1,1990/01/01,00:00:00,0,""\r\n"B",1,1991/02/03,00:00:00,0,""\r\n"C",1,2024/13/01,00:00:00,0,""\r\n"D",2,1992/03/04,00:00:00,0,""\r\n' >"$work/damaged.csv"
printf '[Option]\r\nDefaultUserIndex=1\r\nBioRaito_1=28.5\r\nPlanetUse_8=1\r\n' >"$work/TodayMirvo.ini"
files=(--members "$work/Mirvo.csv" --settings "$work/TodayMirvo.ini")

# --- errors -------------------------------------------------------------
expect_error 2 "不明なオプションです: --bogus" "$program" --bogus
expect_error 2 "不明なオプションです: today" "$program" today
expect_error 2 "オプション --date には値が必要です." "$program" --date
expect_error 2 "'0' は日数ではありません" "$program" --days 0
expect_error 2 "'x' は日数ではありません" "$program" --days=x
expect_error 2 "mirvo-today --help" "$program" --json=1
expect_error 3 "'2024-02-30' は日付ではありません" "$program" --date 2024-02-30 "${files[@]}"
expect_error 3 "'2024/05/01' は日付ではありません" "$program" --date 2024/05/01
expect_error 3 "表の最後の日が 9999-12-31 を超えます." "$program" --date 9999-12-30 --days 3 "${files[@]}"
expect_error 4 "メンバー 'Nobody' はメンバーリストにいません." "$program" --member Nobody "${files[@]}"
expect_error 4 "メンバー '2' はメンバーリストにいません." "$program" --member 2 "${files[@]}"
expect_error 5 "ファイル $work/none.csv が見つかりません." "$program" --members "$work/none.csv"
expect_error 5 "ファイル $work/none.ini が見つかりません." "$program" --settings "$work/none.ini"
expect_error 5 "ファイル $work は開けません" "$program" --members "$work"

# --- a member file with a bad line: a warning, and the other members -----
warning="$work/damaged.csv の 3 行目は読んでいません: '2024/13/01' は日付ではありません"
for member in 1 B; do
  "$program" --members "$work/damaged.csv" --member "$member" --date 2024-05-01 >"$work/out" 2>"$work/stderr"
  rc=$?
  [ "$rc" -eq 0 ] || fail "--member $member of the damaged file gave exit code $rc, not 0"
  [ "$(head -1 "$work/out")" = "今日のミルボ [B]" ] || fail "--member $member of the damaged file read '$(head -1 "$work/out")'"
  grep -qF -- "$warning" "$work/stderr" || fail "no warning for the damaged file: '$(cat "$work/stderr")'"
done
"$program" --members "$work/damaged.csv" --date 2024-05-01 >"$work/out" 2>/dev/null \
  && [ "$(head -1 "$work/out")" = "今日のミルボ [A]" ] || fail "the damaged file's default member is not member 0"
# The line after the bad one is read: D is member 2.
for member in 2 D; do
  "$program" --members "$work/damaged.csv" --member "$member" --date 2024-05-01 >"$work/out" 2>/dev/null \
    && [ "$(head -1 "$work/out")" = "今日のミルボ [D]" ] || fail "--member $member of the damaged file is not D"
done
for member in 4 3 C; do
  expect_error 4 "メンバー '$member' はメンバーリストにいません." "$program" --members "$work/damaged.csv" --member "$member"
  grep -qF -- "$warning" "$work/stderr" || fail "no warning with --member $member: '$(cat "$work/stderr")'"
done

# The data file: missing, not a PE file, cut short.
for case in missing garbage truncated; do
  mkdir "$work/$case"
  cp "$program" "$work/$case/"
  case $case in
    garbage) head -c 4096 /dev/urandom >"$work/$case/Kosmera.dat" ;;
    truncated) head -c $(($(stat -c %s "$MIRVO_RUNTIME_DIR/Kosmera.dat") / 2)) "$MIRVO_RUNTIME_DIR/Kosmera.dat" >"$work/$case/Kosmera.dat" ;;
  esac
done
expect_error 1 "暦ライブラリ Kosmera.dat が見つかりません." "$work/missing/mirvo-today" "${files[@]}"
expect_error 1 "暦ライブラリの初期化に失敗しました." "$work/garbage/mirvo-today" "${files[@]}"
expect_error 1 "暦ライブラリの初期化に失敗しました." "$work/truncated/mirvo-today" "${files[@]}"

"$program" "${files[@]}" >/dev/full 2>/dev/null
rc=$?
[ "$rc" -eq 6 ] || fail "a full disk gave exit code $rc, not 6"

"$program" --help >"$work/help" 2>&1 || fail "--help failed"
grep -q "使い方: mirvo-today" "$work/help" || fail "--help printed no usage"

# --- the text shows the numbers of the JSON ---------------------------------
"$program" "${files[@]}" --date 2024-05-01 >"$work/text" || fail "the reading failed"
"$program" "${files[@]}" --date 2024-05-01 --json >"$work/one.json" || fail "the JSON failed"
"$program" "${files[@]}" --date 2024-05-01 --days 12 >"$work/table" || fail "the table failed"
"$program" "${files[@]}" --date 2024-05-01 --days 12 --json >"$work/table.json" || fail "the table's JSON failed"
python3 - "$work" <<'EOF' || fail "the text and the JSON differ"
import json, sys
work = sys.argv[1]
names = ["健康", "感情", "知性"]
one = json.load(open(f"{work}/one.json", encoding="utf-8"))
text = open(f"{work}/text", encoding="utf-8").read().split("\n")
assert one["member"]["index"] == 1 and one["member"]["name"] == "Taro", one["member"]
assert one["settings"]["bioCycle"] == [23, 28.5, 33] and one["settings"]["planetUse"][8] is True
day = one["days"][0]
assert text[0] == "今日のミルボ [Taro]", text[0]
assert text[1].startswith("2024/05/01  2000/02/29 生まれ  %d 日目" % day["daysSinceBirth"]), text[1]
m = one["member"]
assert text[2] == "%s %s  守護星:%s" % (m["signSymbol"], m["sign"], m["guardianPlanet"]), text[2]
assert (m["signIndex"], m["sign"], m["guardianPlanetIndex"]) == (11, "魚座", 8), m
for k, axis in enumerate(day["axes"]):
    line = next(l for l in text if l.startswith(names[k]))
    fields = line.split()
    assert fields[1] == axis["faceSymbol"], (line, axis)
    assert "%d%%" % axis["bioPercent"] in fields, (line, axis)
    assert "%d点" % axis["starTotal"] in fields, (line, axis)
    assert fields[-1] == axis["rating"], (line, axis)
if day["advice"]["id"]:
    assert day["advice"]["text"] in text, day["advice"]
assert sum(1 for l in text if l and all(ord(c) >= 0x2800 and ord(c) <= 0x28FF or c == " " for c in l)) == 8
table = json.load(open(f"{work}/table.json", encoding="utf-8"))
rows = open(f"{work}/table", encoding="utf-8").read().split("\n")[2:-1]
assert open(f"{work}/table", encoding="utf-8").read().split("\n")[0].endswith("  " + text[2]), "table head"
assert len(rows) == len(table["days"]) == 12, len(rows)
for row, day in zip(rows, table["days"]):
    fields = row.split()
    assert fields[0] == day["date"].replace("-", "/"), (row, day["date"])
    for axis in day["axes"]:
        assert "%d%%" % axis["bioPercent"] in row and "%d点" % axis["starTotal"] in row, (row, axis)
        assert axis["rating"] in fields, (row, axis)
EOF

# --- colours only on a terminal ---------------------------------------------
if command -v script >/dev/null; then
  script -qec "'$program' --members '$work/Mirvo.csv' --date 2024-05-01" /dev/null >"$work/tty" 2>&1
  grep -q $'\x1b\[' "$work/tty" || fail "no colours on a terminal"
  NO_COLOR=1 script -qec "'$program' --members '$work/Mirvo.csv' --date 2024-05-01" /dev/null >"$work/tty" 2>&1
  grep -q $'\x1b\[' "$work/tty" && fail "colours despite NO_COLOR"
fi
grep -q $'\x1b' "$work/text" "$work/table" "$work/one.json" && fail "colours in output that is not a terminal"

# --- the chart's dates at the ends of the calendar: days outside it stay blank ---
scale=$("$program" --members "$work/Mirvo.csv" --date 0001-01-01 | tail -1)
[ "$(echo $scale)" = "01/01 01/16" ] || fail "the chart's dates at 0001-01-01 are '$scale'"
scale=$("$program" --members "$work/Mirvo.csv" --date 9999-12-31 | tail -1)
[ "$(echo $scale)" = "12/16 12/31" ] || fail "the chart's dates at 9999-12-31 are '$scale'"
[ "${scale: -1}" = "1" ] || fail "the chart's dates at 9999-12-31 end in a blank"

finish mirvo-today
