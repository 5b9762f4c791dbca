#!/usr/bin/env bash
# mirvo-today --notify against a notification server of our own on a private
# session bus (dbus-run-session): what each Notify call carries, the default
# action starting the window program (a stand-in that writes down its
# arguments), the waits that end without it, and the exit code without a
# service or without a bus.
source "$(dirname "$0")/../support/checks.sh"

# Debian's Python, which has the D-Bus and GLib bindings (python3-dbus, python3-gi).
python=/usr/bin/python3
server="$MIRVO_SOURCE_DIR/tests/programs/notificationserver.py"
# The programs' folder: a copy of mirvo-today, the data file, the member list
# and the settings, and a stand-in for the window program.
programs="$work/programs"
mkdir "$programs"
cp "$MIRVO_RUNTIME_DIR/mirvo-today" "$MIRVO_RUNTIME_DIR/Kosmera.dat" "$programs/"
cat >"$programs/TodayMirvo" <<STANDIN
#!/bin/sh
printf '%s\n' "started" "\$@" >"$work/window.tmp" && mv "$work/window.tmp" "$work/window"
STANDIN
chmod +x "$programs/TodayMirvo"
"$python" - "$programs/Mirvo.csv" <<'PY'
import sys
rows = ['"Hana",2,1970/01/02,12:00:00,0,""', '"山田花子",2,1985/06/15,08:30:00,1,"メモ"', '"Ken",1,2001/11/30,12:00:00,0,""']
open(sys.argv[1], "wb").write(("\r\n".join(rows) + "\r\n").encode("cp932"))
PY
printf '[Option]\r\nDefaultUserIndex=2\r\n' >"$programs/TodayMirvo.ini"
today="$programs/mirvo-today"

# in_session CAPABILITIES MODE -- ARGS...: runs mirvo-today with ARGS on a new
# private bus whose notification server lists CAPABILITIES and answers by MODE
# ("none": no server at all). Leaves the exit code in $work/rc, the outputs in
# $work/out and $work/err, and the Notify calls in $work/calls.
in_session() {
  local caps=$1 mode=$2
  shift 3
  rm -f "$work/calls" "$work/ready" "$work/window" "$work/rc"
  : >"$work/calls"
  timeout 120 dbus-run-session -- bash -c '
    work=$1 python=$2 server=$3 caps=$4 mode=$5
    shift 5
    if [ "$mode" != none ]; then
      "$python" "$server" --capabilities "$caps" --mode "$mode" --record "$work/calls" --ready "$work/ready" &
      pid=$!
      for _ in $(seq 600); do [ -e "$work/ready" ] && break; sleep 0.05; done
    fi
    "$@" >"$work/out" 2>"$work/err"
    echo $? >"$work/rc"
    [ -n "${pid:-}" ] && kill "$pid" && wait "$pid"
    exit 0' bash "$work" "$python" "$server" "$caps" "$mode" "$@" 2>"$work/session-err" ||
    fail "the private bus session failed: $(cat "$work/session-err")"
  # The bus daemon may not raise its file limit without privileges; anything else it says is shown.
  grep -v "Failed to set fd limit" "$work/session-err" >&2
}

rc() { cat "$work/rc" 2>/dev/null || echo none; }

# The window program starts detached: give it a moment to write down its arguments.
window_started() {
  for _ in $(seq 400); do
    [ -e "$work/window" ] && return 0
    sleep 0.05
  done
  return 1
}

# --- with actions: the call carries the reading, the action opens the window ---
in_session "actions,body" invoke -- "$today" --notify --member 1 --date 2024-05-01
[ "$(rc)" = 0 ] || fail "--notify gave exit code $(rc): $(cat "$work/err")"
[ -s "$work/out" ] && fail "--notify printed: $(cat "$work/out")"
"$today" --member 1 --date 2024-05-01 --json >"$work/reading.json" || fail "the JSON reading failed"
"$python" - "$work/calls" "$work/reading.json" "actions" <<'PY' || fail "the Notify call is not that of the reading"
import json, sys
calls = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8")]
reading = json.load(open(sys.argv[2], encoding="utf-8"))
with_actions = sys.argv[3] == "actions"
assert len(calls) == 1, calls
call = calls[0]
names = ["健康", "感情", "知性"]
day = reading["days"][0]
lines = [f'{names[k]} {a["faceSymbol"]} {a["bioPercent"]}% {a["rating"]}' for k, a in enumerate(day["axes"])]
if day["advice"]["id"]:
    lines.append(day["advice"]["text"])
member = reading["member"]["name"]
expected_summary = f"今日のミルボ [{member}]" if member else "今日のミルボ"
problems = []
def check(what, got, want):
    if got != want:
        problems.append(f"{what}: {got!r}, not {want!r}")
check("summary", call["summary"], expected_summary)
check("body", call["body"].split("\n"), lines)
check("app name", call["app_name"], "今日のミルボ")
check("icon", call["app_icon"], "io.github.todaymirvo.TodayMirvo")
check("hints", call["hints"], {"desktop-entry": {"type": "String", "value": "io.github.todaymirvo.TodayMirvo"}})
check("actions", call["actions"], ["default", "開く"] if with_actions else [])
check("replaces", call["replaces_id"], 0)
check("expiry", call["expire_timeout"], 60000)
for p in problems:
    print(p, file=sys.stderr)
sys.exit(1 if problems else 0)
PY
if window_started; then
  [ "$(cat "$work/window")" = "$(printf 'started\n--member\n1')" ] ||
    fail "the window program started with: $(tr '\n' ' ' <"$work/window")"
else
  fail "choosing the default action did not start the window program"
fi
cp "$work/calls" "$work/calls-with-actions"

# The default member (DefaultUserIndex=2) with the window's own default.
in_session "actions" invoke -- "$today" --notify --date 2024-05-01
[ "$(rc)" = 0 ] || fail "--notify for the default member gave exit code $(rc)"
grep -qF '"summary": "今日のミルボ [Ken]"' "$work/calls" || fail "the default member's notification: $(cat "$work/calls")"
window_started && [ "$(cat "$work/window")" = started ] ||
  fail "the window program for the default member: $(tr '\n' ' ' <"$work/window" 2>/dev/null)"

# --- without actions: no action offered, no waiting, no window ---
in_session "body,body-markup" invoke -- "$today" --notify --member 1 --date 2024-05-01
[ "$(rc)" = 0 ] || fail "--notify without actions gave exit code $(rc)"
"$python" - "$work/calls" "$work/reading.json" "none" <<'PY' || fail "the Notify call without actions"
import json, sys
call = json.loads(open(sys.argv[1], encoding="utf-8").readline())
assert call["actions"] == [], call["actions"]
assert call["summary"] == "今日のミルボ [山田花子]", call["summary"]
PY
sleep 0.5
[ -e "$work/window" ] && fail "the window program started without an action"

# --- the wait ends when the server closes it, or when the expiry time is over ---
in_session "actions" close -- "$today" --notify --date 2024-05-01
[ "$(rc)" = 0 ] || fail "a closed notification gave exit code $(rc)"
in_session "actions" ignore -- "$today" --notify --date 2024-05-01 --expire 1
[ "$(rc)" = 0 ] || fail "an unanswered notification gave exit code $(rc)"
grep -qF '"expire_timeout": 1000' "$work/calls" || fail "--expire 1 is not a second: $(cat "$work/calls")"
sleep 0.5
[ -e "$work/window" ] && fail "the window program started though nobody chose the action"

# --- the anonymous member: the description alone ---
mkdir "$work/empty"
: >"$work/empty/Mirvo.csv"
in_session "actions" close -- "$today" --notify --members "$work/empty/Mirvo.csv"
grep -qF '"summary": "今日のミルボ",' "$work/calls" || fail "the anonymous member's summary: $(cat "$work/calls")"

# --- no service, no bus: the documented code and message, nothing else ---
in_session "" none -- "$today" --notify --date 2024-05-01
[ "$(rc)" = 8 ] || fail "without a notification service the exit code was $(rc), not 8"
grep -qF "通知サービス (org.freedesktop.Notifications) がセッションバスにありません." "$work/err" ||
  fail "without a service it said: $(cat "$work/err")"
[ -s "$work/out" ] && fail "without a service it printed: $(cat "$work/out")"

env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR="$work/no-runtime" "$today" --notify >"$work/out" 2>"$work/err"
code=$?
[ "$code" = 8 ] || fail "without a session bus the exit code was $code, not 8"
grep -qF "セッションバスに接続できません" "$work/err" || fail "without a bus it said: $(cat "$work/err")"
[ -s "$work/out" ] && fail "without a bus it printed: $(cat "$work/out")"

# --- options that do not go together ---
for bad in "--notify --json" "--notify --days 3" "--expire 0 --notify" "--expire 5"; do
  # shellcheck disable=SC2086
  "$today" $bad >/dev/null 2>"$work/err"
  code=$?
  [ "$code" = 2 ] || fail "mirvo-today $bad gave exit code $code, not 2"
done

if [ "$failures" -eq 0 ]; then
  echo "Recorded Notify call:"
  cat "$work/calls-with-actions"
fi
echo "$failures failed"
[ "$failures" -eq 0 ]
