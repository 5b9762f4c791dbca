#!/usr/bin/env bash
# The Windows programs as files and as Wine runs them: 64-bit PE files that
# import only DLLs of Windows itself, mirvo-today.exe --help alone in a folder
# (no DLL beside it), and mkkosmera.exe writing the same Kosmera.dat as the
# Linux mkkosmera. Environment as for today_json.sh, and MIRVO_OBJDUMP.
set -uo pipefail

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# DLLs that every 64-bit Windows has in its system folder.
system_dlls=" kernel32.dll msvcrt.dll user32.dll shell32.dll ole32.dll advapi32.dll "

core_programs=$(cd "$MIRVO_RUNTIME_DIR" && ls core_*_tests.exe 2>/dev/null | sed 's/\.exe$//')
[ -n "$core_programs" ] || fail "no core test program in $MIRVO_RUNTIME_DIR"
for program in mirvo-today mkkosmera $core_programs; do
  exe="$MIRVO_RUNTIME_DIR/$program.exe"
  kind=$(file -b "$exe")
  case $kind in
    "PE32+ executable (console) x86-64"*) echo "$program.exe: $kind" ;;
    *) fail "$program.exe is $kind" ;;
  esac
  imports=$("$MIRVO_OBJDUMP" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  [ -n "$imports" ] || fail "$program.exe: no imports found"
  for dll in $imports; do
    case $system_dlls in
      *" $dll "*) ;;
      *) fail "$program.exe needs $dll, which Windows does not provide" ;;
    esac
  done
  echo "$program.exe imports:" $imports
done

# mirvo-today.exe --help with nothing beside it.
mkdir "$work/alone"
cp "$MIRVO_RUNTIME_DIR/mirvo-today.exe" "$work/alone/"
if "$MIRVO_WINE" "$work/alone/mirvo-today.exe" --help >"$work/help.txt" 2>"$work/help.err"; then
  grep -q -- '--json' "$work/help.txt" || fail "mirvo-today.exe --help does not name --json"
  echo "mirvo-today.exe --help alone in a folder: $(wc -l <"$work/help.txt") lines"
  head -3 "$work/help.txt"
else
  fail "mirvo-today.exe --help failed alone in a folder: $(cat "$work/help.err")"
fi
# The same help as the Linux program, but for the line ends.
"$MIRVO_HOST_RUNTIME_DIR/mirvo-today" --help >"$work/help.linux.txt"
tr -d '\r' <"$work/help.txt" | cmp -s - "$work/help.linux.txt" || fail "--help differs from the Linux program's"

# mkkosmera.exe writes the data file the Linux build wrote.
sources="$MIRVO_SOURCE_DIR/resources/kosmera"
if "$MIRVO_WINE" "$MIRVO_RUNTIME_DIR/mkkosmera.exe" --koyomi "$(winpath "$sources/koyomi.txt")" \
    --strings "$(winpath "$sources/strings.txt")" --seiza "$(winpath "$sources/seiza.txt")" \
    --output "$(winpath "$work/Kosmera.dat")" >"$work/mkkosmera.out" 2>&1; then
  if cmp "$work/Kosmera.dat" "$MIRVO_HOST_RUNTIME_DIR/Kosmera.dat"; then
    echo "mkkosmera.exe: Kosmera.dat identical to the Linux build's ($(wc -c <"$work/Kosmera.dat") bytes)"
  else
    fail "mkkosmera.exe wrote another Kosmera.dat than the Linux mkkosmera"
  fi
else
  fail "mkkosmera.exe failed: $(cat "$work/mkkosmera.out")"
fi

[ "$failures" -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "the Windows programs stand alone"
