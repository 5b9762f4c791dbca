#!/usr/bin/env bash
# Builds the Debian package of TodayMirvo (dpkg-buildpackage -b -us -uc) from a
# copy of the source tree in a temporary folder, so that the build leaves
# nothing in the tree, and puts the .deb files (the package and its debug
# symbols) with the .buildinfo and .changes into the output folder:
#
#   bash scripts/package.sh [OUTPUT-FOLDER]      (default: build/package)
#
# The tests are not built or run in the package build (DEB_BUILD_OPTIONS and
# the build profile nocheck): scripts/test.sh runs them, with the sanitizers
# too. Without nocheck, debian/rules builds and runs them as well.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
out=${1:-build/package}
mkdir -p "$out"
out=$(cd "$out" && pwd)

version=$(dpkg-parsechangelog -SVersion)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree="$work/todaymirvo-$version"
mkdir "$tree"
# The tree as it is, uncommitted changes included, without builds and git.
tar -C "$source" --exclude=./.git --exclude=./build --exclude='./build-*' -cf - . | tar -C "$tree" -xf -

start=$(date +%s)
(
  cd "$tree"
  export DEB_BUILD_OPTIONS="nocheck parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}"
  dpkg-buildpackage -b -us -uc -Pnocheck
) >"$work/build.log" 2>&1 || { tail -n 60 "$work/build.log" >&2; echo "package build failed" >&2; exit 1; }
cp "$work/build.log" "$out/build.log"

for f in "$work"/*.deb "$work"/*.buildinfo "$work"/*.changes; do
  mv "$f" "$out/"
done
echo "built in $(( $(date +%s) - start )) s:"
ls -1 "$out"/*_"$version"_*.deb
