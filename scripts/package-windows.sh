#!/usr/bin/env bash
# Builds the Windows installer and the zip of TodayMirvo:
#   build/windows-package/TodayMirvo-<version>-setup.exe  (NSIS, Japanese pages)
#   build/windows-package/TodayMirvo-<version>.zip        (the same files, no installer)
# or into the folder given as the first argument. <version> is the file
# version of cmake/Version.cmake. Needs the Windows Qt that
# scripts/build-qt-windows.sh builds; the Linux build (preset default) comes
# first, since the Windows build runs its tools.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/windows-package}")
bash scripts/setup.sh

qt_prefix=${MIRVO_QT_WINDOWS_PREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/todaymirvo/qt-mingw-6.4.2}
if [ ! -f "$qt_prefix/todaymirvo-qt.stamp" ]; then
  echo "package-windows: no Windows Qt in $qt_prefix; build it first with: bash scripts/build-qt-windows.sh" >&2
  exit 1
fi

cmake --preset default >/dev/null
cmake --build --preset default --target mirvo-today mkkosmera mkversion kosmera
cmake --preset windows -DMIRVO_WINDOWS_GUI=ON -DMIRVO_QT_WINDOWS_PREFIX="$qt_prefix" >/dev/null
if ! grep -q '^MIRVO_BUILD_GUI:BOOL=ON' build/windows/CMakeCache.txt; then
  echo "package-windows: the windows build did not find the Windows Qt in $qt_prefix" >&2
  exit 1
fi
cmake --build --preset windows

version=$(sed -n 's/^set(MIRVO_FILE_VERSION "\([0-9.]*\)")$/\1/p' cmake/Version.cmake)
[ -n "$version" ] || { echo "package-windows: no MIRVO_FILE_VERSION in cmake/Version.cmake" >&2; exit 1; }
icon=$(find build/windows -name todaymirvo.ico -print -quit)
[ -n "$icon" ] || { echo "package-windows: the build made no todaymirvo.ico" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/TodayMirvo
cmake --install build/windows --prefix "$stage" --strip >/dev/null
for f in TodayMirvo.exe mirvo-today.exe Kosmera.dat LICENSE.txt LICENSE.ja.txt; do
  [ -f "$stage/$f" ] || { echo "package-windows: $f is missing from the installed files" >&2; exit 1; }
done
# Only what is linked in and what Windows has: no DLL of MinGW or Qt.
for exe in "$stage"/*.exe; do
  if x86_64-w64-mingw32-objdump -p "$exe" | grep -i 'DLL Name' | grep -qiE 'qt6|libstdc|libgcc|libwinpthread|zlib'; then
    echo "package-windows: $(basename "$exe") needs a DLL that Windows does not have" >&2
    exit 1
  fi
done

# The NSIS file lists: every staged file, and the same removed again, the
# deepest folders first.
nsis_path() { printf '%s' "${1//\//\\}"; }
{
  (cd "$stage" && find . -type d | sed 's|^\./\?||' | sort) | while read -r dir; do
    echo "SetOutPath \"\$INSTDIR${dir:+\\$(nsis_path "$dir")}\""
    (cd "$stage/${dir:-.}" && find . -maxdepth 1 -type f | sed 's|^\./||' | sort) | while read -r f; do
      echo "File \"$(nsis_path "$stage/${dir:+$dir/}$f")\""
    done
  done
} >"$work/files.nsh"
{
  (cd "$stage" && find . -type f | sed 's|^\./||' | sort) | while read -r f; do
    echo "Delete \"\$INSTDIR\\$(nsis_path "$f")\""
  done
  (cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r) | while read -r d; do
    echo "RMDir \"\$INSTDIR\\$(nsis_path "$d")\""
  done
} >"$work/unfiles.nsh"
size_kb=$(du -sk "$stage" | cut -f1)

mkdir -p "$out"
setup=$out/TodayMirvo-$version-setup.exe
zipfile=$out/TodayMirvo-$version.zip
rm -f "$setup" "$zipfile"
makensis -V2 -INPUTCHARSET UTF8 \
  -DVERSION="$version" -DSTAGE="$stage" -DFILES="$work/files.nsh" -DUNFILES="$work/unfiles.nsh" \
  -DICON="$PWD/$icon" -DOUTFILE="$setup" -DSIZE_KB="$size_kb" windows/todaymirvo.nsi
(cd "$work" && zip -q -r -X "$zipfile" TodayMirvo)

echo "Installer: $setup ($(du -k "$setup" | cut -f1) KB)"
echo "Zip:       $zipfile ($(du -k "$zipfile" | cut -f1) KB)"
(cd "$stage" && find . -type f -printf '  %P (%s bytes)\n' | sort)
