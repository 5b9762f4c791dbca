#!/usr/bin/env bash
# The manual pages under docs/man (English) and docs/man/ja (Japanese): they
# render without a groff warning at several widths, carry the program's
# version, and mirvo-today(1) documents every option and exit code that
# mirvo-today --help names, in both languages.
source "$(dirname "$0")/../support/checks.sh"
source_dir=${MIRVO_SOURCE_DIR:?}
runtime=${MIRVO_RUNTIME_DIR:?}
man_dir="$source_dir/docs/man"

version=$(sed -n 's/^set(MIRVO_FILE_VERSION "\(.*\)")$/\1/p' "$source_dir/cmake/Version.cmake")
pages=("$man_dir"/*.1 "$man_dir"/ja/*.1)
[ ${#pages[@]} -eq 4 ] || fail "expected four pages, found: ${pages[*]}"
for page in "${pages[@]}"; do
  name=${page#"$man_dir"/}
  for width in 60 80 120; do
    err=$(LC_ALL=C.UTF-8 MANWIDTH=$width man --warnings=all -l "$page" 2>&1 >/dev/null)
    [ -z "$err" ] || fail "$name at width $width: $err"
  done
  grep -q "^\.TH [A-Z-]* 1 [0-9-]* \"TodayMirvo $version\" " "$page" \
    || fail "$name: the .TH line does not name TodayMirvo $version ($(grep '^\.TH' "$page"))"
  for variable in XDG_CONFIG_HOME XDG_DATA_HOME NO_COLOR; do
    grep -q "^\.B $variable$" "$page" || fail "$name does not name $variable"
  done
done

# The options and exit codes that the program itself names.
help=$("$runtime/mirvo-today" --help)
options=$(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u)
codes=$(sed -n '/^終了コード/,$p' <<<"$help" | grep -oE '(^|[:,] )[0-9]+ ' | grep -oE '[0-9]+' | sort -u)
[ -n "$options" ] && [ -n "$codes" ] || fail "no options or exit codes in mirvo-today --help"
for page in "$man_dir/mirvo-today.1" "$man_dir/ja/mirvo-today.1"; do
  name=${page#"$man_dir"/}
  for option in $options; do
    # An entry of the option list: .B --json or .BI "--date" " YYYY-MM-DD"
    grep -qE "^\.BI? ${option//-/\\\\-}( |$)" "$page" || fail "$name has no entry for $option"
  done
  # The exit codes: the .TP entries of the exit status section.
  documented=$(sed -n '/^\.SH \(EXIT STATUS\|終了ステータス\)/,/^\.SH/p' "$page" \
    | grep -A1 '^\.TP' | sed -n 's/^\.B \([0-9][0-9]*\)$/\1/p' | sort -u)
  [ "$documented" = "$codes" ] || fail "$name documents exit codes $(echo $documented), mirvo-today --help $(echo $codes)"
done

# The two languages have the same sections and the same entries.
for page in todaymirvo.1 mirvo-today.1; do
  entries() { grep -cE '^\.(SH|TP)' "$1"; }
  [ "$(entries "$man_dir/$page")" = "$(entries "$man_dir/ja/$page")" ] \
    || fail "$page: $(entries "$man_dir/$page") sections and entries in English, $(entries "$man_dir/ja/$page") in Japanese"
done

finish manpages
