# What the program tests (tests/programs/*.sh) share. Each sources it first:
#   source "$(dirname "$0")/../support/checks.sh"
# It gives $work, a scratch folder removed at the end (after the script's
# own on_exit function, when it defines one); fail MESSAGE, which counts a
# failed check and goes on; and finish NAME, which ends the script with 0
# when no check failed and 1 otherwise.
set -uo pipefail

work=$(mktemp -d)
failures=0

checks_exit() {
  if declare -F on_exit >/dev/null; then on_exit; fi
  rm -rf "$work"
}
trap checks_exit EXIT

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

finish() {
  if [ "$failures" -eq 0 ]; then
    echo "$1: all checks passed"
    exit 0
  fi
  echo "$1: $failures checks failed" >&2
  exit 1
}
