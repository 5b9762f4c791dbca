#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing TodayMirvo need.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  # The build goes through ccache when it is there: a second build, or a
  # build in another folder, compiles only what changed.
  ccache
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-svg-dev libgl-dev
  zlib1g-dev libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev
  clang libclang-rt-14-dev
  libchm-dev fp-utils libxcb1-dev
  fonts-ipafont fonts-liberation2 fonts-dejavu-core fonts-symbola
  # Qt's own texts (file dialogs, context menus, message box buttons) in Japanese.
  qt6-translations-l10n
  xvfb xauth x11-apps x11-utils xdotool imagemagick librsvg2-bin
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
  # mirvo-today --notify speaks to the session bus with sd-bus; its test runs a
  # private bus (dbus-run-session) with a notification server in Python.
  libsystemd-dev dbus-daemon python3-dbus python3-gi gir1.2-glib-2.0
  # bench_speed compares with libnova.
  libnova-dev
  # Locales the tests switch to: German (a decimal comma that must not reach
  # the files) and Japanese (the Windows tests' console).
  locales
  # Only for the coefficient fitter and bench_accuracy, which are built on
  # request (-DMIRVO_BUILD_FITTER=ON): the Swiss Ephemeris and LAPACK.
  libswe-dev liblapack-dev
)

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
