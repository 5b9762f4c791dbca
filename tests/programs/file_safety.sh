#!/usr/bin/env bash
# The user's files under attack, with the real programs: files that fail
# after opening, a huge settings file under a memory limit, a closed pipe,
# names holding terminal commands, member files in other encodings or with
# bytes that are no Shift-JIS, a sex code outside 0-2, a member file far
# too large, calendar files through links; then the window program: a second
# start on the same folder, a member file changed on disk or swapped for a
# FIFO while it runs, a termination signal while its start box is open, a
# lock that a killed copy does not leave behind, 200,000 bad member lines,
# leftover temporary files and a program folder every user can write.
source "$(dirname "$0")/../support/checks.sh"

runtime=${MIRVO_RUNTIME_DIR:?}
data=${MIRVO_SOURCE_DIR:?}/tests/data/members
today="$runtime/mirvo-today"
pids=()
others_dirs=()
on_exit() {
  # A program started under strace is strace's child: it goes first, so
  # that no copy outlives the test.
  for pid in "${pids[@]}"; do pkill -KILL -P "$pid" 2>/dev/null; kill -KILL "$pid" 2>/dev/null; done
  for dir in "${others_dirs[@]}"; do rm -rf "$dir"; done
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

# Option values, paths and member-file text in messages: shown, not obeyed.
"$today" --member $'\e]0;X\a' "${m[@]}" >/dev/null 2>"$work/err"
grep -q $'[\033\007]' "$work/err" && fail "the unknown member's name reached the terminal raw"
grep -qF "'^[]0;X^G'" "$work/err" || fail "the unknown member's name is not in caret notation: $(cat -v "$work/err")"
printf '\xef\xbb\xbf"A",1,1980/01/01,12:00:00,0,""\r\n"B",1,"19\033[2J80/01/01\xe2\x80\xae",12:00:00,0,""\r\n' >"$work/baddate.csv"
"$today" --members "$work/baddate.csv" >/dev/null 2>"$work/err"
grep -q $'\033' "$work/err" && fail "a bad date's text reached the terminal raw"
grep -q $'\xe2\x80\xae' "$work/err" && fail "a right-to-left override reached the terminal"
grep -qF '19^[[2J80' "$work/err" || fail "the bad date is not shown in caret notation: $(cat -v "$work/err")"
# The calendar file holds no control characters from a name, on a terminal neither.
"$today" --members "$work/evil.csv" --ics - >"$work/out" 2>&1 || fail "--ics - with the name with escapes failed"
grep -q $'[\033\007]' "$work/out" && fail "--ics carries the name's control characters"
grep -q "X-WR-CALNAME:.*owned" "$work/out" || fail "--ics lost the name's text"
# A dangling link or a link loop is not replaced by --ics.
ln -s "$work/nowhere/cal.ics" "$work/dangling.ics"
ln -s "$work/loop-b.ics" "$work/loop-a.ics"
ln -s "$work/loop-a.ics" "$work/loop-b.ics"
for link in dangling loop-a; do
  "$today" "${m[@]}" --ics "$work/$link.ics" >/dev/null 2>"$work/err"
  rc=$?
  [ "$rc" -eq 6 ] || fail "--ics through the $link link gave exit code $rc, not 6"
  [ -L "$work/$link.ics" ] || fail "--ics replaced the $link link"
  grep -qF "リンク先のないシンボリックリンクかリンクの輪" "$work/err" || fail "no message for the $link link: $(cat "$work/err")"
done
ln -s "$work/real.ics" "$work/good-link.ics"
: >"$work/real.ics"
"$today" "${m[@]}" --ics "$work/good-link.ics" || fail "--ics through a link to a file failed"
[ -L "$work/good-link.ics" ] && grep -q BEGIN:VCALENDAR "$work/real.ics" || fail "--ics did not write through the link"
# Another user (nobody, as root can start one) makes a sticky folder every
# user may write, with a link to a private file of this user's and a file of
# their own: --ics writes through neither, says why and exits 6; the user's
# own link there keeps working. The kernel's own rule is not relied on.
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
  open=$(mktemp -d)
  others_dirs+=("$open")
  chmod 0777 "$open"
  printf 'mine\n' >"$work/bashrc"
  chmod 0600 "$work/bashrc"
  setpriv --reuid=65534 --regid=65534 --clear-groups sh -c "
    mkdir '$open/sh' && chmod 1777 '$open/sh' && ln -s '$work/bashrc' '$open/sh/cal.ics' &&
    echo theirs >'$open/sh/theirs.ics' && chmod 0666 '$open/sh/theirs.ics'" || fail "nobody could not set up the sticky folder"
  for case in "cal.ics:ほかのユーザーが作ったシンボリックリンクです" "theirs.ics:ほかのユーザーのファイルなので, 書き込みません"; do
    name=${case%%:*}
    "$today" "${m[@]}" --ics "$open/sh/$name" --days 2 >/dev/null 2>"$work/err"
    rc=$?
    [ "$rc" -eq 6 ] || fail "--ics through nobody's $name gave exit code $rc, not 6"
    grep -qF "${case#*:}" "$work/err" || fail "--ics through nobody's $name did not say why: $(cat "$work/err")"
  done
  [ "$(cat "$work/bashrc")" = mine ] && [ "$(stat -c %a "$work/bashrc")" = 600 ] || fail "--ics changed the file nobody's link leads to"
  [ "$(cat "$open/sh/theirs.ics")" = theirs ] || fail "--ics wrote over nobody's file"
  [ "$(ls -A "$open/sh" | tr '\n' ' ')" = "cal.ics theirs.ics " ] || fail "--ics left files in the sticky folder: $(ls -A "$open/sh")"
  : >"$work/own.ics"
  ln -s "$work/own.ics" "$open/sh/own.ics"
  "$today" "${m[@]}" --ics "$open/sh/own.ics" || fail "--ics through the user's own link in the sticky folder failed"
  grep -q BEGIN:VCALENDAR "$work/own.ics" || fail "--ics did not write through the user's own link"
fi

# A line break or a line separator in an option value starts no line of the caller's.
for value in $'a\nFAKE: エラーはありません' $'a\xe2\x80\xa8FAKE: エラーはありません' $'a\rFAKE: エラーはありません'; do
  for option in --member --date --days --month; do
    "$today" "${m[@]}" "$option" "$value" >/dev/null 2>"$work/err"
    rc=$?
    [ "$rc" -ne 0 ] || fail "$option with a forged line was taken"
    grep -q '^FAKE' "$work/err" && fail "$option let the caller start a line: $(cat -v "$work/err")"
    { grep -q $'\r' "$work/err" || grep -qF $'\xe2\x80\xa8' "$work/err"; } \
      && fail "$option's value reached the terminal raw: $(cat -v "$work/err")"
    grep -qF 'FAKE: エラーはありません' "$work/err" || fail "$option's value is not quoted: $(cat -v "$work/err")"
  done
done

# A kill at each step of writing the calendar file (the temporary file just
# made and held, written and given the old file's mode, flushed, renamed)
# leaves the old file whole; each next --ics removes what the killed one
# before it left. The calls are those of the write alone (a sanitizer
# writes to the terminal too).
printf 'old\n' >"$work/kill.ics"
for call in flock fchmod fsync rename; do
  strace -f -o /dev/null -e trace="$call" -e inject="$call":signal=KILL "$today" "${m[@]}" --ics "$work/kill.ics" \
    >/dev/null 2>&1
  [ "$(cat "$work/kill.ics")" = old ] || fail "a kill at $call changed the calendar file"
  [ "$(ls -A "$work" | grep -c '^\.kill\.ics\.[0-9]*\.tmp$')" -eq 1 ] \
    || fail "a kill at $call did not leave exactly its own temporary file: $(ls -A "$work" | grep kill)"
done
"$today" "${m[@]}" --ics "$work/kill.ics" || fail "--ics after the kills failed"
grep -q BEGIN:VCALENDAR "$work/kill.ics" || fail "--ics after the kills wrote no calendar"
ls -A "$work" | grep -q '^\.kill\.ics\.' && fail "the temporary files of the killed runs were left: $(ls -A "$work" | grep kill)"

# No session bus: the reason in the program's words.
DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus XDG_RUNTIME_DIR=$work "$today" "${m[@]}" --notify 2>"$work/err"
grep -qiE "no such|refused|denied|error" "$work/err" && fail "--notify without a bus told English: $(cat "$work/err")"
grep -qF "セッションバスに接続できません (ファイルかフォルダーがありません, ENOENT)." "$work/err" \
  || fail "--notify without a bus did not say why in Japanese: $(cat "$work/err")"

# --- a member file far too large: read up to 1 MB, warnings counted -------
yes x | head -c 10000000 >"$work/huge.csv"
printf '"Hana",2,1970/01/02,12:00:00,0,""\r\n' >>"$work/huge.csv"
if grep -qa __asan_init "$today"; then limit=unlimited; else limit=400000; fi
(ulimit -v "$limit"; "$today" --members "$work/huge.csv" >"$work/out" 2>"$work/err")
rc=$?
[ "$rc" -eq 0 ] || fail "the 10 MB member file gave exit code $rc under ulimit -v $limit"
lines=$(wc -l <"$work/err")
[ "$lines" -le 22 ] || fail "the 10 MB member file gave $lines lines of warnings"
grep -qF "$work/huge.csv は 1048576 バイトより大きいので, そこまでしか読んでいません." "$work/err" \
  || fail "no message for the member file past the limit: $(head -2 "$work/err")"
grep -qF "ほかに 524269 件の警告があります." "$work/err" || fail "the warnings were not counted: $(tail -1 "$work/err")"

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
# The copies' one-copy channels live here, where window_ready.py looks.
export XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
ready="$(cd "$(dirname "$0")" && pwd)/window_ready.py"

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
python3 "$ready" "$XDG_RUNTIME_DIR" 30 || fail "the first copy's window did not come up"
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
python3 "$ready" "$XDG_RUNTIME_DIR" 30 || fail "the copy to be killed did not come up"
kill -KILL "$killed"
wait "$killed" 2>/dev/null
"$app/TodayMirvo" 2>"$work/after.err" &
after=$!
pids+=("$after")
python3 "$ready" "$XDG_RUNTIME_DIR" 30 || fail "a start after a killed copy did not come up: $(cat "$work/after.err")"
alive "$after" || fail "a start after a killed copy did not run: $(cat "$work/after.err")"
kill -TERM "$after"
wait_for "! alive $after" 10 || fail "the copy after the killed one did not end on SIGTERM"

# SIGTERM while the start box (a bad date on line 3) waits for the user.
rm -rf "$app/TodayMirvo.ini" "$app"/Mirvo*.csv* "$app/backup"
cp "$data/five-baddate-line3.csv" "$app/Mirvo.csv"
"$app/TodayMirvo" 2>"$work/term.err" &
term=$!
pids+=("$term")
# Its channel answers once the box is up and waits for the user.
python3 "$ready" "$XDG_RUNTIME_DIR" 30 || fail "the start box did not come up"
kill -TERM "$term"
wait_for "! alive $term" 5 || fail "the program waited for its box after SIGTERM"
wait_for "[ -s '$app/TodayMirvo.ini' ]" 1 || fail "no settings saved after SIGTERM during the start box"
kept=$(ls "$app"/backup/Mirvo-*.csv 2>/dev/null | head -1)
cmp -s "$kept" "$data/five-baddate-line3.csv" || fail "the partly read member file was not kept"

# 200,000 unreadable lines: the start box holds a few of them and the window
# answers at once (a second start gets it forward); SIGTERM ends it and the file stays.
# The lock file of the copies before stays (only its lock goes): it is removed
# so that its appearing says this copy holds the lock, and no second copy
# started too early becomes the first.
rm -f "$app/TodayMirvo.ini" "$app"/Mirvo*.csv* "$app/TodayMirvo.log" "$app/TodayMirvo.lock"
python3 -c "open('$app/Mirvo.csv','wb').write(b'x\r\n'*200000)"
cp "$app/Mirvo.csv" "$work/huge-members.csv"
started=$(date +%s%N)
"$app/TodayMirvo" 2>"$work/huge.err" &
huge=$!
pids+=("$huge")
wait_for "[ -e '$app/TodayMirvo.lock' ]" 20 || fail "the copy with 200,000 bad lines made no lock file"
# A second copy started before the first listens could not bring it forward
# and would wait on its own box: it starts once the channel answers.
python3 "$ready" "$XDG_RUNTIME_DIR" 30 || fail "the copy with 200,000 bad lines did not answer on its channel"
answered=
for i in $(seq 1 30); do
  if timeout 10 "$app/TodayMirvo" 2>/dev/null; then
    answered=$(( ($(date +%s%N) - started) / 1000000 ))
    break
  fi
  sleep 0.2
done
[ -n "$answered" ] || fail "the window program did not answer with 200,000 bad lines in its member file"
echo "file safety: 200,000 bad member lines, the start box answered after ${answered} ms"
kill -TERM "$huge"
wait_for "! alive $huge" 10 || fail "SIGTERM did not end the program with 200,000 bad member lines"
cmp -s "$app/Mirvo.csv" "$work/huge-members.csv" || fail "the member file of 200,000 bad lines was changed"
[ "$(grep -c 'は読んでいません' "$app/TodayMirvo.log")" -eq 200000 ] || fail "the log does not hold every line's message"

# Mirvo.csv swapped for a FIFO while the program runs: the list goes to a
# file beside it, which the program names.
rm -f "$app/TodayMirvo.ini" "$app"/Mirvo*.csv* "$app/TodayMirvo.log"
python3 -c "
with open('$app/Mirvo.csv', 'wb') as f:
    for i in range(100):
        f.write(b'\"M%d\",1,1980/01/%02d,12:00:00,0,\"\"\r\n' % (i, i % 28 + 1))"
cp "$app/Mirvo.csv" "$work/hundred.csv"
"$app/TodayMirvo" 2>"$work/fifo.err" &
fifo=$!
pids+=("$fifo")
python3 "$ready" "$XDG_RUNTIME_DIR" 30 || fail "the copy with 100 members did not come up"
rm "$app/Mirvo.csv"
mkfifo "$app/Mirvo.csv"
kill -TERM "$fifo"
wait_for "! alive $fifo" 10 || fail "the program did not end on SIGTERM with a FIFO for its member file"
[ -p "$app/Mirvo.csv" ] || fail "the FIFO was replaced"
cmp -s "$app/Mirvo (2).csv" "$work/hundred.csv" || fail "the 100 members were not saved beside the FIFO"
grep -qF "メンバーリストを $app/Mirvo (2).csv に保存しました" "$work/fifo.err" \
  || fail "the program did not name the file that holds the list: $(cat "$work/fifo.err")"
rm -f "$app/Mirvo.csv"

# Temporary files of an interrupted save are removed at the next start, only the program's own.
cp "$work/hundred.csv" "$app/Mirvo.csv"
for name in .Mirvo.csv.1234.tmp .TodayMirvo.ini.99.tmp .Mirvo.csv.x1.tmp; do echo data >"$app/$name"; done
"$app/TodayMirvo" 2>/dev/null &
leftover=$!
pids+=("$leftover")
wait_for "[ ! -e '$app/.Mirvo.csv.1234.tmp' ] && [ ! -e '$app/.TodayMirvo.ini.99.tmp' ]" 20 \
  || fail "the temporary files of an interrupted save were left"
[ -e "$app/.Mirvo.csv.x1.tmp" ] || fail "a file that is not the program's temporary file was removed"
kill -TERM "$leftover"
wait_for "! alive $leftover" 10 || fail "the program did not end on SIGTERM"

# A program folder that every user can write, with the sticky bit or
# without, is not used for the user's files.
for mode in 0777 1777; do
  shared="$work/shared-$mode"
  mkdir "$shared"
  cp "$runtime/TodayMirvo" "$runtime/Kosmera.dat" "$shared/"
  cp "$work/hundred.csv" "$shared/Mirvo.csv"
  chmod "$mode" "$shared"
  rm -rf "$work/cfg"
  XDG_CONFIG_HOME="$work/cfg" XDG_DATA_HOME="$work/data" "$shared/TodayMirvo" 2>"$work/shared.err" &
  sharedpid=$!
  pids+=("$sharedpid")
  python3 "$ready" "$XDG_RUNTIME_DIR" 30 || fail "the program in the $mode folder did not come up"
  kill -TERM "$sharedpid"
  wait_for "! alive $sharedpid" 10 || fail "the program in the $mode folder did not end on SIGTERM"
  grep -qF "フォルダー $shared はほかのユーザーも書き込めるので" "$work/shared.err" \
    || fail "the program did not say why it left the $mode folder: $(cat "$work/shared.err")"
  [ -s "$work/cfg/TodayMirvo/TodayMirvo.ini" ] || fail "the settings did not go to the user's folder ($mode)"
  [ -e "$shared/TodayMirvo.ini" ] && fail "the settings were written into the $mode folder every user can write"
  [ -e "$shared/backup" ] && fail "copies were put into the $mode folder every user can write"
  cmp -s "$shared/Mirvo.csv" "$work/hundred.csv" || fail "the member file in the $mode folder was changed"
done

# A kill while a copy of the member list is written into backup/ (the
# first flush of the run) leaves the list whole; the next start removes
# the copy's temporary file. The list is saved with other bytes than it was
# read (LF line ends), so a copy is made.
rm -f "$app/TodayMirvo.ini" "$app"/Mirvo*.csv* "$app"/.*.tmp "$app/TodayMirvo.lock"
rm -rf "$app/backup"
tr -d '\r' <"$work/hundred.csv" >"$app/Mirvo.csv"
chmod 0600 "$app/Mirvo.csv"
cp "$app/Mirvo.csv" "$work/hundred-lf.csv"
strace -f -o /dev/null -e trace=fsync -e inject=fsync:signal=KILL "$app/TodayMirvo" 2>/dev/null &
killedpid=$!
pids+=("$killedpid")
python3 "$ready" "$XDG_RUNTIME_DIR" 30 || fail "the program under strace did not come up"
pkill -TERM -P "$killedpid" 2>/dev/null   # the program itself, strace's child
wait_for "! alive $killedpid" 20 || fail "the program under strace did not end"
cmp -s "$app/Mirvo.csv" "$work/hundred-lf.csv" || fail "a kill during the copy changed the member list"
ls -A "$app/backup" 2>/dev/null | grep -q '^\.Mirvo-[0-9-]*\.csv\.[0-9]*\.tmp$' \
  || fail "a kill during the copy left no temporary file there (the step was not reached): $(ls -A "$app/backup" 2>&1)"
"$app/TodayMirvo" 2>/dev/null &
leftover=$!
pids+=("$leftover")
wait_for "! ls -A '$app/backup' | grep -q '\.tmp$'" 20 || fail "the copy's temporary file was left at the next start"
kill -TERM "$leftover"
wait_for "! alive $leftover" 10 || fail "the program did not end on SIGTERM after the killed copy"
[ "$(stat -c %a "$app/backup")" = 700 ] || fail "backup/ is not the user's alone: $(stat -c %a "$app/backup")"
for copy in "$app"/backup/Mirvo-*.csv; do
  [ "$(stat -c %a "$copy")" = 600 ] || fail "the copy $copy of a 0600 list is $(stat -c %a "$copy")"
done

finish "file safety"
