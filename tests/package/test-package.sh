#!/usr/bin/env bash
# The Debian package, built and checked as a user gets it:
#   - scripts/package.sh builds it (dpkg-buildpackage -b -us -uc, tests off);
#   - the .deb holds every file it should (dpkg-deb -c), with the version of
#     cmake/Version.cmake;
#   - lintian reports no tag at all, not even an info or pedantic one (the
#     overrides, each with its reason: debian/*.lintian-overrides);
#   - unpacked into a scratch root (dpkg-deb -x), mirvo-today starts from
#     that root and prints a reading, and the window program opens its window
#     there with the WM_CLASS that the desktop entry expects;
#   - the installed desktop entry, metainfo and manual pages validate
#     (desktop-file-validate, appstreamcli validate --pedantic, man --warnings).
#
#   bash tests/package/test-package.sh [--deb FILE]
#
# With --deb it checks a package already built instead of building one. The
# build takes most of the time (about 4.5 minutes of processor time, 9 to 18
# minutes on a busy two-core machine; the checks under 20 seconds), so this is
# not part of scripts/test.sh.
set -uo pipefail
cd "$(dirname "$0")/../.."
source=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
start=$(date +%s)

app_id=$(sed -n 's/^set(MIRVO_APP_ID \(.*\))$/\1/p' CMakeLists.txt)
version=$(sed -n 's/^set(MIRVO_FILE_VERSION "\(.*\)")$/\1/p' cmake/Version.cmake)
[ -n "$app_id" ] && [ -n "$version" ] || { echo "cannot read the id or the version" >&2; exit 1; }

deb=
if [ "${1:-}" = "--deb" ]; then
  deb=${2:?--deb needs a file}
else
  bash scripts/package.sh "$work/out" || exit 1
  deb=$(ls "$work"/out/todaymirvo_*.deb)
fi
built=$(date +%s)

# --- build dependencies -------------------------------------------------------
# Everything scripts/setup.sh installs is a build dependency, but for the tools
# that the package build does not use: git, the benches' and the fitter's
# libraries, the fuzzer's compiler, the packaging tools themselves
# (build-essential and debhelper come with debhelper-compat), and metapackages
# named in control by their parts (fonts-ipafont: fonts-ipafont-gothic and
# -mincho). groff-base comes with man-db.
not_built_with="build-essential git clang libclang-rt-14-dev libbenchmark-dev libnova-dev libswe-dev liblapack-dev
  dpkg-dev debhelper lintian fonts-ipafont groff-base qt6-tools-dev qt6-tools-dev-tools"
build_depends=$(sed -n '/^Build-Depends:/,/^[A-Z]/p' debian/control | grep -oE '^ [a-z0-9][a-z0-9+.-]*' | tr -d ' ')
for p in $(sed -n '/^packages=(/,/^)/p' scripts/setup.sh | grep -v '^ *#' | sed '1d;$d'); do
  grep -qxF "$p" <<<"$build_depends" || grep -qwF -- "$p" <<<"$not_built_with" \
    || fail "scripts/setup.sh installs $p, which debian/control's Build-Depends lacks"
done

# --- version ---------------------------------------------------------------
[ "$(dpkg-parsechangelog -SVersion)" = "$version" ] \
  || fail "debian/changelog has $(dpkg-parsechangelog -SVersion), cmake/Version.cmake $version"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is $(dpkg-deb -f "$deb" Version), not $version"

# --- contents ----------------------------------------------------------------
# dpkg-deb -c: "perms owner size date time ./path[ -> target]"
dpkg-deb -c "$deb" | awk '{ $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }' >"$work/contents.txt"
echo "--- package contents ($deb)"
cat "$work/contents.txt"
expected=(
  ./usr/lib/todaymirvo/TodayMirvo
  ./usr/lib/todaymirvo/mirvo-today
  ./usr/lib/todaymirvo/Kosmera.dat
  ./usr/lib/todaymirvo/TodayMirvo.chm
  "./usr/bin/todaymirvo -> ../lib/todaymirvo/TodayMirvo"
  "./usr/bin/mirvo-today -> ../lib/todaymirvo/mirvo-today"
  "./usr/share/applications/$app_id.desktop"
  "./usr/share/metainfo/$app_id.metainfo.xml"
  "./usr/share/icons/hicolor/scalable/apps/$app_id.svg"
  "./usr/share/icons/hicolor/symbolic/apps/$app_id-symbolic.svg"
  ./usr/share/man/man1/todaymirvo.1.gz
  ./usr/share/man/man1/mirvo-today.1.gz
  ./usr/share/man/ja/man1/todaymirvo.1.gz
  ./usr/share/man/ja/man1/mirvo-today.1.gz
  ./usr/share/doc/todaymirvo/copyright
  ./usr/share/doc/todaymirvo/changelog.gz
  ./usr/share/doc/todaymirvo/mirvo-today.md
)
for size in 16 24 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for entry in "${expected[@]}"; do
  grep -qxF "$entry" "$work/contents.txt" || fail "the package lacks $entry"
done

# --- lintian -----------------------------------------------------------------
echo "--- lintian"
# Every tag counts, down to the pedantic ones (an override that no longer
# matches is an info tag); the overridden ones are listed (O:).
lintian --fail-on error,warning,info,pedantic --display-info --pedantic --display-experimental --show-overrides "$deb"
rc=$?
[ $rc -eq 0 ] || fail "lintian exited with $rc"

# --- scratch root ------------------------------------------------------------
root="$work/root"
dpkg-deb -x "$deb" "$root"
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '"Hana",2,1970/01/02,12:00:00,0,""\r\n' >"$work/members.csv"
echo "--- mirvo-today from the scratch root"
"$root/usr/bin/mirvo-today" --members "$work/members.csv" --date 2024-05-01 | tee "$work/reading.txt"
rc=${PIPESTATUS[0]}
[ "$rc" -eq 0 ] || fail "mirvo-today from the scratch root exited with $rc"
grep -q '^今日のミルボ \[Hana\]$' "$work/reading.txt" || fail "the reading names no member Hana"
grep -q '^2024/05/01  1970/01/02 生まれ  19843 日目$' "$work/reading.txt" || fail "the reading has not the day and the days lived"
for axis in 健康 感情 知性; do
  grep -q "^$axis .*%.*点" "$work/reading.txt" || fail "the reading has no line for $axis"
done
NO_COLOR= "$root/usr/bin/mirvo-today" >/dev/null || fail "mirvo-today without arguments exited with $?"

# The window program: started through its link, it opens its window, whose
# WM_CLASS instance is what the installed desktop entry expects.
desktop="$root/usr/share/applications/$app_id.desktop"
echo "--- the window program from the scratch root"
(
  unset QT_QPA_PLATFORM
  xvfb-run -a -s "-screen 0 640x480x24" bash -c '
    "$1" & pid=$!
    for i in $(seq 1 100); do
      sleep 0.2
      w=$(xdotool search --name "^今日のミルボ" 2>/dev/null | head -1) && [ -n "$w" ] && break
    done
    [ -n "$w" ] && xprop -id "$w" WM_CLASS
    kill $pid; wait $pid
  ' _ "$root/usr/bin/todaymirvo"
) >"$work/window.txt" 2>"$work/window.err"
rc=$?
cat "$work/window.txt"
[ "$rc" -eq 0 ] || { cat "$work/window.err" >&2; fail "the window program ended with $rc"; }
instance=$(sed -n 's/^WM_CLASS(STRING) = "\([^"]*\)".*/\1/p' "$work/window.txt")
[ -n "$instance" ] && [ "$instance" = "$(sed -n 's/^StartupWMClass=//p' "$desktop")" ] \
  || fail "the window's WM_CLASS instance '$instance' is not the desktop entry's StartupWMClass"

# --- the installed desktop files and manual pages ----------------------------
echo "--- desktop-file-validate"
desktop-file-validate "$desktop" || fail "desktop-file-validate: $desktop"
echo "--- appstreamcli validate --pedantic"
appstreamcli validate --pedantic --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" | tee "$work/appstream.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "appstreamcli validate failed"
# Every note must be one of these, each explained in docs/packaging.md:
#   cid-contains-uppercase-letter  the id's last part is the program's name, TodayMirvo
#   unknown-tag developer          Debian 12's AppStream 0.16 predates <developer>
awk '/^[EWIP]: / && !($3 == "cid-contains-uppercase-letter" || ($3 == "unknown-tag" && $4 == "developer"))' \
  "$work/appstream.txt" >"$work/appstream-new.txt"
[ -s "$work/appstream-new.txt" ] && fail "AppStream notes not explained: $(cat "$work/appstream-new.txt")"
echo "--- man --warnings"
for page in "$root"/usr/share/man/man1/*.1.gz "$root"/usr/share/man/ja/man1/*.1.gz; do
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>"$work/man.err" >/dev/null
  [ -s "$work/man.err" ] && fail "man --warnings on ${page#$root}: $(cat "$work/man.err")"
done

end=$(date +%s)
echo "package build $((built - start)) s, checks $((end - built)) s"
[ "$failures" -eq 0 ] && echo "test-package: all checks passed"
exit $((failures > 0))
