#!/usr/bin/env bash
# Every text the program shows comes from its string table
# (resources/strings.txt): no C++ source of the program writes a message as
# a literal. Checked: string literals with letters outside ASCII (Japanese),
# and errors thrown with a literal message. Allowed: symbols (☺, ♥, ♈, Braille
# dots, … and the like), the date words 年月日時分秒 on their own, date
# patterns whose words are quoted ('年'), and a line
# that says why in a comment holding "not a message:" (a font's name).
# The build tools under tools/ run for whoever builds the program, not for
# its user, and are not checked.
set -uo pipefail
python3 - "$MIRVO_SOURCE_DIR" <<'EOF_PY'
import pathlib, re, sys, unicodedata

root = pathlib.Path(sys.argv[1])
folders = ["app", "terminal", "members", "views", "components", "koyomi"]
date_token = re.compile(r"yyyy|yy|mm|dd|hh|nn|ss")


def literals(text):
    """(line, literal text, prefix before it) of every string literal outside comments."""
    i, line, n = 0, 1, len(text)
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif text.startswith("//", i):
            end = text.find("\n", i)
            i = n if end < 0 else end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            line += text.count("\n", i, end)
            i = end
        elif c == "'" and not (i > 0 and (text[i - 1].isalnum())):
            j = i + 1
            while j < n and text[j] != "'":
                j += 2 if text[j] == "\\" else 1
            i = j + 1
        elif c == '"':
            j = i + 1
            while j < n and text[j] != '"':
                j += 2 if text[j] == "\\" else 1
            start = text.rfind("\n", 0, i) + 1
            yield line, text[i + 1:j], text[start:i]
            i = j + 1
        else:
            i += 1


def is_symbol(ch):
    # Symbols, variation selectors and general punctuation (…); not the
    # Japanese punctuation of sentences (、。「」).
    code = ord(ch)
    return (code < 0x80 or unicodedata.category(ch) in ("So", "Sm", "Mn") or 0xFE00 <= code <= 0xFE0F
            or 0x2000 <= code <= 0x206F)


# The words of dates and times: a date's parts as typed or shown ("2024年").
date_words = set("年月日時分秒")


def allowed(literal):
    if all(is_symbol(ch) or ch in date_words for ch in literal):
        return True
    if date_token.search(literal):
        unquoted = re.sub(r"'[^']*'", "", literal)
        return all(ord(ch) < 0x80 for ch in unquoted)
    return False


failures = []
for folder in folders:
    for path in sorted((root / folder).rglob("*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        text = path.read_text(encoding="utf-8")
        lines = text.split("\n")
        for line, literal, before in literals(text):
            if "not a message:" in lines[line - 1]:
                continue
            where = f"{path.relative_to(root)}:{line}"
            if not allowed(literal):
                failures.append(f"{where}: \"{literal}\" belongs in resources/strings.txt")
            elif re.search(r"EMirvoError\(\s*$", before):
                failures.append(f"{where}: an error with the literal message \"{literal}\"")

for f in failures:
    print("FAIL:", f, file=sys.stderr)
if failures:
    sys.exit(1)
print("no message literals in the program's sources")
EOF_PY
