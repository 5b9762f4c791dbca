#!/usr/bin/env bash
# The user's files under attack, with the real programs: files that fail
# after opening, a huge settings file under a memory limit, a closed pipe,
# names holding terminal commands, member files in other encodings or with
# bytes that are no Shift-JIS, a sex code outside 0-2; then the window
# program: a second start on the same folder, a member file changed on disk
# while it runs, a termination signal while its start box is open, and a
# lock that a killed copy does not leave behind.
source "$(dirname "$0")/../support/checks.sh"

runtime=${MIRVO_RUNTIME_DIR:?}
data=${MIRVO_SOURCE_DIR:?}/tests/data/members
today="$runtime/mirvo-today"
pids=()
on_exit() {
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null; done
}

printf '"Hana",2,1970/01/02,12:00:00,0,""\r\n' >"$work/one.csv"
m=(--members "$work/one.csv")

# --- read errors after opening: the program's own message, exit 5 ---------
for option in --settings --members; do
  "$today" "$option" /proc/self/mem >/dev/null 2>"$work/err"
  rc=$?
  [ "$rc" -eq 5 ] || fail "$option /proc/self/mem gave exit code $rc, not 5"
  grep -qF "ファイル /proc/self/mem は開けません" "$work/err" || fail "$option /proc/self/mem said: $(cat "$work/err")"
  grep -q basic_filebuf "$work/err" && fail "$option /proc/self/mem showed the library's text"
done

# --- a 140 KB settings file (a 100 KB section name, 20,000 blank CR LF lines) ----
{ printf '['; head -c 102400 /dev/zero | tr '\0' 'S'; printf ']\r\n'; yes $'\r' | head -n 20000; } >"$work/huge.ini"
[ "$(stat -c %s "$work/huge.ini")" -eq 142404 ] || fail "the huge settings file is not 140 KB"
if grep -qa __asan_init "$today"; then
  limit=unlimited   # the sanitizers reserve terabytes of address space
else
  limit=1000000
fi
(ulimit -v "$limit"; "$today" --settings "$work/huge.ini" "${m[@]}" >"$work/out" 2>"$work/err")
rc=$?
[ "$rc" -eq 0 ] || fail "the 140 KB settings file gave exit code $rc under ulimit -v $limit"
grep -q "Hana" "$work/out" || fail "no reading with the 140 KB settings file"
grep -qF "$work/huge.ini の 1 行目は長すぎるので読んでいません." "$work/err" || fail "no message for the long line: $(cat "$work/err")"
"$today" --settings "$work/huge.ini" "${m[@]}" --json 2>/dev/null | grep -q '"bioCycle": \[23, 28, 33\]' \
  || fail "the 140 KB settings file did not give the default cycles"
# Larger than the 1 MB limit: read as far as the limit, with a message.
{ printf '[Option]\nBioRaito_0=20\n'; yes '; a line of a settings file far too long' | head -c 2000000; } >"$work/big.ini"
"$today" --settings "$work/big.ini" "${m[@]}" --json >"$work/out" 2>"$work/err" || fail "the 2 MB settings file failed"
grep -q '"bioCycle": \[20, 28, 33\]' "$work/out" || fail "the start of the 2 MB settings file was not read"
grep -qF "大きすぎる" "$work/err" || fail "no message for the 2 MB settings file"

# --- a closed pipe is exit 6, not death by SIGPIPE ----------------------
"$today" --days 1000 "${m[@]}" 2>/dev/null | head -c1 >/dev/null
rc=${PIPESTATUS[0]}
[ "$rc" -eq 6 ] || fail "mirvo-today --days 1000 | head -c1 gave exit code $rc, not 6"

# --- names with terminal commands are shown, not obeyed -----------------
printf '"\033]0;owned\007\033[2JEvil",1,1980/01/01,12:00:00,0,"\033[31mmemo"\r\n' >"$work/evil.csv"
"$today" --members "$work/evil.csv" >"$work/out" 2>&1 || fail "the name with escapes failed"
grep -q $'\033' "$work/out" && fail "the text output carries the name's escape sequences"
grep -qF '[^[]0;owned^G^[[2JEvil]' "$work/out" || fail "the name is not shown in caret notation: $(head -1 "$work/out")"
"$today" --members "$work/evil.csv" --all >"$work/out" 2>&1 || fail "--all with the name with escapes failed"
grep -q $'\033' "$work/out" && fail "--all carries the name's escape sequences"
grep -qF '^[]0;ow' "$work/out" || fail "--all does not show the name in caret notation"
"$today" --members "$work/evil.csv" --json >"$work/out" || fail "the JSON with escapes failed"
grep -qF '\u001b]0;owned\u0007\u001b[2JEvil' "$work/out" || fail "the JSON no longer escapes the name as before"

# --- other encodings, bytes that are no Shift-JIS, a sex code of 7 -------
for file in utf8-bom.csv utf16le.csv utf16be.csv utf8-nobom.csv; do
  "$today" --members "$data/$file" --member 0 >"$work/out" 2>"$work/err" || fail "$file failed"
  grep -qF "[山田 花子]" "$work/out" || fail "$file was not read as what it is: $(head -1 "$work/out")"
  [ -s "$work/err" ] && fail "$file gave messages: $(cat "$work/err")"
done
"$today" --members "$data/not-shiftjis.csv" --member 1 >"$work/out" 2>"$work/err" || fail "not-shiftjis.csv failed"
grep -qF "$data/not-shiftjis.csv の 2 行目は読んでいません: Shift-JIS の文字として読めないバイトがあります" "$work/err" \
  || fail "no line number for the bytes that are no Shift-JIS: $(cat "$work/err")"
grep -qF "[日本]" "$work/out" || fail "the good lines of not-shiftjis.csv were not read"
"$today" --members "$data/damaged-lines.csv" --member Seven --json >"$work/out" 2>"$work/err" || fail "damaged-lines.csv failed"
grep -q '"sex": 0,' "$work/out" || fail "the sex code 7 was not read as 0"
grep -qF "の 6 行目の性別 7 は 0 (なし) として読みました." "$work/err" || fail "no message for the sex code 7: $(cat "$work/err")"
grep -qF "の 2 行目は読んでいません: NUL 文字があります" "$work/err" || fail "no message for the NUL byte"

# --- the window program --------------------------------------------------
[ -x "$runtime/TodayMirvo" ] || { [ "$failures" -eq 0 ] && echo "file safety: mirvo-today checks passed (no window program)"; exit $((failures > 0)); }
app="$work/app"
mkdir "$app"
cp "$runtime/TodayMirvo" "$runtime/Kosmera.dat" "$app/"
export QT_QPA_PLATFORM=offscreen

# wait_for CONDITION SECONDS: polls a shell condition.
wait_for() {
  local i
  for i in $(seq 1 $(($2 * 10))); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}
alive() { kill -0 "$1" 2>/dev/null; }

# Two copies on one folder: the second brings the first forward and ends.
printf '"Aiko",2,1980/04/01,12:00:00,0,"one"\r\n"Ben",1,1975/11/23,06:30:00,1,"two"\r\n' >"$app/Mirvo.csv"
"$app/TodayMirvo" 2>"$work/first.err" &
first=$!
pids+=("$first")
wait_for "[ -e '$app/TodayMirvo.lock' ]" 20 || fail "the first copy made no lock file"
sleep 3
timeout 20 "$app/TodayMirvo" 2>"$work/second.err"
rc=$?
[ "$rc" -eq 0 ] || fail "the second copy ended with $rc"
grep -qF "今日のミルボはもう起動しています. そのウィンドウを前に出しました." "$work/second.err" \
  || fail "the second copy did not say that it brought the first forward: $(cat "$work/second.err")"
alive "$first" || fail "the first copy ended when the second started"

# Meanwhile the member file is changed on disk by someone else (an editor,
# a copy on another settings folder): it stays, the first copy's list goes beside it.
printf '"Other",1,2000/01/01,12:00:00,0,"edited"\r\n' >"$app/Mirvo.csv"
kill -TERM "$first"
wait_for "! alive $first" 10 || fail "the first copy did not end within 10 s of SIGTERM"
wait "$first"
rc=$?
[ "$rc" -eq 0 ] || fail "the first copy ended with $rc after SIGTERM"
grep -q '"Other"' "$app/Mirvo.csv" || fail "the file changed on disk was overwritten"
grep -q '"Aiko"' "$app/Mirvo (2).csv" && grep -q '"Ben"' "$app/Mirvo (2).csv" \
  || fail "the first copy's members were not kept beside the changed file"
grep -qF "Mirvo (2).csv" "$work/first.err" || fail "the first copy did not say where its list went: $(cat "$work/first.err")"
[ -s "$app/TodayMirvo.ini" ] || fail "the first copy did not save its settings"

# A copy killed with SIGKILL leaves no lock behind.
"$app/TodayMirvo" 2>/dev/null &
killed=$!
pids+=("$killed")
sleep 3
kill -KILL "$killed"
wait "$killed" 2>/dev/null
"$app/TodayMirvo" 2>"$work/after.err" &
after=$!
pids+=("$after")
sleep 3
alive "$after" || fail "a start after a killed copy did not run: $(cat "$work/after.err")"
kill -TERM "$after"
wait_for "! alive $after" 10 || fail "the copy after the killed one did not end on SIGTERM"

# SIGTERM while the start box (a bad date on line 3) waits for the user.
rm -f "$app/TodayMirvo.ini" "$app"/Mirvo*.csv*
cp "$data/five-baddate-line3.csv" "$app/Mirvo.csv"
"$app/TodayMirvo" 2>"$work/term.err" &
term=$!
pids+=("$term")
sleep 3
kill -TERM "$term"
wait_for "! alive $term" 5 || fail "the program waited for its box after SIGTERM"
wait_for "[ -s '$app/TodayMirvo.ini' ]" 1 || fail "no settings saved after SIGTERM during the start box"
cmp -s "$app/Mirvo.csv.bak" "$data/five-baddate-line3.csv" || fail "the partly read member file was not kept"

finish "file safety"
