#!/usr/bin/env python3
"""Writes resources/picker_icon.png, the picker button's icon: a 31 x 31 RGBA
cross-hair, thin grey lines through the centre broken by a gap around a small
plus sign, on a faint translucent white halo."""
import os
import struct
import zlib

SIZE, CENTRE = 31, 15
GREY = (72, 72, 72)


def ink():
    """The set of pixels the grey lines and the plus sign cover."""
    pixels = set()
    for t in list(range(2, 11)) + list(range(20, 29)):  # the broken lines
        pixels.add((CENTRE, t))
        pixels.add((t, CENTRE))
    for t in range(CENTRE - 2, CENTRE + 3):  # the plus sign
        pixels.add((CENTRE, t))
        pixels.add((t, CENTRE))
    return pixels


def rgba():
    lines = ink()
    rows = []
    for y in range(SIZE):
        row = bytearray()
        for x in range(SIZE):
            if (x, y) in lines:
                row += bytes(GREY + (255,))
                continue
            near = min((max(abs(x - lx), abs(y - ly)) for lx, ly in lines), default=99)
            alpha = {1: 120, 2: 48}.get(near, 0)
            row += bytes((255, 255, 255, alpha))
        rows.append(bytes(row))
    return rows


def png(rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "picker_icon.png")
    with open(out, "wb") as f:
        f.write(png(rgba()))
