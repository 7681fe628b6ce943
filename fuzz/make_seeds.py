#!/usr/bin/env python3
"""Writes the generated seed inputs of the fuzz targets into fuzz/corpus/:
    fuzz/make_seeds.py
settings/       XML texts of the settings record: compact as saved, pretty-
                printed, other number spellings, missing, repeated and foreign
                elements, broken text
settings_file/  whole settings files: the length prefix and a level-6 stream
image_decode/   PNG in every color type and bit depth, with transparency,
                interlaced, with every row filter, in several data chunks;
                BMP of 1, 4, 8, 24 and 32 bits, bottom-up and top-down, with
                bit fields and the longer headers
Hand-made seeds and inputs that once crashed a target live beside these and
are left alone. The output is the same on every run."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write(folder, name, data):
    path = os.path.join(HERE, "corpus", folder)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), "wb") as f:
        f.write(data)


def numbers(seed, count, mask):
    """A fixed xorshift sequence, masked."""
    out = []
    for _ in range(count):
        seed ^= (seed << 13) & 0xFFFFFFFF
        seed ^= seed >> 17
        seed ^= (seed << 5) & 0xFFFFFFFF
        out.append(seed & mask)
    return out


# -----------------------------------------------------------------------------
# Settings
# -----------------------------------------------------------------------------

FIELDS = ["CRC", "Color", "ColorFormat", "ColorFormatLCase", "CapturedImg", "WinX", "WinY",
          "WinTopmost", "WinExpanded", "Autocopy"]
MARKER = 1111638594


def settings_text(values, recent, captured, pretty=False, declaration=False):
    parts = []
    for name in FIELDS:
        parts.append(f"<{name}>{values.get(name, 0)}</{name}>")
    for name, items in (("ColorRecent", recent), ("CapturedImgData", captured)):
        inner = "".join(f"<element>{v}</element>" for v in items)
        parts.append(f"<{name}>{inner}</{name}>" if items else f"<{name}/>")
    joiner = "\n  " if pretty else ""
    text = "<CONFIG>" + joiner + joiner.join(parts) + ("\n" if pretty else "") + "</CONFIG>"
    if declaration:
        text = '<?xml version="1.0" encoding="UTF-8"?>\n' + text
    return text.encode()


def settings_file(text, prefix=None):
    length = len(text) if prefix is None else prefix
    return struct.pack("<q", length) + zlib.compress(text, 6)


def settings_seeds():
    signed = lambda v: v - (1 << 32) if v >= 1 << 31 else v
    saved = settings_text(
        {"CRC": MARKER, "Color": 0x3C2B1A, "ColorFormat": 3, "ColorFormatLCase": 1, "CapturedImg": 7,
         "WinX": -1200, "WinY": 2147483647, "WinTopmost": 255, "WinExpanded": 1, "Autocopy": 1},
        [v for v in numbers(7, 16, 0xFFFFFF)],
        [signed(v) for v in numbers(11, 651, 0xFFFFFFFF)])
    zero = settings_text({"CRC": MARKER}, [0] * 16, [0] * 651)
    short = settings_text({"CRC": MARKER, "Color": 255, "ColorFormat": 4, "WinX": -5},
                          numbers(3, 16, 0xFFFFFF), numbers(5, 12, 0xFFFFFF))
    seeds = {
        "saved.xml": saved,
        "zero.xml": zero,
        "short.xml": short,
        "pretty_declared.xml": settings_text({"CRC": MARKER, "Color": -1, "WinTopmost": 257},
                                             numbers(9, 3, 0xFF), [1, -2, 3], pretty=True,
                                             declaration=True),
        "spellings.xml": (b"<CONFIG><CRC>$42424242</CRC><Color> -%1010</Color>"
                          b"<ColorFormat>\n\t+4</ColorFormat><WinX>-2147483649</WinX>"
                          b"<WinY>99999999999999999999</WinY><Autocopy>$fF</Autocopy>"
                          b"<ColorFormatLCase>12abc</ColorFormatLCase></CONFIG>"),
        "elements.xml": (b"<config a=\"1\"><CRC>1111638594</CRC><CRC>5</CRC><color>1</color>"
                         b"<ColorRecent><element>1</element><x>9</x><element>2</element>"
                         b"<element><element>3</element></element>" + b"<element>4</element>" * 18 +
                         b"</ColorRecent><!-- note --><Color><![CDATA[77]]></Color>"
                         b"<WinX>&#45;3&amp;</WinX></config>"),
        "broken.xml": saved[:700],
        "doctype.xml": (b"<!DOCTYPE CONFIG [<!ENTITY n \"1111638594\">]>"
                        b"<CONFIG><CRC>&n;</CRC><Color>&n;</Color></CONFIG>"),
        "utf8.xml": "<CONFIG><CRC>1111638594</CRC><Colör>5</Colör><Color>\u0663</Color></CONFIG>".encode(),
    }
    for name, text in seeds.items():
        write("settings", name, text)
    write("settings_file", "saved.bin", settings_file(saved))
    write("settings_file", "zero.bin", settings_file(zero))
    write("settings_file", "short.bin", settings_file(short))
    write("settings_file", "high_prefix.bin", settings_file(short, len(short) | 1 << 40))
    write("settings_file", "long_prefix.bin", settings_file(short, len(short) + 1))
    write("settings_file", "stored_block.bin",
          struct.pack("<q", len(short)) + zlib.compress(short, 0))


# -----------------------------------------------------------------------------
# PNG
# -----------------------------------------------------------------------------

ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def pack_row(samples, depth):
    """Samples (already interleaved channels) of one row to bytes."""
    if depth == 16:
        return b"".join(struct.pack(">H", s) for s in samples)
    if depth == 8:
        return bytes(samples)
    out, bits, used = bytearray(), 0, 0
    for s in samples:
        bits = bits << depth | s
        used += depth
        if used == 8:
            out.append(bits)
            bits, used = 0, 0
    if used:
        out.append(bits << (8 - used))
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def filter_rows(rows, bpp, first_filter):
    out, previous = bytearray(), None
    for i, row in enumerate(rows):
        kind = (first_filter + i) % 5
        prior = previous if previous is not None else bytes(len(row))
        filtered = bytearray()
        for x, v in enumerate(row):
            a = row[x - bpp] if x >= bpp else 0
            b = prior[x]
            c = prior[x - bpp] if x >= bpp else 0
            predictor = [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]
            filtered.append((v - predictor) & 0xFF)
        out += bytes([kind]) + filtered
        previous = row
    return bytes(out)


def png(width, height, color, depth, interlaced=False, extra=b"", idat_pieces=1, first_filter=0):
    channels = CHANNELS[color]
    limit = (1 << depth) - 1
    if color == 3:
        limit = min(limit, 5)  # six palette entries
    pixels = [[numbers(x * 31 + y * 7 + 1, channels, 0xFFFF) for x in range(width)] for y in range(height)]
    pixels = [[[s % (limit + 1) for s in px] for px in row] for row in pixels]
    bpp = max(1, channels * depth // 8)

    def image_rows(xs, ys):
        return [pack_row([s for x in xs for s in pixels[y][x]], depth) for y in ys]

    if interlaced:
        raw = b""
        for x0, y0, dx, dy in ADAM7:
            xs, ys = list(range(x0, width, dx)), list(range(y0, height, dy))
            if xs and ys:
                raw += filter_rows(image_rows(xs, ys), bpp, first_filter)
    else:
        raw = filter_rows(image_rows(range(width), range(height)), bpp, first_filter)
    data = zlib.compress(raw, 9)
    header = struct.pack(">IIBBBBB", width, height, depth, color, 0, 0, 1 if interlaced else 0)
    body = chunk(b"IHDR", header)
    if color == 3:
        body += chunk(b"PLTE", bytes([0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 90, 60, 30]))
    body += extra
    step = -(-len(data) // idat_pieces)
    for i in range(0, len(data), step):
        body += chunk(b"IDAT", data[i:i + step])
    return b"\x89PNG\r\n\x1a\n" + body + chunk(b"IEND", b"")


def png_seeds():
    for depth in (1, 2, 4, 8, 16):
        write("image_decode", f"png_grey{depth}.png", png(5, 4, 0, depth, first_filter=depth))
    for depth in (1, 2, 4, 8):
        write("image_decode", f"png_palette{depth}.png", png(6, 3, 3, depth, first_filter=depth))
    for depth in (8, 16):
        write("image_decode", f"png_rgb{depth}.png", png(4, 5, 2, depth, first_filter=depth))
        write("image_decode", f"png_grey_alpha{depth}.png", png(3, 5, 4, depth, first_filter=depth + 1))
        write("image_decode", f"png_rgba{depth}.png", png(5, 5, 6, depth, first_filter=depth + 2))
    write("image_decode", "png_grey8_trns.png", png(4, 4, 0, 8, extra=chunk(b"tRNS", b"\x00\x03")))
    write("image_decode", "png_rgb16_trns.png",
          png(4, 4, 2, 16, extra=chunk(b"tRNS", struct.pack(">HHH", 1, 2, 3))))
    write("image_decode", "png_palette4_trns.png", png(7, 3, 3, 4, extra=chunk(b"tRNS", b"\x00\x80\xff")))
    # Adam7: 9 x 9 gives every pass pixels; 3 x 2 leaves some passes empty.
    write("image_decode", "png_interlaced_rgba8.png", png(9, 9, 6, 8, interlaced=True))
    write("image_decode", "png_interlaced_grey1.png", png(9, 9, 0, 1, interlaced=True))
    write("image_decode", "png_interlaced_palette4.png", png(9, 9, 3, 4, interlaced=True))
    write("image_decode", "png_interlaced_rgb16.png", png(3, 2, 2, 16, interlaced=True))
    ancillary = (chunk(b"gAMA", struct.pack(">I", 45455)) + chunk(b"sBIT", b"\x05\x06\x05") +
                 chunk(b"bKGD", struct.pack(">HHH", 0, 0, 0)) + chunk(b"tEXt", b"Comment\x00seed") +
                 chunk(b"pHYs", struct.pack(">IIB", 3780, 3780, 1)))
    write("image_decode", "png_rgb8_ancillary_split.png", png(6, 6, 2, 8, extra=ancillary, idat_pieces=3))


# -----------------------------------------------------------------------------
# BMP
# -----------------------------------------------------------------------------

def bmp(width, height, bits, top_down=False, header_size=40, bitfields=False, palette_used=0,
        alpha=False):
    colors = palette_used or (1 << bits if bits <= 8 else 0)
    palette = b"".join(bytes([i * 40 % 256, i * 90 % 256, i * 150 % 256, 0]) for i in range(colors))
    masks = struct.pack("<III", 0xFF0000, 0xFF00, 0xFF) if bitfields else b""
    stride = (width * bits + 31) // 32 * 4
    rows = b""
    for y in range(height):
        values = numbers(y * 13 + 5, width * 4, 0xFF)
        if bits <= 8:
            row = pack_row([v % colors for v in values[:width]], bits)
        elif bits == 24:
            row = bytes(values[:width * 3])
        else:
            row = bytes(v if (i % 4 != 3 or alpha) else 0 for i, v in enumerate(values))
        rows += row + bytes(stride - len(row))
    info = struct.pack("<IiiHHIIiiII", header_size, width, -height if top_down else height, 1, bits,
                       3 if bitfields else 0, len(rows), 2835, 2835, palette_used, 0)
    info += masks + bytes(max(0, header_size - 40 - len(masks)))
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + info + palette + rows


def bmp_seeds():
    write("image_decode", "bmp1.bmp", bmp(13, 3, 1))
    write("image_decode", "bmp4.bmp", bmp(7, 4, 4))
    write("image_decode", "bmp4_palette_used.bmp", bmp(5, 2, 4, palette_used=3))
    write("image_decode", "bmp8.bmp", bmp(5, 3, 8, palette_used=20))
    write("image_decode", "bmp24_odd_width.bmp", bmp(3, 3, 24))
    write("image_decode", "bmp24_top_down.bmp", bmp(5, 2, 24, top_down=True))
    write("image_decode", "bmp32_no_alpha.bmp", bmp(4, 3, 32))
    write("image_decode", "bmp32_alpha.bmp", bmp(4, 3, 32, alpha=True))
    write("image_decode", "bmp32_bitfields.bmp", bmp(3, 3, 32, bitfields=True))
    write("image_decode", "bmp24_v4_header.bmp", bmp(3, 2, 24, header_size=108))
    write("image_decode", "bmp32_v5_header.bmp", bmp(2, 2, 32, header_size=124, bitfields=True,
                                                      alpha=True))


if __name__ == "__main__":
    settings_seeds()
    png_seeds()
    bmp_seeds()
