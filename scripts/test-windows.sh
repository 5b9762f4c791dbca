#!/usr/bin/env bash
# Builds TodayMirvo for 64-bit Windows with MinGW-w64 (preset windows) and
# tests it under Wine: the core unit tests, the data file as Windows opens it
# against the portable reader, the programs standing alone, and
# mirvo-today.exe --json against the Linux mirvo-today for ten members and
# days. The Linux build (preset default) comes first: its mkkosmera and
# mkversion run during the Windows build and its mirvo-today is the measure.
#
# With the Windows Qt of scripts/build-qt-windows.sh in its cache, the window
# program TodayMirvo.exe and the widget tests are built too; the widget tests
# run under Wine on the offscreen platform, and the installer and the zip
# (scripts/package-windows.sh) are installed, started and uninstalled in a
# fresh Wine prefix under Xvfb (tests/windows/install/test-install.sh).
# Without that cache the window program's part is skipped, and said so.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

seconds() { date +%s; }
start=$(seconds)
cmake --preset default
cmake --build --preset default --target mirvo-today mkkosmera mkversion kosmera
linux_done=$(seconds)

cmake --preset windows
cmake --build --preset windows
windows_done=$(seconds)
gui=no
grep -q '^MIRVO_BUILD_GUI:BOOL=ON' build/windows/CMakeCache.txt && gui=yes

# Wine's prefix (build/wine, as the test preset names it) is made on the
# first start, which takes a while; one Wine server then stays up for the
# whole run, so that each test starts quickly.
export WINEPREFIX="$PWD/build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 DISPLAY=
wine=$(sed -n 's/^MIRVO_WINE64:FILEPATH=//p' build/windows/CMakeCache.txt)
wineserver="$(dirname "$wine")/wineserver64"
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
mkdir -p "$WINEPREFIX"
"$wineserver" -p 60 || true   # a server still running from an earlier start serves as well
"$wine" wineboot --init
trap '"$wineserver" -k 2>/dev/null || true' EXIT
wine_ready=$(seconds)
ctest --preset windows
tests_done=$(seconds)
"$wineserver" -k 2>/dev/null || true

times="Linux tools $((linux_done - start)) s, Windows build $((windows_done - linux_done)) s,"
times+=" Wine's start $((wine_ready - windows_done)) s, tests under Wine $((tests_done - wine_ready)) s"
if [ $gui = yes ]; then
  bash scripts/package-windows.sh build/windows-package
  packaged=$(seconds)
  setup=$(ls build/windows-package/TodayMirvo-*-setup.exe)
  zipfile=$(ls build/windows-package/TodayMirvo-*.zip)
  bash tests/windows/install/test-install.sh "$setup" "$zipfile" build/default/mirvo-today build/windows-package/screenshots
  times+=", installer and zip $((packaged - tests_done)) s, install test $(($(seconds) - packaged)) s"
else
  echo "No Windows Qt in the cache: TodayMirvo.exe, its widget tests and the installer were not built" \
       "(scripts/build-qt-windows.sh builds that Qt)."
fi
echo "Times: $times"
