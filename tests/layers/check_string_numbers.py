#!/usr/bin/env python3
"""Checks that every string number of the program is written in one place.

resources/strings.txt holds each entry as "number<TAB>name<TAB>text"; the build
writes the named numbers into base/messages.h, and the code uses the
names (a name plus an offset for the entries that follow it). This check fails
when a C++ source or header of the tree writes one of the table's numbers as a
literal (a declaration of its own, a table of numbers, a LoadStr(4nnnn)), when
an entry's line is malformed, when a number or a name is there twice, or when
a text is there twice (two places that show one text share its entry).

Usage: check_string_numbers.py SOURCE_DIR
Prints every problem and exits 1 when there is one.
"""
import os
import re
import sys

ENTRY = re.compile(r"^(\d+)\t([A-Za-z_][A-Za-z0-9_]*)?\t(.*)$")
# A decimal literal on its own: not part of a name, a longer number, a float,
# a hexadecimal number or a number with digit separators.
LITERAL = re.compile(r"(?<![\w.'])(\d{5})(?![\w.'])")
SOURCE_ROOTS = ("app", "bench", "components", "desktop", "koyomi", "members", "terminal", "tests", "tools", "views")
SOURCE_SUFFIXES = (".cpp", ".h", ".hpp", ".cc")


def read_table(path, problems):
    numbers, names, texts = {}, {}, {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            m = ENTRY.match(line)
            if not m:
                problems.append(f"strings.txt:{number}: not \"number<TAB>name<TAB>text\"")
                continue
            value, name, text = int(m.group(1)), m.group(2), m.group(3)
            if value in numbers:
                problems.append(f"strings.txt:{number}: the number {value} is there twice")
            numbers[value] = number
            if name:
                if name in names:
                    problems.append(f"strings.txt:{number}: the name {name} is there twice")
                names[name] = number
            texts.setdefault(text, []).append(value)
    return numbers, texts


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    problems = []
    numbers, texts = read_table(os.path.join(root, "resources", "strings.txt"), problems)
    for text, values in texts.items():
        if len(values) > 1 and not shared_by_tables(values):
            problems.append(f"strings.txt: the text \"{text}\" is there {len(values)} times: "
                            + ", ".join(map(str, values)))
    checked = 0
    for top in SOURCE_ROOTS:
        for dirpath, dirs, files in os.walk(os.path.join(root, top)):
            dirs[:] = [d for d in dirs if d != "data"]
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                full = os.path.join(dirpath, name)
                rel = os.path.relpath(full, root).replace(os.sep, "/")
                checked += 1
                with open(full, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        for m in LITERAL.finditer(line):
                            if int(m.group(1)) in numbers:
                                problems.append(f"{rel}:{number}: {m.group(1)} is a string number: "
                                                "use its name from base/messages.h")
    for p in problems:
        print(p)
    print(f"{len(numbers)} strings, {checked} files checked, {len(problems)} problems")
    return 1 if problems else 0


# Tables that are read as a number plus an index may hold a word that is also
# elsewhere in the table: the version block's languages, code pages, target
# systems and file types (ギリシャ語, 未定義, ...) and the faces' words (普通,
# also a rating word). A text that is there twice outside them is a fault.
INDEXED_TABLES = [(42000, 42299), (44010, 44013)]


def shared_by_tables(values):
    outside = [v for v in values if not any(low <= v <= high for low, high in INDEXED_TABLES)]
    return len(outside) <= 1


if __name__ == "__main__":
    sys.exit(main())
