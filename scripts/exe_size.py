#!/usr/bin/env python3
"""What makes up ColorTintvane.exe: the bytes of each section of the file,
and the bytes each library and each of the program's own modules put into
them, read from the link map of the same link.
    exe_size.py EXE MAP [--objects N]
Prints Markdown tables: the sections of the file; the parts (our modules,
libpng, expat, zlib, libstdc++, libgcc, the mingw-w64 C runtime, import
stubs) by section; with --objects N, the N largest objects as well.
The map comes from the link of the exe with -Wl,-Map=FILE added (the size
target, `cmake --build build/win64 --target exe_size`, links one beside the
program with the same command and prints this)."""
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
    """[(name, bytes in the file, bytes in memory)] and the size of the headers."""
    with open(path, "rb") as f:
        d = f.read()
    pe = struct.unpack_from("<I", d, 0x3C)[0]
    _, count, _, _, _, optsize, _ = struct.unpack_from("<HHIIIHH", d, pe + 4)
    table = pe + 24 + optsize
    out = []
    for i in range(count):
        name, vsize, _, rawsize, rawptr = struct.unpack_from("<8sIIII", d, table + 40 * i)
        out.append((name.rstrip(b"\0").decode(), rawsize, vsize))
    first = min((struct.unpack_from("<I", d, table + 40 * i + 20)[0] for i in range(count)
                 if struct.unpack_from("<I", d, table + 40 * i + 20)[0]), default=len(d))
    return out, first, len(d)


def our_module(member):
    """app/, color/, dialog/ or runtime/ for one of our objects, by its source's name."""
    source = member[:-len(".obj")] if member.endswith(".obj") else member
    for module in ("app", "color", "dialog", "runtime"):
        if os.path.exists(os.path.join(ROOT, module, source)):
            return module + "/"
    return "generated"


def part_of(origin):
    """The part of the program an input file belongs to."""
    m = re.match(r"^(.*?)(?:\((.*)\))?$", origin)
    path, member = m.group(1), m.group(2)
    base = os.path.basename(path)
    if base in ("libtintvane.a", "objects.a") and member:
        return "ours: " + our_module(member)
    names = {
        "libpng16.a": "libpng", "libexpat.a": "expat", "libz.a": "zlib",
        "libstdc++.a": "libstdc++", "libsupc++.a": "libstdc++",
        "libgcc.a": "libgcc", "libgcc_eh.a": "libgcc",
        "libpthread.a": "winpthreads", "libwinpthread.a": "winpthreads",
    }
    if base in names:
        return names[base]
    if base in ("crt2.o", "crtbegin.o", "crtend.o", "libmingw32.a", "libmingwex.a", "libmoldname.a"):
        return "C runtime"
    if base == "libmsvcrt.a":
        # Import stubs for msvcrt.dll, with a few functions of its own.
        return "C runtime"
    if base.startswith("lib") and base.endswith(".a"):
        return "import stubs"
    if base.endswith(".res") or ".rc." in base:
        return "resources"
    return "other: " + base


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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    parser.add_argument("map")
    parser.add_argument("--objects", type=int, default=0)
    args = parser.parse_args()

    sections, headers, total = pe_sections(args.exe)
    print("File: %d bytes (%.1f KiB); headers %d." % (total, total / 1024, headers))
    print()
    print(table(["section", "in the file", "in memory"],
                [(n, raw, mem) for n, raw, mem in sections]))
    print()

    placed = read_map(args.map)
    kept = [s for s, _, _, _ in placed]
    shown = [s for s in SECTION_ORDER if s in kept]
    by_part = collections.defaultdict(collections.Counter)
    by_object = collections.defaultdict(collections.Counter)
    for section, _, size, origin in placed:
        if section not in shown:
            continue  # debugging sections, stripped from the shipped file
        by_part[part_of(origin)][section] += size
        obj = re.sub(r"^.*/", "", origin)
        by_object[obj][section] += size
    shown_by_size = [s for s in shown if s != ".bss"]
    rows = sorted(by_part.items(), key=lambda kv: -sum(kv[1][s] for s in shown_by_size))
    header = ["part"] + shown + ["total in the file"]
    body = [[part] + [c[s] for s in shown] + [sum(c[s] for s in shown_by_size)] for part, c in rows]
    body.append(["all"] + [sum(c[s] for _, c in rows) for s in shown] +
                [sum(sum(c[s] for s in shown_by_size) for _, c in rows)])
    print(table(header, body))
    if args.objects:
        print()
        objects = sorted(by_object.items(), key=lambda kv: -sum(kv[1][s] for s in shown_by_size))
        print(table(["object"] + shown_by_size + ["total"],
                    [[o] + [c[s] for s in shown_by_size] + [sum(c[s] for s in shown_by_size)]
                     for o, c in objects[:args.objects]]))


if __name__ == "__main__":
    main()
