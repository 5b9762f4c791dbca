#!/usr/bin/env python3
"""Checks that every folder of the program includes only the folders below it.

The layers, from the ground up, are listed in LAYERS: each is one top-level
folder, and CMakeLists.txt adds them in the same order. A source file belongs
to the layer of its top-level folder. A file may include
files of its own layer and of the layers listed before it; a Qt-free layer
includes no Qt layer and no Qt header. A source file in a folder that is no
layer fails the check too, so that a new folder gets its place in the order.

Usage: check_layers.py SOURCE_DIR
Prints every include that goes the wrong way and exits 1 when there is one.
"""
import os
import re
import sys

# (top-level folder, uses Qt), from the ground up: the order in which
# CMakeLists.txt adds them, which the check compares too.
LAYERS = [
    ("base", False),        # string table, errors, text coders, whole files
    ("koyomi", False),      # calendar and astronomy
    ("members", False),     # member list and settings store
    ("version", False),     # the version reader and the program's version
    ("tools", False),       # programs that build the data file and the version block
    ("reading", False),     # the reading of a day, runs of days, pairs
    ("start", False),       # files, start-up, report and calendar file of both programs
    ("notify", False),      # notifications, autostart entry
    ("components", True),   # visual components
    ("help", True),         # the help file, router and window
    ("views", True),        # detail, month, pair and about windows
    ("settings", True),     # the settings window
    ("app", True),          # the main window, the window program
    ("terminal", False),    # mirvo-today
    ("bench", True),        # benchmarks
]
CHECKED_ROOTS = {folder for folder, _qt in LAYERS}
ADD_SUBDIRECTORY = re.compile(r"^\s*add_subdirectory\((\w+)\)")
SOURCE_SUFFIXES = (".cpp", ".h", ".hpp", ".cc")
QUOTED = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
ANGLED_QT = re.compile(r'^\s*#\s*include\s+<(Q[A-Za-z]+(/[A-Za-z]+)?)>')


def layer_of(path):
    top = path.split("/", 1)[0]
    for rank, (folder, _qt) in enumerate(LAYERS):
        if top == folder:
            return rank
    return None


def order_problems(root):
    """The layer list itself: top-level folders only, in CMakeLists.txt's order."""
    problems = [f"{folder}: a layer is a top-level folder, not a sub-folder"
                for folder, _qt in LAYERS if "/" in folder]
    added = []
    with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as f:
        for line in f:
            m = ADD_SUBDIRECTORY.match(line)
            if m and m.group(1) in CHECKED_ROOTS:
                added.append(m.group(1))
    listed = [folder for folder, _qt in LAYERS]
    if added != listed:
        problems.append("CMakeLists.txt adds the layers in the order " + ", ".join(added) +
                        "; the layer list reads " + ", ".join(listed))
    return problems


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    problems = order_problems(root)
    checked = 0
    for top in sorted(CHECKED_ROOTS):
        for dirpath, _dirs, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                full = os.path.join(dirpath, name)
                rel = os.path.relpath(full, root).replace(os.sep, "/")
                rank = layer_of(os.path.dirname(rel))
                if rank is None:
                    problems.append(f"{rel}: its folder is no layer; give it a place in the layer list")
                    continue
                folder, qt = LAYERS[rank]
                checked += 1
                with open(full, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = QUOTED.match(line)
                        if m:
                            target = m.group(1)
                            if "/" not in target:
                                target = os.path.dirname(rel) + "/" + target
                            if not os.path.exists(os.path.join(root, target)):
                                continue  # a generated header (ui_*.h) or a file of the build
                            other = layer_of(os.path.dirname(target))
                            if other is None:
                                continue
                            ofolder, oqt = LAYERS[other]
                            if other > rank:
                                problems.append(f"{rel}:{number}: includes {m.group(1)}, "
                                                f"a layer above its own ({ofolder} over {folder})")
                            elif oqt and not qt:
                                problems.append(f"{rel}:{number}: includes {m.group(1)}, "
                                                f"a Qt layer ({ofolder}) from the Qt-free {folder}")
                        elif not qt and ANGLED_QT.match(line):
                            problems.append(f"{rel}:{number}: a Qt header in the Qt-free {folder}")
    for p in problems:
        print(p)
    print(f"{checked} files checked, {len(problems)} includes out of order")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
