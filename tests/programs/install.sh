#!/usr/bin/env bash
# Installation into a prefix: the layout, the desktop entry and metainfo
# (validated offline), and where the installed programs keep their files:
# beside them while their folder can be written, in the user's folders once
# it cannot (the prefix made read-only), with nothing written into the prefix.
source "$(dirname "$0")/../support/checks.sh"

build="$MIRVO_RUNTIME_DIR"
prefix="$work/prefix"
on_exit() { chmod -R u+w "$work" 2>/dev/null; }
app_id=io.github.todaymirvo.TodayMirvo
programs="$prefix/lib/todaymirvo"

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }

# --- layout --------------------------------------------------------------
for f in TodayMirvo mirvo-today Kosmera.dat TodayMirvo.chm; do
  [ -f "$programs/$f" ] || fail "no $f in lib/todaymirvo"
done
for link in todaymirvo:TodayMirvo mirvo-today:mirvo-today; do
  name=${link%%:*} target=${link#*:}
  [ "$(readlink "$prefix/bin/$name")" = "../lib/todaymirvo/$target" ] || fail "bin/$name is no link to $target"
done
desktop="$prefix/share/applications/$app_id.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
grep -q '^Name\[ja\]=今日のミルボ$' "$desktop" || fail "no Name[ja] in the desktop entry"
grep -q '^Comment\[ja\]=' "$desktop" || fail "no Comment[ja] in the desktop entry"
grep -q "^Icon=$app_id$" "$desktop" || fail "the desktop entry names another icon"
appstreamcli validate --no-net "$metainfo" || fail "the metainfo does not validate"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" || fail "metainfo launches no desktop entry"
if [ -f "$MIRVO_SOURCE_DIR/resources/icon/todaymirvo.svg" ]; then
  for size in 16 24 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    # A PNG's width and height: bytes 16-23, big-endian.
    dims=$(od -An -tx1 -j16 -N8 "$png" 2>/dev/null | tr -d ' \n')
    [ "$dims" = "$(printf '%08x%08x' "$size" "$size")" ] || fail "icon $png is not ${size}x${size}"
  done
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "no scalable icon"
fi

# Runs a command with the prefix read-only. Root passes permission bits, so
# for root the prefix is bound read-only in a mount namespace of its own.
read_only() {
  if [ "$(id -u)" -ne 0 ]; then
    chmod -R a-w "$prefix" && "$@"
    local rc=$?
    chmod -R u+w "$prefix"
    return $rc
  fi
  unshare --mount --propagation private bash -c '
    prefix=$1; shift
    mount --bind "$prefix" "$prefix" && mount -o remount,bind,ro "$prefix" || exit 90
    exec "$@"' bash "$prefix" "$@"
}

# Starts the window program and, once its window is up, ends it as a logout
# does (SIGTERM); it must save its files on the way out. Its exit status.
run_window() {
  local pid
  QT_QPA_PLATFORM=offscreen "$prefix/bin/todaymirvo" >/dev/null 2>&1 &
  pid=$!
  if ! python3 "$ready" "$XDG_RUNTIME_DIR" 60; then
    kill -KILL "$pid" 2>/dev/null
    wait "$pid"
    return 99
  fi
  kill -TERM "$pid"
  local i
  for i in $(seq 1 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null
  wait "$pid"
}
ready="$(cd "$(dirname "$0")" && pwd)/window_ready.py"

listing() {
  find "$prefix" -printf '%p %s %T@\n' | sort
}

user_env() {
  export HOME="$work/$1/home" XDG_CONFIG_HOME="$work/$1/config" XDG_DATA_HOME="$work/$1/data"
  export XDG_RUNTIME_DIR="$work/$1/runtime"
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

members='"Hana",2,1970/01/02,12:00:00,0,""\r\n"Taro",1,2000/02/29,23:59:30,1,""\r\n'

# --- a prefix that can be written: the files stay beside the programs -------
user_env writable
printf "$members" >"$programs/Mirvo.csv"
printf '[Option]\nDefaultUserIndex=1\n' >"$programs/TodayMirvo.ini"
name=$("$prefix/bin/mirvo-today" --date 2024-05-01 --json | python3 -c 'import json,sys; print(json.load(sys.stdin)["member"]["name"])')
[ "$name" = "Taro" ] || fail "mirvo-today beside a writable prefix read member '$name', not Taro"
run_window || fail "the window program ended with $? in a writable prefix"
grep -q '^LastFolder=.*/lib/todaymirvo/$' "$programs/TodayMirvo.ini" || fail "no settings saved beside the program"
[ -e "$XDG_CONFIG_HOME/TodayMirvo" ] || [ -e "$XDG_DATA_HOME/TodayMirvo" ] || [ -e "$HOME/.config/TodayMirvo" ] \
  && fail "files in the user's folders although the prefix can be written"
rm -f "$programs/Mirvo.csv" "$programs/TodayMirvo.ini"

# --- a read-only prefix: the files live in the user's folders ---------------
user_env readonly
before=$(listing)
mkdir -p "$XDG_DATA_HOME/TodayMirvo" "$XDG_CONFIG_HOME/TodayMirvo"
printf "$members" >"$XDG_DATA_HOME/TodayMirvo/Mirvo.csv"
printf '[Option]\nDefaultUserIndex=1\nBioRaito_0=25\n' >"$XDG_CONFIG_HOME/TodayMirvo/TodayMirvo.ini"
json=$(read_only "$prefix/bin/mirvo-today" --date 2024-05-01 --json)
[ $? -eq 90 ] && { echo "cannot make the prefix read-only here" >&2; exit 1; }
python3 -c 'import json,sys; j=json.loads(sys.argv[1]); assert j["member"]["name"] == "Taro" and j["settings"]["bioCycle"][0] == 25, j["member"]' "$json" \
  || fail "mirvo-today in a read-only prefix did not read the user's files"
read_only bash -c "$(declare -f run_window); prefix='$prefix' work='$work' ready='$ready' run_window" || fail "the window program ended with $? in a read-only prefix"
ini="$XDG_CONFIG_HOME/TodayMirvo/TodayMirvo.ini"
grep -q '^DefaultUserIndex=1' "$ini" || fail "the settings were not saved in the user's folder"
grep -q '^BioRaito_0=25' "$ini" || fail "the user's settings were not kept"
grep -q "^LastFolder=$HOME/\$" "$ini" || fail "LastFolder does not start in the home folder: $(grep LastFolder "$ini")"
[ "$(od -An -c "$XDG_DATA_HOME/TodayMirvo/Mirvo.csv" | tr -d ' \n')" = "$(printf "$members" | od -An -c | tr -d ' \n')" ] \
  || fail "the member list was not written back unchanged"
[ "$before" = "$(listing)" ] || fail "something was written into the prefix"

# First start of a new user: the folders are made, the empty list writes no member file.
user_env newuser
unset XDG_CONFIG_HOME XDG_DATA_HOME
read_only bash -c "$(declare -f run_window); prefix='$prefix' work='$work' ready='$ready' run_window" || fail "the first start ended with $?"
[ -f "$HOME/.config/TodayMirvo/TodayMirvo.ini" ] || fail "no settings in ~/.config/TodayMirvo"
[ -d "$HOME/.local/share/TodayMirvo" ] || fail "no folder ~/.local/share/TodayMirvo"
[ -e "$HOME/.local/share/TodayMirvo/Mirvo.csv" ] && fail "an empty member list was written"
[ "$before" = "$(listing)" ] || fail "something was written into the prefix"

finish install
