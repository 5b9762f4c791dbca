#!/usr/bin/env bash
# Installs the Debian packages that TodayMirvo needs; safe to run again: it
# installs only what is missing.
#   setup.sh run         what building and running the two programs needs
#                        (scripts/run.sh)
#   setup.sh [test]      that and everything the tests, the Windows build,
#                        the packages and the benchmarks need (scripts/test.sh)
#   setup.sh --list run|test
#                        prints the packages of that set, one per line
set -euo pipefail

run_packages=(
  build-essential cmake pkg-config git
  # The build goes through ccache when it is there: a second build, or a
  # build in another folder, compiles only what changed.
  ccache
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev zlib1g-dev
  # The help file is built with chmcmd and read with chmlib; the icon is
  # drawn from its SVG; the window animation asks the X server (xcb);
  # mirvo-today --notify speaks to the session bus with sd-bus.
  libchm-dev fp-utils librsvg2-bin libxcb1-dev libsystemd-dev
  # The faces the windows draw with, and Qt's own texts (file dialogs,
  # context menus, message box buttons) in Japanese.
  fonts-ipafont fonts-liberation2 fonts-dejavu-core fonts-symbola
  qt6-translations-l10n
)

test_packages=(
  qt6-tools-dev qt6-tools-dev-tools
  libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-apps x11-utils xdotool imagemagick
  icoutils python3-pefile
  appstream desktop-file-utils
  # The Windows window program: Qt built from Debian's source with Ninja
  # (scripts/build-qt-windows.sh), the installer made with NSIS
  # (scripts/package-windows.sh) and zipped.
  ninja-build nsis zip
  # The Windows build (preset windows, scripts/test-windows.sh): MinGW-w64's
  # C++ compiler, zlib for MinGW, and Wine to run the tests.
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64
  # Calendar files are read back by a real iCalendar parser in the tests,
  # printed pages by pdftotext.
  python3-icalendar poppler-utils
  # The file safety test kills the programs at each step of a save (strace's
  # syscall injection) and plays another local user (util-linux's setpriv).
  strace util-linux
  # The Debian package (scripts/package.sh, tests/package) and the manual pages.
  dpkg-dev debhelper lintian man-db groff-base
  # mirvo-today --notify's test runs a private bus (dbus-run-session) with a
  # notification server in Python.
  dbus-daemon python3-dbus python3-gi gir1.2-glib-2.0
  # bench_speed compares with libnova.
  libnova-dev
  # Locales the tests switch to: German (a decimal comma that must not reach
  # the files) and Japanese (the Windows tests' console).
  locales
  # Only for the coefficient fitter and bench_accuracy, which are built on
  # request (-DMIRVO_BUILD_FITTER=ON): the Swiss Ephemeris and LAPACK.
  libswe-dev liblapack-dev
)

set_name=test
list_only=no
case "${1:-}" in
  --list) list_only=yes; set_name=${2:-}; ;;
  run|test) set_name=$1 ;;
  "") ;;
  *) echo "setup.sh: unknown argument '$1' (run, test, --list run, --list test)" >&2; exit 2 ;;
esac
case "$set_name" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "setup.sh: --list run or --list test" >&2; exit 2 ;;
esac
if [ "$list_only" = yes ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The locales the tests use, made when missing.
[ "$set_name" = test ] || exit 0
wanted_locales=(de_DE.UTF-8 ja_JP.UTF-8)
make_locales=()
for l in "${wanted_locales[@]}"; do
  short=$(echo "$l" | sed 's/UTF-8/utf8/')
  locale -a 2>/dev/null | grep -qx "$short" || make_locales+=("$l")
done
if [ ${#make_locales[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  for l in "${make_locales[@]}"; do
    $SUDO sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$l UTF-8" /etc/locale.gen || echo "$l UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  done
  $SUDO locale-gen >/dev/null
fi
