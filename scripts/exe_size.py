#!/usr/bin/env python3
"""What makes up ColorTintvane.exe: the bytes of each section of the file,
and the bytes each library and each of the program's own modules put into
them, read from the link map of the same link.
    exe_size.py EXE MAP [--objects N] [--before EXE MAP]
Prints Markdown tables: the sections of the file; the parts (our modules,
libpng, expat, zlib, libstdc++, libgcc, winpthreads, the mingw-w64 C runtime,
import stubs, resources) by section; with --objects N, the N largest objects
as well; with --before, only each part's total beside an earlier link's.
The parts' sizes are those of their input sections, before each
section of the file is padded to a whole number of 512-byte blocks.
The Windows build writes the map beside the program, as ColorTintvane.map:
    scripts/exe_size.py build/win64/ColorTintvane.exe build/win64/ColorTintvane.map"""
import argparse
import collections
import os
import re
import struct

# Sections of the file, in the order the tables show them.
SECTION_ORDER = [".text", ".rdata", ".data", ".pdata", ".xdata", ".eh_frame", ".bss",
                 ".idata", ".CRT", ".tls", ".rsrc", ".reloc"]
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

INPUT_LINE = re.compile(r"^ (\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
INPUT_NAME_ONLY = re.compile(r"^ (\S+)$")
CONTINUATION = re.compile(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
OUTPUT_SECTION = re.compile(r"^(\.\S+)(\s+0x[0-9a-f]+\s+0x[0-9a-f]+)?\s*$")


def pe_sections(path):
    """[(name, bytes in the file, bytes in memory)], the size of the headers and of the file."""
    with open(path, "rb") as f:
        d = f.read()
    pe = struct.unpack_from("<I", d, 0x3C)[0]
    _, count, _, _, _, optsize, _ = struct.unpack_from("<HHIIIHH", d, pe + 4)
    headers = struct.unpack_from("<I", d, pe + 24 + 60)[0]  # SizeOfHeaders, in PE32 and PE32+ alike
    table = pe + 24 + optsize
    out = []
    for i in range(count):
        name, vsize, _, rawsize = struct.unpack_from("<8sIII", d, table + 40 * i)
        out.append((name.rstrip(b"\0").decode(), rawsize, vsize))
    return out, headers, len(d)


def our_module(member):
    """app/, color/, dialog/ or runtime/ for one of our objects, by its source's name."""
    source = member[:-len(".obj")] if member.endswith(".obj") else member
    for module in ("app", "color", "dialog", "runtime"):
        if os.path.exists(os.path.join(ROOT, module, source)):
            return module + "/"
    # The embedded picker icon. The embedded window description's object has
    # the name of app/main_window.cpp's in the archive and counts with app/.
    return "generated"


# Libraries by archive name; what is not named here is an import library
# (stubs for a system DLL's functions).
LIBRARIES = {
    "libpng16.a": "libpng", "libexpat.a": "expat", "libz.a": "zlib",
    "libstdc++.a": "libstdc++", "libgcc.a": "libgcc", "libgcc_eh.a": "libgcc",
    "libpthread.a": "winpthreads", "libwinpthread.a": "winpthreads",
    "crt2.o": "C runtime", "crtbegin.o": "C runtime", "crtend.o": "C runtime",
    "libmingw32.a": "C runtime", "libmingwex.a": "C runtime", "libmoldname.a": "C runtime",
    "libmsvcrt.a": "C runtime",
}


def part_of(origin):
    """The part of the program an input section comes from."""
    m = re.match(r"^(.*?)(?:\((.*)\))?$", origin)
    path, member = m.group(1), m.group(2)
    base = os.path.basename(path)
    if member and member.endswith(".res"):
        return "resources"
    if base in ("libtintvane.a", "objects.a") and member:
        return "ours: " + our_module(member)
    if base in LIBRARIES:
        return LIBRARIES[base]
    if base.startswith("lib") and base.endswith(".a"):
        return "import stubs"
    return "linker"  # base relocations and the end of the import table


def read_map(path):
    """[(output section, input section, size, origin)] of every input section placed."""
    placed = []
    section = None
    pending = None
    with open(path, errors="replace") as f:
        lines = f.read().split("Linker script and memory map", 1)[1].splitlines()
    for line in lines:
        m = OUTPUT_SECTION.match(line)
        if m:
            section = m.group(1)
            pending = None
            continue
        if section is None:
            continue
        if pending is not None:
            c = CONTINUATION.match(line)
            pending_name, pending = pending, None
            if c:
                placed.append((section, pending_name, int(c.group(2), 16), c.group(3).strip()))
                continue
        m = INPUT_LINE.match(line)
        if m:
            name, size, origin = m.group(1), int(m.group(3), 16), m.group(4).strip()
            if name == "*fill*" or origin.startswith("="):
                continue
            placed.append((section, name, size, origin))
            continue
        m = INPUT_NAME_ONLY.match(line)
        if m and not m.group(1).startswith("*"):
            pending = m.group(1)
    return placed


def table(header, rows):
    out = ["| " + " | ".join(header) + " |", "|" + "|".join("---:" if i else "---" for i in range(len(header))) + "|"]
    out += ["| " + " | ".join(str(c) for c in row) + " |" for row in rows]
    return "\n".join(out)


def sizes(map_path):
    """({part: Counter(section: bytes)}, {object: Counter}, sections shown) of one link."""
    placed = read_map(map_path)
    kept = {s for s, _, _, _ in placed}
    shown = [s for s in SECTION_ORDER if s in kept]
    by_part = collections.defaultdict(collections.Counter)
    by_object = collections.defaultdict(collections.Counter)
    for section, _, size, origin in placed:
        if section not in shown:
            continue  # debugging sections, stripped from the shipped file
        part = part_of(origin)
        by_part[part][section] += size
        by_object["(linker: %s)" % origin if part == "linker" else re.sub(r"^.*/", "", origin)][section] += size
    return by_part, by_object, shown


def in_file(counter):
    """Bytes in the file: .bss takes none."""
    return sum(n for section, n in counter.items() if section != ".bss")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    parser.add_argument("map")
    parser.add_argument("--objects", type=int, default=0, help="also the N largest objects")
    parser.add_argument("--before", nargs=2, metavar=("EXE", "MAP"),
                        help="only the parts' totals, side by side with an earlier link's")
    args = parser.parse_args()

    _, _, total = pe_sections(args.exe)
    by_part, by_object, shown = sizes(args.map)
    if args.before:
        _, _, total_before = pe_sections(args.before[0])
        before, _, _ = sizes(args.before[1])
        parts = sorted(set(before) | set(by_part), key=lambda p: -in_file(before.get(p, {})))
        rows = [[p, in_file(before.get(p, {})), in_file(by_part.get(p, {})),
                 in_file(by_part.get(p, {})) - in_file(before.get(p, {}))] for p in parts]
        rows.append(["the file", total_before, total, total - total_before])
        print(table(["part", "before", "after", "change"], rows))
        return

    sections, headers, _ = pe_sections(args.exe)
    print("File: %d bytes (%.1f KiB); headers %d." % (total, total / 1024, headers))
    print()
    print(table(["section", "in the file", "in memory"], sections))
    print()
    rows = sorted(by_part.items(), key=lambda kv: -in_file(kv[1]))
    body = [[part] + [c[s] for s in shown] + [in_file(c)] for part, c in rows]
    body.append(["all"] + [sum(c[s] for _, c in rows) for s in shown] + [sum(in_file(c) for _, c in rows)])
    print(table(["part"] + shown + ["total in the file"], body))
    if args.objects:
        print()
        in_the_file = [s for s in shown if s != ".bss"]
        objects = sorted(by_object.items(), key=lambda kv: -in_file(kv[1]))[:args.objects]
        print(table(["object"] + in_the_file + ["total"],
                    [[o] + [c[s] for s in in_the_file] + [in_file(c)] for o, c in objects]))


if __name__ == "__main__":
    main()
