#!/usr/bin/env bash
# The version block the build compiled into the program, read by a reader
# that is not ours: mkkosmera puts it into a DLL as resource 16/1 and
# python3-pefile parses it. Every string, the translation and the fixed part
# must say what cmake/Version.cmake says (through the text the build wrote).
set -euo pipefail

runtime=${MIRVO_RUNTIME_DIR:?}
src="${MIRVO_SOURCE_DIR:?}/resources/kosmera"
text="$runtime/version/TodayMirvo.version.txt"
block="$runtime/version/TodayMirvo.version.bin"
python=/usr/bin/python3   # Debian's, which has pefile
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for f in "$text" "$block" "$runtime/mkkosmera"; do
  test -e "$f" || { echo "missing $f" >&2; exit 1; }
done

"$runtime/mkkosmera" --koyomi "$src/koyomi.txt" --strings "$src/strings.txt" --seiza "$src/seiza.txt" \
  --resource 16 1 "$block" --output "$work/versioned.dll"
wrestool -l "$work/versioned.dll" | grep -q -- "--type=16 --name=1 --language=1041" \
  || { echo "wrestool finds no version resource" >&2; exit 1; }

"$python" - "$work/versioned.dll" "$text" <<'PY'
import sys, pefile

dll, text = sys.argv[1], sys.argv[2]
want_strings, fields = [], {}
for line in open(text, encoding="utf-8"):
    line = line.rstrip("\n")
    if not line or line.startswith("#"):
        continue
    parts = line.split("\t")
    if parts[0] == "string":
        want_strings.append((parts[1], parts[2]))
    else:
        fields[parts[0]] = parts[1:]

pe = pefile.PE(dll)
tables, translations = [], []
for group in pe.FileInfo:
    for info in group:
        for table in getattr(info, "StringTable", []):
            tables.append((table.LangID.decode(),
                           [(k.decode(), v.decode("utf-8")) for k, v in table.entries.items()]))
        for var in getattr(info, "Var", []):
            translations.append(var.entry)

fail = []
lang, cp = (int(x, 0) for x in fields["translation"])
key = "%04X%04X" % (lang, cp)
if [t[0] for t in tables] != [key]:
    fail.append("string tables %r, want [%r]" % ([t[0] for t in tables], key))
elif tables[0][1] != want_strings:
    fail.append("strings %r\n want %r" % (tables[0][1], want_strings))
if translations != [{b"Translation": "0x%04x 0x%04x" % (lang, cp)}]:
    fail.append("translation %r" % translations)

ffi = pe.VS_FIXEDFILEINFO[0]
def packed(v):
    a, b, c, d = (int(x) for x in v.split("."))
    return (a << 16 | b, c << 16 | d)
if ffi.Signature != 0xFEEF04BD or ffi.StrucVersion != 0x10000:
    fail.append("fixed part signature %x / %x" % (ffi.Signature, ffi.StrucVersion))
if (ffi.FileVersionMS, ffi.FileVersionLS) != packed(fields["file-version"][0]):
    fail.append("file version")
if (ffi.ProductVersionMS, ffi.ProductVersionLS) != packed(fields["product-version"][0]):
    fail.append("product version")
for name, attr in [("file-flags-mask", "FileFlagsMask"), ("file-flags", "FileFlags"), ("file-os", "FileOS"),
                   ("file-type", "FileType"), ("file-subtype", "FileSubtype")]:
    if getattr(ffi, attr) != int(fields[name][0], 0):
        fail.append(attr)
info = pe.VS_VERSIONINFO[0]
if info.Key.decode() != "VS_VERSION_INFO" or info.ValueLength != 52 or info.Type != 0:
    fail.append("root node %r %d %d" % (info.Key, info.ValueLength, info.Type))
if fail:
    print("\n".join(fail), file=sys.stderr)
    sys.exit(1)
print("pefile reads %d strings in %s and the fixed part as written" % (len(want_strings), key))
PY
