#!/usr/bin/env bash
# Builds the libraries that the Windows window program links, from Debian's
# own source packages, cross-compiled with MinGW-w64 as static libraries:
#   - Qt 6.4.2 (qt6-base) with only what TodayMirvo uses: Core, Gui (PNG is
#     part of it), Widgets, Network, PrintSupport, Test and the Windows
#     platform plugin;
#   - chmlib (the help file's reader), opening files by their UTF-16 names.
#
# The result goes to a cache outside the source tree,
#   ${XDG_CACHE_HOME:-~/.cache}/todaymirvo/qt-mingw-6.4.2
# (or the folder named by MIRVO_QT_WINDOWS_PREFIX); a run finds each complete
# part by its stamp file and does nothing for it. The Qt build tools (moc,
# uic, rcc) are the host's: Debian's qt6-base-dev-tools of the same version.
#
# The sources come through apt with a deb-src list of the script's own, so the
# system's apt set-up stays as it is; each .dsc must have the SHA-256 sum
# below, and every file it names is checked against it before unpacking.
#
# Usage: bash scripts/build-qt-windows.sh [--jobs N] [--check]
# --check builds nothing: exit code 0 when the cache is complete and its
# stamps match this script's sources and options, 1 otherwise.
# Environment: MIRVO_QT_WINDOWS_PREFIX (install folder), NICE (default 19).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=2
check_only=no
while [ $# -gt 0 ]; do
  case "$1" in
    --jobs) jobs=$2; shift 2 ;;
    --jobs=*) jobs=${1#--jobs=}; shift ;;
    --check) check_only=yes; shift ;;
    *) echo "usage: $0 [--jobs N] [--check]" >&2; exit 2 ;;
  esac
done

qt_version=6.4.2
base_package=qt6-base
base_debian_version=6.4.2+dfsg-10
base_dsc_sha256=1b4b5c8610a553d4211fa81e268b1a3b0a6339ae5444fdb7e60d7616da651970
chm_package=chmlib
chm_debian_version=2:0.40a-8
chm_dsc_sha256=346f00bcb22166c6ff46ebffdb1ee3e5b5943b9e928d7024aa00157fe6a99d70

cache=${XDG_CACHE_HOME:-$HOME/.cache}/todaymirvo
prefix=${MIRVO_QT_WINDOWS_PREFIX:-$cache/qt-mingw-$qt_version}
downloads=$cache/sources
work=$cache/qt-mingw-$qt_version-build
qt_stamp=$prefix/todaymirvo-qt.stamp
chm_stamp=$prefix/todaymirvo-chmlib.stamp

# What the stamp records: the source and every choice of the build. A cache
# made with other choices is built again.
configure_options=(
  -DQT_HOST_PATH=/usr
  -DQt6HostInfo_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo
  -DBUILD_SHARED_LIBS=OFF
  -DCMAKE_BUILD_TYPE=Release
  -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF
  -DQT_BUILD_BENCHMARKS=OFF
  # Debian's source leaves out the Wintab headers: no tablet events.
  -DFEATURE_tabletevent=OFF
  # Modules and features the program does not use.
  -DFEATURE_sql=OFF
  -DFEATURE_dbus=OFF
  -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF
  -DFEATURE_openssl=OFF
  -DFEATURE_vulkan=OFF
  -DFEATURE_jpeg=OFF
  -DFEATURE_gif=OFF
  # zlib, PCRE2, HarfBuzz, libpng and FreeType from Qt's bundled copies in the
  # same source package (Debian's MinGW tree has zlib only).
  -DFEATURE_system_zlib=OFF
  # OpenGL stays on: the Windows platform plugin of 6.4 does not build
  # without it (it loads opengl32.dll only when a window asks for OpenGL).
)
qt_stamp_text=$(printf '%s\n' "$base_package $base_debian_version $base_dsc_sha256" "${configure_options[@]}")
# chmlib's Windows file access with wide-character names (CreateFileW):
# chm_open then takes a UTF-16 name (PPC_BSTR).
chm_flags=(-O2 -DWIN32 -DPPC_BSTR -DUNICODE -D_UNICODE -Dffs=__builtin_ffs -w)
chm_stamp_text=$(printf '%s\n' "$chm_package $chm_debian_version $chm_dsc_sha256" "${chm_flags[@]}")

stamp_matches() { [ -f "$1" ] && [ "$(cat "$1")" = "$2" ]; }
if stamp_matches "$qt_stamp" "$qt_stamp_text" && stamp_matches "$chm_stamp" "$chm_stamp_text"; then
  echo "Qt $qt_version and chmlib for Windows are ready: $prefix"
  exit 0
fi
if [ $check_only = yes ]; then
  echo "No complete Qt $qt_version and chmlib for Windows of these sources and options in $prefix"
  exit 1
fi

bash scripts/setup.sh
nice=${NICE:-19}
start=$(date +%s)

# The sources, through apt with a private sources list and private state
# (lists and package caches in the cache folder).
apt_dir=$cache/apt
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$downloads"
cat >"$apt_dir/sources.list.d/debian-sources.sources" <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
apt_options=(
  -o Dir::Etc::SourceList=/dev/null
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o APT::Sandbox::User=root
)
sha_ok() { [ -f "$1" ] && [ "$(sha256sum "$1" | cut -d' ' -f1)" = "$2" ]; }
updated=no
# fetch_source PACKAGE VERSION DSC-SHA256 FOLDER: downloads (unless already
# there), checks and unpacks the source package with Debian's patches applied.
fetch_source() {
  local package=$1 version=$2 dsc_sha256=$3 folder=$4
  local dsc=${package}_${version#*:}.dsc
  if ! sha_ok "$downloads/$dsc" "$dsc_sha256"; then
    if [ $updated = no ]; then apt-get "${apt_options[@]}" -qq update; updated=yes; fi
    (cd "$downloads" && apt-get "${apt_options[@]}" -qq source --download-only "$package=$version")
  fi
  if ! sha_ok "$downloads/$dsc" "$dsc_sha256"; then
    echo "build-qt-windows: $dsc does not have the expected SHA-256 sum $dsc_sha256" >&2
    exit 1
  fi
  # Every file the .dsc names, by its SHA-256 sum and size.
  sed -n '/^Checksums-Sha256:/,/^[^ ]/{/^ /p}' "$downloads/$dsc" | while read -r sum size name; do
    local file=$downloads/$name
    if [ ! -f "$file" ] || [ "$(stat -c %s "$file")" != "$size" ] || [ "$(sha256sum "$file" | cut -d' ' -f1)" != "$sum" ]; then
      echo "build-qt-windows: $name does not match $dsc" >&2
      exit 1
    fi
    echo "checked $name ($size bytes, SHA-256 $sum)"
  done
  rm -rf "$folder"
  dpkg-source -x "$downloads/$dsc" "$folder" >/dev/null 2>"$work/dpkg-source-$package.log" ||
    { cat "$work/dpkg-source-$package.log" >&2; exit 1; }
}

mkdir -p "$work" "$prefix"

if ! stamp_matches "$qt_stamp" "$qt_stamp_text"; then
  rm -f "$qt_stamp"
  # A build that was stopped (the machine shut down, a time limit) goes on
  # where it was, when it was configured with the same choices.
  if stamp_matches "$work/qt-configured.stamp" "$qt_stamp_text" && [ -f "$work/build/build.ninja" ]; then
    echo "Going on with the Qt build in $work ($(grep -c '' "$work/build/.ninja_log" 2>/dev/null || echo 0) steps done before)"
    fetched=$(date +%s)
  else
    rm -rf "$work"
    mkdir -p "$work"
    fetch_source "$base_package" "$base_debian_version" "$base_dsc_sha256" "$work/qtbase"
    fetched=$(date +%s)
    # The project's MinGW-w64 toolchain file, kept beside the result so that
    # the cache does not depend on this tree.
    cp cmake/mingw-w64-x86_64.cmake "$prefix/mingw-w64-x86_64.cmake"
    nice -n "$nice" cmake -S "$work/qtbase" -B "$work/build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
      -DCMAKE_INSTALL_PREFIX="$prefix" \
      "${configure_options[@]}" >"$work/configure.log" 2>&1 ||
      { tail -40 "$work/configure.log" >&2; echo "build-qt-windows: configure failed, see $work/configure.log" >&2; exit 1; }
    printf '%s\n' "$qt_stamp_text" >"$work/qt-configured.stamp"
  fi
  configured=$(date +%s)
  nice -n "$nice" cmake --build "$work/build" --parallel "$jobs" >>"$work/build.log" 2>&1 ||
    { tail -40 "$work/build.log" >&2; echo "build-qt-windows: build failed, see $work/build.log" >&2; exit 1; }
  built=$(date +%s)
  cmake --install "$work/build" >"$work/install.log" 2>&1
  printf '%s\n' "$qt_stamp_text" >"$qt_stamp"
  installed=$(date +%s)
  echo "Qt: sources $((fetched - start)) s, configure $((configured - fetched)) s," \
       "build $((built - configured)) s, install $((installed - built)) s"
fi

if ! stamp_matches "$chm_stamp" "$chm_stamp_text"; then
  rm -f "$chm_stamp"
  fetch_source "$chm_package" "$chm_debian_version" "$chm_dsc_sha256" "$work/chmlib"
  mkdir -p "$work/chmlib-objects" "$prefix/lib" "$prefix/include"
  for unit in chm_lib lzx; do
    nice -n "$nice" x86_64-w64-mingw32-gcc-posix "${chm_flags[@]}" \
      -c "$work/chmlib/src/$unit.c" -o "$work/chmlib-objects/$unit.o"
  done
  rm -f "$prefix/lib/libchm.a"
  x86_64-w64-mingw32-ar rcs "$prefix/lib/libchm.a" "$work/chmlib-objects"/*.o
  cp "$work/chmlib/src/chm_lib.h" "$prefix/include/chm_lib.h"
  printf '%s\n' "$chm_stamp_text" >"$chm_stamp"
fi

rm -rf "$work"
cpu=$(awk '{print $14+$15+$16+$17}' /proc/$$/stat)   # this shell's and its waited-for children's ticks
echo "Qt $qt_version and chmlib for Windows installed in $prefix ($(du -sh "$prefix" | cut -f1))"
echo "Time: $(($(date +%s) - start)) s, processor time $((cpu / $(getconf CLK_TCK))) s"
