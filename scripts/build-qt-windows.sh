#!/usr/bin/env bash
# Builds the Qt that the Windows window program links: Qt 6.4.2 (qtbase) from
# Debian's own source package, cross-compiled with MinGW-w64 as static
# libraries, with only what TodayMirvo uses (Core, Gui, Widgets, Network,
# PrintSupport, Test, the Windows platform plugin; PNG is part of Gui).
#
# The result goes to a cache outside the source tree,
#   ${XDG_CACHE_HOME:-~/.cache}/todaymirvo/qt-mingw-6.4.2
# (or the folder named by MIRVO_QT_WINDOWS_PREFIX), and a run finds a complete
# cache by its stamp file and does nothing. The build tools (moc, uic, rcc)
# are the host's: Debian's qt6-base-dev-tools of the same version.
#
# The sources come through apt with a deb-src list of the script's own, so the
# system's apt set-up stays as it is; the downloaded files are checked against
# the SHA-256 sums below and against their .dsc before anything is unpacked.
#
# Usage: bash scripts/build-qt-windows.sh [--jobs N]
# Environment: MIRVO_QT_WINDOWS_PREFIX (install folder), NICE (default 19).
set -euo pipefail
cd "$(dirname "$0")/.."
project=$PWD

jobs=2
while [ $# -gt 0 ]; do
  case "$1" in
    --jobs) jobs=$2; shift 2 ;;
    --jobs=*) jobs=${1#--jobs=}; shift ;;
    *) echo "usage: $0 [--jobs N]" >&2; exit 2 ;;
  esac
done

qt_version=6.4.2
base_package=qt6-base
base_debian_version=6.4.2+dfsg-10
# The .dsc of the source package, pinned: a changed or different source
# stops the build before anything of it runs.
base_dsc_sha256=1b4b5c8610a553d4211fa81e268b1a3b0a6339ae5444fdb7e60d7616da651970

cache=${XDG_CACHE_HOME:-$HOME/.cache}/todaymirvo
prefix=${MIRVO_QT_WINDOWS_PREFIX:-$cache/qt-mingw-$qt_version}
downloads=$cache/sources
work=$cache/qt-mingw-$qt_version-build
stamp=$prefix/todaymirvo-qt.stamp

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
stamp_text=$(printf '%s\n' "$base_package $base_debian_version $base_dsc_sha256" "${configure_options[@]}")

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ]; then
  echo "Qt $qt_version for Windows is ready: $prefix"
  exit 0
fi

bash scripts/setup.sh
nice=${NICE:-19}
start=$(date +%s)

# 1. The sources, through apt with a private sources list and private state
#    (lists and package caches in the cache folder).
apt_dir=$cache/apt
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$downloads"
cat >"$apt_dir/sources.list.d/debian-sources.sources" <<'EOF'
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
EOF
apt_options=(
  -o Dir::Etc::SourceList=/dev/null
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
  -o APT::Sandbox::User=root
)
dsc=${base_package}_${base_debian_version}.dsc
sha_ok() { [ -f "$1" ] && [ "$(sha256sum "$1" | cut -d' ' -f1)" = "$2" ]; }
if ! sha_ok "$downloads/$dsc" "$base_dsc_sha256"; then
  apt-get "${apt_options[@]}" -qq update
  (cd "$downloads" && apt-get "${apt_options[@]}" source --download-only "$base_package=$base_debian_version")
fi
if ! sha_ok "$downloads/$dsc" "$base_dsc_sha256"; then
  echo "build-qt-windows: $dsc does not have the expected SHA-256 sum $base_dsc_sha256" >&2
  exit 1
fi
# Every file the .dsc names, by its SHA-256 sum and size.
sed -n '/^Checksums-Sha256:/,/^[^ ]/{/^ /p}' "$downloads/$dsc" | while read -r sum size name; do
  file=$downloads/$name
  if [ ! -f "$file" ] || [ "$(stat -c %s "$file")" != "$size" ] || [ "$(sha256sum "$file" | cut -d' ' -f1)" != "$sum" ]; then
    echo "build-qt-windows: $name does not match $dsc" >&2
    exit 1
  fi
  echo "checked $name ($size bytes, SHA-256 $sum)"
done
fetched=$(date +%s)

# 2. Unpack with Debian's patches applied (dpkg-source checks the .dsc again).
rm -rf "$work"
mkdir -p "$work"
dpkg-source -x "$downloads/$dsc" "$work/qtbase" >/dev/null
unpacked=$(date +%s)

# 3. Configure and build with the project's MinGW-w64 toolchain file, kept
#    beside the result so that the cache does not depend on this tree.
mkdir -p "$prefix"
cp cmake/mingw-w64-x86_64.cmake "$prefix/mingw-w64-x86_64.cmake"
rm -f "$stamp"
nice -n "$nice" cmake -S "$work/qtbase" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  "${configure_options[@]}" >"$work/configure.log" 2>&1 ||
  { tail -40 "$work/configure.log" >&2; echo "build-qt-windows: configure failed, see $work/configure.log" >&2; exit 1; }
configured=$(date +%s)
nice -n "$nice" cmake --build "$work/build" --parallel "$jobs" >"$work/build.log" 2>&1 ||
  { tail -40 "$work/build.log" >&2; echo "build-qt-windows: build failed, see $work/build.log" >&2; exit 1; }
built=$(date +%s)
cmake --install "$work/build" >"$work/install.log" 2>&1
printf '%s\n' "$stamp_text" >"$stamp"
rm -rf "$work"
done_at=$(date +%s)

cpu=$(awk '{print $14+$15+$16+$17}' /proc/$$/stat)   # this shell's and its children's ticks
echo "Qt $qt_version for Windows installed in $prefix ($(du -sh "$prefix" | cut -f1))"
echo "Times: sources $((fetched - start)) s, unpack $((unpacked - fetched)) s," \
     "configure $((configured - unpacked)) s, build $((built - configured)) s, install $((done_at - built)) s;" \
     "processor time $((cpu / $(getconf CLK_TCK))) s"
