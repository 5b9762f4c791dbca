#!/usr/bin/env bash
# Builds the Qt-free programs for 64-bit Windows with MinGW-w64 (preset
# windows) and tests them under Wine: the core unit tests, the data file as
# Windows opens it against the portable reader, the programs standing alone,
# and mirvo-today.exe --json against the Linux mirvo-today for ten members
# and days. The Linux build (preset default) comes first: its mkkosmera and
# mkversion run during the Windows build and its mirvo-today is the measure.
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

echo "Times: Linux tools $((linux_done - start)) s, Windows build $((windows_done - linux_done)) s," \
     "Wine's start $((wine_ready - windows_done)) s, tests under Wine $((tests_done - wine_ready)) s"
