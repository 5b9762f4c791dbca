#!/usr/bin/env bash
# The Windows installer and zip under Wine, as a user meets them:
#   - a silent install (/S) into a fresh 64-bit Wine prefix puts the
#     programs in Program Files\TodayMirvo, the Start menu shortcut 今日のミルボ
#     and the uninstaller in Windows' list of programs;
#   - the installed TodayMirvo.exe opens its main window titled 今日のミルボ under
#     Xvfb, once at 96 DPI and once at Wine's 192 DPI setting (screenshots);
#   - with the install folder read-only, a member registered through the
#     window is kept, with the settings, in %APPDATA%\TodayMirvo, without a
#     box at any start, and shown at the next start;
#   - the zip unpacked into a folder whose name is Japanese (and has a letter
#     that code page 932 lacks) starts from there, reads the member list
#     beside it and writes the list and the settings back there;
#   - mirvo-today.exe of the install, with --members in that folder, prints
#     what the Linux mirvo-today prints;
#   - the silent uninstall removes what the installer put there and keeps
#     the member list and the settings.
# The prefix gets Japanese fonts: Debian's IPA fonts, registered in it.
#
# Usage: test-install.sh SETUP.EXE ZIP LINUX-MIRVO-TODAY SCREENSHOT-FOLDER
# Runs under its own X server (xvfb-run) and in its own Wine prefix.
set -uo pipefail

setup=$(realpath "$1") zip=$(realpath "$2") linux_today=$(realpath "$3")
shots=$(realpath -m "$4")
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
mkdir -p "$shots"

if [ -z "${MIRVO_INSTALL_TEST_UNDER_X:-}" ]; then
  MIRVO_INSTALL_TEST_UNDER_X=1 exec xvfb-run -a -s '-screen 0 1280x1024x24' bash "$0" "$@"
fi

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
[ -x "$wine" ] || wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
cleanup() {
  "$wineserver" -k 2>/dev/null
  chattr -i "$work/prefix/drive_c/Program Files/TodayMirvo" 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
seconds() { date +%s.%N | cut -c1-14; }
elapsed() { awk -v a="$1" -v b="$(seconds)" 'BEGIN { printf "%.1f", b - a }'; }
reg() { "$wine" reg "$@" >/dev/null 2>&1; }

t0=$(seconds)
"$wine" wineboot --init >/dev/null 2>&1
"$wineserver" -w
echo "Wine prefix made in $(elapsed "$t0") s"

drive_c=$WINEPREFIX/drive_c
# Debian's IPA fonts in the prefix's Fonts folder, registered as Windows does.
for f in /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf \
         /usr/share/fonts/opentype/ipafont-mincho/ipam.ttf /usr/share/fonts/opentype/ipafont-mincho/ipamp.ttf; do
  cp "$f" "$drive_c/windows/Fonts/"
done
fonts='HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts'
reg add "$fonts" /v "IPAGothic (TrueType)" /d ipag.ttf /f
reg add "$fonts" /v "IPAPGothic (TrueType)" /d ipagp.ttf /f
reg add "$fonts" /v "IPAMincho (TrueType)" /d ipam.ttf /f
reg add "$fonts" /v "IPAPMincho (TrueType)" /d ipamp.ttf /f
# The Japanese Windows faces the program asks for, as IPA's.
substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
for face in "ＭＳ Ｐゴシック" "MS PGothic" "ＭＳ ゴシック" "MS Gothic" "MS UI Gothic" "Meiryo UI" "Yu Gothic UI"; do
  reg add "$substitutes" /v "$face" /d IPAPGothic /f
done
for face in "ＭＳ Ｐ明朝" "MS PMincho" "ＭＳ 明朝" "MS Mincho"; do
  reg add "$substitutes" /v "$face" /d IPAPMincho /f
done

# 1. The silent install.
t0=$(seconds)
"$wine" "$setup" /S
"$wineserver" -w
echo "silent install in $(elapsed "$t0") s"
installed="$drive_c/Program Files/TodayMirvo"
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/今日のミルボ.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TodayMirvo'
for f in TodayMirvo.exe mirvo-today.exe Kosmera.dat TodayMirvo.chm translations/qtbase_ja.qm uninstall.exe \
         LICENSE.txt LICENSE.ja.txt; do
  [ -f "$installed/$f" ] || fail "the install has no $f"
done
grep -q 'MIT ライセンス' "$installed/LICENSE.ja.txt" && ok "the licence in Japanese beside the English one" \
  || fail "LICENSE.ja.txt holds no Japanese licence"
[ -f "$shortcut" ] && ok "Start menu shortcut 今日のミルボ" || fail "no Start menu shortcut 今日のミルボ"
# The key as a .reg file (UTF-16): reg query would print the name in the console's code page.
(cd "$work" && "$wine" reg export "$uninstall_key" uninstall.reg /y >/dev/null 2>&1)
if iconv -f UTF-16LE -t UTF-8 "$work/uninstall.reg" 2>/dev/null | tr -d '\r' | grep -q '^"DisplayName"="今日のミルボ"'; then
  ok "in Windows' list of programs as 今日のミルボ"
else
  fail "no uninstall entry 今日のミルボ"
fi
uninstall_command=$("$wine" reg query "$uninstall_key" /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
case $uninstall_command in
  *'Program Files\TodayMirvo\uninstall.exe'*) ok "uninstall command $uninstall_command" ;;
  *) fail "uninstall command is '$uninstall_command'" ;;
esac

# The installed program's version block, read by python3-pefile: one
# version for the file and the product, and the file's own name.
if version_report=$(/usr/bin/python3 - "$installed/TodayMirvo.exe" 2>&1 <<'PY'
import sys, pefile
pe = pefile.PE(sys.argv[1], fast_load=False)
strings = {}
for info in pe.FileInfo[0]:
    if info.Key == b"StringFileInfo":
        for table in info.StringTable:
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
fixed = pe.VS_FIXEDFILEINFO[0]
problems = []
if strings.get("OriginalFilename") != "TodayMirvo.exe":
    problems.append("OriginalFilename %r" % strings.get("OriginalFilename"))
if strings.get("ProductVersion") != strings.get("FileVersion"):
    problems.append("ProductVersion %r, FileVersion %r" % (strings.get("ProductVersion"), strings.get("FileVersion")))
if (fixed.ProductVersionMS, fixed.ProductVersionLS) != (fixed.FileVersionMS, fixed.FileVersionLS):
    problems.append("fixed ProductVersion differs from FileVersion")
print("; ".join(problems) or "OriginalFilename %s, FileVersion = ProductVersion = %s" % (
    strings["OriginalFilename"], strings["FileVersion"]))
sys.exit(1 if problems else 0)
PY
); then
  ok "version block: $version_report"
else
  fail "version block: $version_report"
fi

# waits for a window titled 今日のミルボ; prints its id
wait_for_window() {
  local id=
  for _ in $(seq 1 150); do
    # The title is the program's name, then the member's when one is chosen.
    id=$(xdotool search --onlyvisible --name '^今日のミルボ' 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
# runs a window program (Windows path), shows its window, takes a screenshot
# and closes it as the user would (WM_CLOSE); the program saves as it ends.
run_window() {
  local exe=$1 picture=$2 what=$3 trace=${4:--all} t0 id
  t0=$(seconds)
  WINEDEBUG=$trace "$wine" "$exe" >"$work/window.log" 2>&1 &
  local pid=$!
  if id=$(wait_for_window); then
    ok "$what: window 今日のミルボ after $(elapsed "$t0") s"
    sleep 3   # the opening animation and the first paint
    import -window root "$picture"
    xdotool getwindowgeometry "$id" | sed 's/^/  /'
    "$wine" taskkill /im TodayMirvo.exe >/dev/null 2>&1
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    if kill -0 "$pid" 2>/dev/null; then
      fail "$what: the program did not end on WM_CLOSE"
      "$wine" taskkill /f /im TodayMirvo.exe >/dev/null 2>&1
    fi
  else
    fail "$what: no window titled 今日のミルボ within 30 s"
    import -window root "$picture"
    cat "$work/window.log" >&2
    "$wine" taskkill /f /im TodayMirvo.exe >/dev/null 2>&1
  fi
  wait "$pid" 2>/dev/null
}

# 2. The installed program, at 96 and at 192 DPI, with a member list.
cp "$source_dir/tests/data/today/members.csv" "$installed/Mirvo.csv"
run_window 'C:\Program Files\TodayMirvo\TodayMirvo.exe' "$shots/installed-96dpi.png" "installed, 96 DPI" +file
# Every file the start looked for, from Wine's trace: none in the folders of
# the machine that built Qt (its cache, qt-mingw-6.4.2).
if grep -q 'CreateFile\|NtCreateFile\|nt_to_unix_file_name' "$work/window.log"; then
  looked=$(grep -io 'qt-mingw-6\.4\.2[^"]*' "$work/window.log" | sort -u | head -5)
  [ -z "$looked" ] && ok "the start looks up no path of the build machine" \
    || fail "the start looks up paths of the build machine: $looked"
else
  fail "Wine's file trace of the start is empty"
fi
reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f
reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d 192 /f
"$wineserver" -k; "$wineserver" -w
run_window 'C:\Program Files\TodayMirvo\TodayMirvo.exe' "$shots/installed-192dpi.png" "installed, 192 DPI"
reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f
reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d 96 /f
"$wineserver" -k; "$wineserver" -w
# Wine grants the program its own folder (there are no Windows access rights
# in Wine), so it keeps its files beside itself, as from a writable folder.
for f in Mirvo.csv TodayMirvo.ini; do
  [ -f "$installed/$f" ] && ok "installed program wrote $f" || fail "installed program wrote no $f"
done
[ ! -e "$installed/TodayMirvo.lock" ] && ok "no lock file left after a clean exit" || fail "TodayMirvo.lock left after a clean exit"

# 3. Program Files that cannot be written, as for a user without
# administrator rights: the folder made immutable (or, for a user other than
# root, read-only), which Wine still lets the program open for adding files.
# The user registers through the window; everything goes to
# %APPDATA%\TodayMirvo, no box is shown, and the next start shows the member.
appdata=$("$wine" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
appdata_dir=$("$wine" winepath -u "$appdata" 2>/dev/null)/TodayMirvo
# The list and settings of step 2 wait aside; the uninstall below must keep them.
mkdir -p "$work/aside"
mv "$installed/Mirvo.csv" "$installed/TodayMirvo.ini" "$work/aside/"
[ -d "$installed/backup" ] && mv "$installed/backup" "$work/aside/"
rm -rf "$appdata_dir"
before_install=$(cd "$installed" && ls -A | sort | tr '\n' ' ')
if [ "$(id -u)" = 0 ]; then chattr +i "$installed"; else chmod a-w "$installed"; fi
if touch "$installed/probe" 2>/dev/null; then
  rm -f "$installed/probe"
  fail "the install folder could not be made read-only (chattr +i needs CAP_LINUX_IMMUTABLE)"
else
  # visible windows besides the main window $1, by title
  other_windows() {
    local w
    for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
      [ "$w" = "$1" ] || xdotool getwindowname "$w"
    done
  }
  focus_other() {
    local w
    for w in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
      [ "$w" = "$1" ] || xdotool windowfocus --sync "$w" 2>/dev/null
    done
  }
  "$wine" 'C:\Program Files\TodayMirvo\TodayMirvo.exe' >"$work/window.log" 2>&1 &
  pid=$!
  if id=$(wait_for_window); then
    sleep 3
    boxes=$(other_windows "$id")
    [ -z "$boxes" ] && ok "read-only Program Files: the first start shows no box" \
      || fail "read-only Program Files: the first start shows: $boxes"
    # The welcome's button (Enter) opens the settings window on the name
    # field; Enter there is OK, and OK on an empty list adds the person.
    xdotool windowfocus --sync "$id" 2>/dev/null; sleep 0.5
    xdotool key Return; sleep 2
    focus_other "$id"; sleep 0.5
    xdotool type --delay 80 Hanako; sleep 0.3
    import -window root "$shots/readonly-settings.png"
    xdotool key Return; sleep 2
    boxes=$(other_windows "$id")
    [ -z "$boxes" ] && ok "read-only Program Files: no box after OK" || fail "read-only Program Files: after OK: $boxes"
    "$wine" taskkill /im TodayMirvo.exe >/dev/null 2>&1
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    if kill -0 "$pid" 2>/dev/null; then
      fail "read-only Program Files: the program did not end on WM_CLOSE: $(other_windows "$id")"
      import -window root "$shots/readonly-exit.png"
      "$wine" taskkill /f /im TodayMirvo.exe >/dev/null 2>&1
    fi
  else
    fail "read-only Program Files: no window titled 今日のミルボ within 30 s"
    cat "$work/window.log" >&2
    "$wine" taskkill /f /im TodayMirvo.exe >/dev/null 2>&1
  fi
  wait "$pid" 2>/dev/null
  if grep -q '^"Hanako",' "$appdata_dir/Mirvo.csv" 2>/dev/null && [ -f "$appdata_dir/TodayMirvo.ini" ]; then
    ok "read-only Program Files: the member list and the settings are in $appdata\\TodayMirvo"
  else
    fail "read-only Program Files: no member list with Hanako and settings in $appdata_dir ($(ls -A "$appdata_dir" 2>&1 | tr '\n' ' '))"
  fi
  [ ! -e "$appdata_dir/TodayMirvo.lock" ] && ok "read-only Program Files: no lock file left" \
    || fail "read-only Program Files: TodayMirvo.lock left in %APPDATA%\\TodayMirvo"
  after_install=$(cd "$installed" && ls -A | sort | tr '\n' ' ')
  [ "$after_install" = "$before_install" ] && ok "read-only Program Files: nothing new in the install folder" \
    || fail "read-only Program Files: the install folder now holds: $after_install"
  # The next start reads the list from %APPDATA% and shows the member.
  "$wine" 'C:\Program Files\TodayMirvo\TodayMirvo.exe' >"$work/window.log" 2>&1 &
  pid=$!
  if id=$(wait_for_window); then
    sleep 3
    title=$(xdotool getwindowname "$id")
    [[ $title == *Hanako* ]] && ok "read-only Program Files: the next start shows '$title'" \
      || fail "read-only Program Files: the next start shows '$title', not the member"
    boxes=$(other_windows "$id")
    [ -z "$boxes" ] && ok "read-only Program Files: the next start shows no box" \
      || fail "read-only Program Files: the next start shows: $boxes"
    "$wine" taskkill /im TodayMirvo.exe >/dev/null 2>&1
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    kill -0 "$pid" 2>/dev/null && "$wine" taskkill /f /im TodayMirvo.exe >/dev/null 2>&1
  else
    fail "read-only Program Files: no window at the next start"
    "$wine" taskkill /f /im TodayMirvo.exe >/dev/null 2>&1
  fi
  wait "$pid" 2>/dev/null
fi
if [ "$(id -u)" = 0 ]; then chattr -i "$installed"; else chmod u+w "$installed"; fi
mv "$work/aside/"* "$installed/"

# 4. The zip in a folder named in Japanese.
japanese_folder="$drive_c/users/Public/山田_Müller のミルボ"
mkdir -p "$japanese_folder"
(cd "$japanese_folder" && unzip -q "$zip")
portable="$japanese_folder/TodayMirvo"
cp "$source_dir/tests/data/today/members.csv" "$portable/Mirvo.csv"
before=$(sha256sum <"$portable/Mirvo.csv")
run_window 'C:\users\Public\山田_Müller のミルボ\TodayMirvo\TodayMirvo.exe' "$shots/zip-japanese-folder.png" "zip in a Japanese folder"
[ -f "$portable/TodayMirvo.ini" ] && ok "settings written in the Japanese folder" || fail "no TodayMirvo.ini in the Japanese folder"
if [ -f "$portable/Mirvo.csv" ] && [ "$(sha256sum <"$portable/Mirvo.csv")" = "$before" ]; then
  ok "member list read and written back unchanged in the Japanese folder"
else
  fail "the member list in the Japanese folder changed or is gone"
fi

# 5. mirvo-today.exe with its files in the Japanese folder against Linux.
"$linux_today" --members "$source_dir/tests/data/today/members.csv" --settings "$source_dir/tests/data/today/settings.ini" \
  --member 2 --date 1985-07-23 --days 3 --json >"$work/linux.json"
"$wine" 'C:\users\Public\山田_Müller のミルボ\TodayMirvo\mirvo-today.exe' \
  --members 'C:\users\Public\山田_Müller のミルボ\TodayMirvo\Mirvo.csv' \
  --settings "$(printf 'Z:%s' "$source_dir/tests/data/today/settings.ini" | tr / '\\')" \
  --member 2 --date 1985-07-23 --days 3 --json 2>"$work/today.err" | tr -d '\r' >"$work/windows.json"
if [ -s "$work/linux.json" ] && cmp -s "$work/linux.json" "$work/windows.json"; then
  ok "mirvo-today.exe --json from the Japanese folder equals Linux's ($(wc -c <"$work/linux.json") bytes)"
else
  fail "mirvo-today.exe --json from the Japanese folder differs"
  diff "$work/linux.json" "$work/windows.json" | head -10 >&2
  cat "$work/today.err" >&2
fi

# 6. The silent uninstall.
t0=$(seconds)
"$wine" 'C:\Program Files\TodayMirvo\uninstall.exe' /S
"$wineserver" -w
sleep 1
"$wineserver" -w
echo "silent uninstall in $(elapsed "$t0") s"
for f in TodayMirvo.exe mirvo-today.exe Kosmera.dat TodayMirvo.chm translations uninstall.exe; do
  [ ! -e "$installed/$f" ] || fail "the uninstaller left $f"
done
[ ! -e "$shortcut" ] && ok "shortcut removed" || fail "the uninstaller left the shortcut"
if "$wine" reg query "$uninstall_key" >/dev/null 2>&1; then fail "the uninstall entry stays"; else ok "uninstall entry removed"; fi
for f in "$installed/Mirvo.csv" "$installed/TodayMirvo.ini" "$appdata_dir/Mirvo.csv" "$appdata_dir/TodayMirvo.ini"; do
  [ -f "$f" ] && ok "the silent uninstall kept ${f#"$drive_c"/}" || fail "the uninstaller removed ${f#"$drive_c"/}"
done
echo "left in Program Files\\TodayMirvo: $(cd "$installed" 2>/dev/null && ls | tr '\n' ' ')"

# 7. Installed and uninstalled where the user kept nothing: no folder is left.
"$wine" "$setup" /S '/D=C:\TodayMirvo2'
"$wineserver" -w
[ -f "$drive_c/TodayMirvo2/TodayMirvo.exe" ] || fail "the install into 'C:\TodayMirvo2' has no TodayMirvo.exe"
"$wine" 'C:\TodayMirvo2\uninstall.exe' /S
"$wineserver" -w
sleep 1
"$wineserver" -w
[ ! -e "$drive_c/TodayMirvo2" ] && ok "an uninstall that leaves the folder empty removes it" \
  || fail "the uninstaller left C:\TodayMirvo2: $(ls -A "$drive_c/TodayMirvo2" | tr '\n' ' ')"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the installer failed" >&2
  exit 1
fi
echo "installer checks passed; screenshots in $shots"
