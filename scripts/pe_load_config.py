#!/usr/bin/env python3
"""Enters the program's load configuration in its header: data directory 10
gets the address of the structure the code names _load_config_used, found
in the linker's map, and the size its first field gives. This linker leaves
the entry empty. The header's checksum is made again when it was set.
    pe_load_config.py PROGRAM.exe PROGRAM.map"""
import re
import struct
import sys

LOAD_CONFIG_DIRECTORY = 10


def main(exe, map_file):
    with open(map_file, encoding="utf-8", errors="replace") as f:
        found = re.findall(r"^\s+0x([0-9a-fA-F]+)\s+_load_config_used\s*$", f.read(), re.M)
    if len(found) != 1:
        sys.exit(f"{map_file}: _load_config_used found {len(found)} times, not once")
    address = int(found[0], 16)

    with open(exe, "rb") as f:
        data = bytearray(f.read())
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"{exe}: not a PE file")
    nsections, optsize = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    opt = pe + 24
    plus = struct.unpack_from("<H", data, opt)[0] == 0x20B
    image_base = struct.unpack_from("<Q", data, opt + 24)[0] if plus else struct.unpack_from("<I", data, opt + 28)[0]
    checksum_at = opt + 64
    dirs = opt + (112 if plus else 96)
    rva = address - image_base

    offset = None
    for i in range(nsections):
        vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", data, opt + optsize + 40 * i + 8)
        if vaddr <= rva < vaddr + min(vsize, rawsize):
            offset = rva - vaddr + rawptr
    if offset is None:
        sys.exit(f"{exe}: _load_config_used at {address:#x} lies in no section's data")
    size = struct.unpack_from("<I", data, offset)[0]
    struct.pack_into("<II", data, dirs + 8 * LOAD_CONFIG_DIRECTORY, rva, size)

    if struct.unpack_from("<I", data, checksum_at)[0]:
        struct.pack_into("<I", data, checksum_at, pe_checksum(data, checksum_at))
    with open(exe, "wb") as f:
        f.write(data)


def pe_checksum(data, checksum_at):
    """The header checksum: 16-bit words added with their carries folded
    back, the checksum field itself counted as 0, plus the file's length."""
    padded = bytes(data) + b"\0" * (len(data) % 2)
    words = list(struct.unpack(f"<{len(padded) // 2}H", padded))
    words[checksum_at // 2] = words[checksum_at // 2 + 1] = 0
    total = 0
    for w in words:
        total += w
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


if __name__ == "__main__":
    main(*sys.argv[1:3])
