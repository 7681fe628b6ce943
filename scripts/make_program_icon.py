#!/usr/bin/env python3
"""Writes resources/ColorTintvane.ico, the program's own icon: a colour swatch
with the picker's cross-hair over its top right corner, in 16, 20, 24, 32, 40,
48, 64 and 256 pixel images (the sizes Windows asks for at 100 % to 200 %).

Every length is snapped to whole pixels for each size, so the small images
stay crisp: lines are one or more whole pixels wide, edges fall on pixel
edges. Curves (the swatch's rounded corners, the ring) are smoothed by
sampling each pixel 8 x 8 times and appear from 32 pixels up. The images up
up to 32 pixels are stored as 32-bit bitmaps with their mask, the larger ones
as PNG, which takes a tenth of the room."""
import math
import os
import struct
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
INK = (52, 52, 56)            # the cross-hair and the swatch's edge
HALO = (255, 255, 255)        # around the cross-hair, so it reads on any colour
SWATCH_TOP = (255, 138, 46)   # the swatch, lighter at the top left ...
SWATCH_BOTTOM = (214, 62, 38)  # ... darker at the bottom right


def snap(v):
    return math.floor(v + 0.5)


def geometry(size):
    """The shapes of one image in pixel coordinates, snapped to its grid."""
    u = size / 16
    g = {}
    # The swatch: a square in the lower left, its edge `edge` pixels wide.
    g["swatch"] = (snap(0.5 * u), snap(5.5 * u), snap(11.5 * u), snap(16 * u) - (1 if size < 32 else snap(0.5 * u)))
    g["edge"] = max(1, snap(0.7 * u))
    g["corner"] = 0 if size < 32 else 1.6 * u
    # The cross-hair: lines `line` pixels wide through a centre over the
    # swatch's top right corner, centred on a pixel (odd widths) or on a
    # pixel edge (even widths), broken by a gap around a centre dot.
    line = max(1, snap(0.75 * u))
    g["line"] = line
    cx = snap(10.5 * u - line / 2) + line / 2
    cy = snap(5.5 * u - line / 2) + line / 2
    g["centre"] = (cx, cy)
    g["gap"] = line / 2 + max(1, snap(1.1 * u))
    g["reach"] = 5.5 * u
    g["halo"] = max(1, snap(0.4 * u))
    g["ring"] = 3.4 * u if size >= 32 else 0
    return g


def in_rounded_box(x, y, box, radius):
    x0, y0, x1, y1 = box
    if not (x0 <= x < x1 and y0 <= y < y1):
        return False
    if radius <= 0:
        return True
    nx = min(max(x, x0 + radius), x1 - radius)
    ny = min(max(y, y0 + radius), y1 - radius)
    return (x - nx) ** 2 + (y - ny) ** 2 <= radius * radius


def cross_ink(x, y, g, grow=0.0):
    """Whether (x, y) lies on the cross-hair, its strokes widened by `grow`."""
    cx, cy = g["centre"]
    half = g["line"] / 2 + grow
    dx, dy = abs(x - cx), abs(y - cy)
    gap, reach = g["gap"] - grow, g["reach"] + grow
    if dx < half and gap <= dy < reach:
        return True
    if dy < half and gap <= dx < reach:
        return True
    if dx < half and dy < half:  # the centre dot
        return True
    if g["ring"]:
        r = math.hypot(dx, dy)
        if abs(r - g["ring"]) < half:
            return True
    return False


def pixel_colour(x, y, g, size):
    """Straight-alpha RGBA of one sample point, layer over layer."""
    colour, alpha = (0, 0, 0), 0.0

    def over(c, a):
        nonlocal colour, alpha
        out = a + alpha * (1 - a)
        if out > 0:
            colour = tuple((c[i] * a + colour[i] * alpha * (1 - a)) / out for i in range(3))
        alpha = out

    box = g["swatch"]
    if in_rounded_box(x, y, box, g["corner"]):
        e = g["edge"]
        inner = (box[0] + e, box[1] + e, box[2] - e, box[3] - e)
        if in_rounded_box(x, y, inner, max(0.0, g["corner"] - e)):
            t = ((x - inner[0]) + (y - inner[1])) / ((inner[2] - inner[0]) + (inner[3] - inner[1]))
            over(tuple(SWATCH_TOP[i] + (SWATCH_BOTTOM[i] - SWATCH_TOP[i]) * t for i in range(3)), 1.0)
        else:
            over(INK, 1.0)
    if cross_ink(x, y, g, g["halo"]):
        over(HALO, 0.9)
    if cross_ink(x, y, g):
        over(INK, 1.0)
    return colour, alpha


def render(size):
    """Rows of straight-alpha RGBA bytes, top row first."""
    g = geometry(size)
    n = 8 if size <= 64 else 4
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = gr = b = a = 0.0
            for sy in range(n):
                for sx in range(n):
                    (cr, cg, cb), ca = pixel_colour(px + (sx + 0.5) / n, py + (sy + 0.5) / n, g, size)
                    r, gr, b, a = r + cr * ca, gr + cg * ca, b + cb * ca, a + ca
            if a > 0:
                row += bytes((snap(r / a), snap(gr / a), snap(b / a), snap(255 * a / (n * n))))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(size, rows):
    """A 32-bit icon bitmap: header of double height, BGRA rows bottom up,
    then the 1-bit mask (set where the image is clear), rows padded to 32 bits."""
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(row[i + k] for i in range(0, len(row), 4) for k in (2, 1, 0, 3)) for row in reversed(rows))
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x in range(size):
            if row[4 * x + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def ico(images):
    head = struct.pack("<HHH", 0, 1, len(images))
    entries, offset = b"", 6 + 16 * len(images)
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return head + entries + b"".join(data for _, data in images)


if __name__ == "__main__":
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png(size, rows) if size > 32 else dib(size, rows)))
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "ColorTintvane.ico")
    with open(out, "wb") as f:
        f.write(ico(images))
