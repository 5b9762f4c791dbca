#!/usr/bin/env bash
# Reads the Kosmera.dat the build wrote with two readers that are not ours,
# icoutils' wrestool and python3-pefile, and checks that every resource and
# every string is where mkkosmera put it, with the content of its sources.
set -euo pipefail

dat="${MIRVO_RUNTIME_DIR:?}/Kosmera.dat"
src="${MIRVO_SOURCE_DIR:?}/resources/kosmera"
python=/usr/bin/python3   # Debian's, which has pefile
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

test -f "$dat" || { echo "missing $dat" >&2; exit 1; }

# wrestool: the listing, then each resource extracted by type and name.
wrestool -l "$dat" > "$work/list.txt"
for block in 3126 3127 3128 3130 3131; do
  grep -q -- "--type=6 --name=$block --language=1041" "$work/list.txt" \
    || { echo "wrestool does not list string block $block" >&2; cat "$work/list.txt" >&2; exit 1; }
done
test "$(grep -c -- "--type=6 " "$work/list.txt")" -eq 5 || { echo "unexpected string blocks" >&2; exit 1; }
test "$(grep -c -- "--type='KOSMERA'" "$work/list.txt")" -eq 3 || { echo "KOSMERA resources not listed" >&2; exit 1; }
wrestool -x --raw --type=KOSMERA --name=KOYOMI "$dat" > "$work/KOYOMI"
wrestool -x --raw --type=KOSMERA --name=SEIZA "$dat" > "$work/SEIZA"
for block in 3126 3127 3128 3130 3131; do
  wrestool -x --raw --type=6 --name=$block "$dat" > "$work/strings.$block"
done

"$python" - "$dat" "$src" "$work" <<'EOF'
import os, struct, sys, zlib
import pefile

dat, src, work = sys.argv[1:4]
failures = []
def check(ok, what):
    if not ok:
        failures.append(what)

# The sources, read independently of the tool.
def coefficients():
    values = {}
    for line in open(os.path.join(src, "koyomi.txt"), encoding="utf-8"):
        line = line.split("#", 1)[0].split()
        if line:
            values[int(line[0])] = tuple(float(x) for x in line[2:5])
    return b"".join(struct.pack("<672d", *[values[n][k] for n in range(1, 673)]) for k in range(3))

def strings():
    table = {}
    for line in open(os.path.join(src, "strings.txt"), encoding="utf-8"):
        line = line.rstrip("\n")
        if line and not line.startswith("#"):
            number, text = line.split("\t", 1)
            table[int(number)] = text
    return table

def block_content(raw):
    (length,) = struct.unpack_from("<i", raw)
    return zlib.decompress(raw[4:4 + length])

def decode_block(block_id, raw):
    found, at = {}, 0
    for i in range(16):
        (n,) = struct.unpack_from("<H", raw, at)
        if n:
            found[(block_id - 1) * 16 + i] = raw[at + 2:at + 2 + 2 * n].decode("utf-16-le")
        at += 2 + 2 * n
    return found

expected_strings = strings()
check(sorted(expected_strings) == list(range(50001, 50011)) + list(range(50031, 50043)) + list(range(50071, 50083)),
      "strings.txt does not hold exactly the 34 strings")
koyomi_bytes = coefficients()

# wrestool's extractions.
wrestool_strings = {}
for block in (3126, 3127, 3128, 3130, 3131):
    wrestool_strings.update(decode_block(block, open(os.path.join(work, "strings.%d" % block), "rb").read()))
check(wrestool_strings == expected_strings, "wrestool: strings differ: %r" % wrestool_strings)
check(block_content(open(os.path.join(work, "KOYOMI"), "rb").read()) == koyomi_bytes, "wrestool: KOYOMI differs")
seiza = block_content(open(os.path.join(work, "SEIZA"), "rb").read())
check(len(seiza) == 5848 and seiza[:5] == b"SEIZA", "wrestool: SEIZA is not the 5848-byte block")

# pefile: the headers, then the resources.
pe = pefile.PE(dat)
oh, fh = pe.OPTIONAL_HEADER, pe.FILE_HEADER
check(oh.Magic == 0x10B, "not PE32")
check(fh.Machine == 0x14C, "not i386")
check(pe.is_dll() and fh.Characteristics & 0x0002, "not an executable-image DLL")
check(oh.AddressOfEntryPoint == 0 and oh.SizeOfCode == 0, "has code")
check(len(pe.sections) == 1 and pe.sections[0].Name.rstrip(b"\0") == b".rsrc", "not one .rsrc section")
sec = pe.sections[0]
align = lambda v, a: (v + a - 1) // a * a
check(oh.SizeOfImage == align(sec.VirtualAddress + sec.Misc_VirtualSize, oh.SectionAlignment), "SizeOfImage wrong")
check(oh.SizeOfHeaders == sec.PointerToRawData == align(oh.SizeOfHeaders, oh.FileAlignment), "SizeOfHeaders wrong")
check(sec.SizeOfRawData % oh.FileAlignment == 0 and sec.VirtualAddress % oh.SectionAlignment == 0, "alignment wrong")
check(sec.PointerToRawData + sec.SizeOfRawData == os.path.getsize(dat), "file size does not match the section")
res_dir = oh.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]]
check(res_dir.VirtualAddress == sec.VirtualAddress and res_dir.Size == sec.Misc_VirtualSize, "resource directory entry wrong")
check(pe.verify_checksum(), "checksum wrong")

found = {}
pe_strings = {}
for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
    tname = str(t.name) if t.name is not None else t.id
    for n in t.directory.entries:
        nname = str(n.name) if n.name is not None else n.id
        for lang in n.directory.entries:
            check(lang.id == 0x411, "language of %r/%r is %#x" % (tname, nname, lang.id))
            data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
            found[(tname, nname)] = data
            if tname == 6:
                pe_strings.update(decode_block(nname, data))
check(set(found) == {("KOSMERA", "KOYOMI"), ("KOSMERA", "SEIZA"), ("KOSMERA", "CHECK")}
      | {(6, b) for b in (3126, 3127, 3128, 3130, 3131)},
      "resources: %r" % sorted(map(str, found)))
check(block_content(found[("KOSMERA", "KOYOMI")]) == koyomi_bytes, "pefile: KOYOMI differs")
check(block_content(found[("KOSMERA", "SEIZA")]) == seiza, "pefile: SEIZA differs from wrestool's")
check(pe_strings == expected_strings, "pefile: strings differ: %r" % pe_strings)
# CHECK: CRC-32 of the two blocks as stored (each after its 4-byte size) and
# of the 34 strings in code page 932 (each after its 2-byte size).
summed = b""
for name in ("KOYOMI", "SEIZA"):
    summed += struct.pack("<I", len(found[("KOSMERA", name)])) + found[("KOSMERA", name)]
for first, count in ((50001, 10), (50031, 12), (50071, 12)):
    for n in range(first, first + count):
        text = expected_strings.get(n, "").encode("cp932")
        summed += struct.pack("<H", len(text)) + text
check(found.get(("KOSMERA", "CHECK")) == struct.pack("<I", zlib.crc32(summed)), "CHECK is not the CRC-32 of the blocks and strings")

if failures:
    print("\n".join(failures), file=sys.stderr)
    sys.exit(1)
print("Kosmera.dat: %d resources and %d strings read back by wrestool and pefile" % (len(found), len(pe_strings)))
EOF
