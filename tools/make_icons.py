#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files into res/, and the browser extension's
toolbar icons as .png files into extension/icons/.

The art is simple geometry (a globe behind a magnifying glass), drawn in code so the
icons can be rebuilt and changed without an image editor. Run: python3 tools/make_icons.py
"""
import math
import os
import struct
import zlib

RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
EXTENSION_ICONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "extension", "icons")


def draw(size, hot):
    """Returns size*size RGBA tuples: a blue globe with a lens; hot icons are brighter."""
    px = []
    s = size / 16.0
    gx, gy, gr = 6.5 * s, 6.5 * s, 5.6 * s          # globe
    lx, ly, lr = 9.5 * s, 9.5 * s, 3.2 * s          # lens
    for y in range(size):
        for x in range(size):
            cx, cy = x + 0.5, y + 0.5
            c = (0, 0, 0, 0)
            dg = math.hypot(cx - gx, cy - gy)
            if dg <= gr:
                base = (40, 110, 200) if not hot else (60, 150, 240)
                # meridian and equator lines
                if abs(cy - gy) < 0.45 * s or abs(cx - gx) < 0.45 * s or abs(dg - gr * 0.55) < 0.4 * s:
                    base = (200, 225, 250)
                c = base + (255,)
            if dg > gr - 0.8 * s and dg <= gr:
                c = (20, 60, 120, 255)
            # handle from the lens towards the lower right
            t = ((cx - lx) + (cy - ly)) / 2.0
            off = abs((cx - lx) - (cy - ly)) / math.sqrt(2)
            if lr * 0.7 < t * math.sqrt(2) <= lr + 4.2 * s and off < 0.9 * s:
                c = (90, 60, 30, 255) if not hot else (150, 100, 40, 255)
            dl = math.hypot(cx - lx, cy - ly)
            if dl <= lr:
                c = (235, 245, 255, 255) if dl < lr - 0.9 * s else (50, 50, 50, 255)
            px.append(c)
    return px


def palette_of(pixels):
    colours = sorted({p[:3] for p in pixels if p[3]})
    assert len(colours) <= 255
    return [(0, 0, 0)] + colours


def dib(size, pixels, bpp):
    """A BITMAPINFOHEADER image with XOR and AND masks, as an .ico entry stores it."""
    rows_xor = []
    if bpp == 32:
        for y in reversed(range(size)):
            row = b"".join(struct.pack("<BBBB", b, g, r, a) for (r, g, b, a) in pixels[y * size:(y + 1) * size])
            rows_xor.append(row)
        pal = b""
    else:
        pal_list = palette_of(pixels)
        if bpp == 4:
            assert len(pal_list) <= 16, len(pal_list)
        ncol = 1 << bpp
        pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in pal_list)
        pal += b"\0\0\0\0" * (ncol - len(pal_list))
        index = {c: i for i, c in enumerate(pal_list)}
        for y in reversed(range(size)):
            idx = [index[p[:3]] if p[3] else 0 for p in pixels[y * size:(y + 1) * size]]
            if bpp == 8:
                row = bytes(idx)
            else:
                row = bytes((idx[i] << 4) | (idx[i + 1] if i + 1 < size else 0) for i in range(0, size, 2))
            row += b"\0" * ((-len(row)) % 4)
            rows_xor.append(row)
    rows_and = []
    for y in reversed(range(size)):
        bits = 0
        row = bytearray()
        for x in range(size):
            bits = (bits << 1) | (0 if pixels[y * size + x][3] else 1)
            if x % 8 == 7:
                row.append(bits)
                bits = 0
        if size % 8:
            row.append(bits << (8 - size % 8))
        row += b"\0" * ((-len(row)) % 4)
        rows_and.append(bytes(row))
    xor = b"".join(rows_xor)
    andm = b"".join(rows_and)
    ncolours = 0 if bpp == 32 else (1 << bpp)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, len(xor) + len(andm), 0, 0, ncolours, 0)
    return header + pal + xor + andm


def quantise16(pixels):
    """Maps colours onto a small set so a 4-bit image can hold them."""
    out = []
    for (r, g, b, a) in pixels:
        out.append(((r // 64) * 85, (g // 64) * 85, (b // 64) * 85, a))
    return out


def write_ico(name, images):
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for size, bpp, pixels in images:
        blob = dib(size, pixels, bpp)
        colours = 16 if bpp == 4 else 0
        entries.append(struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(os.path.join(RES, name), "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs))


def write_png(name, size, pixels):
    """An 8-bit RGBA PNG, no filtering, maximum compression: the same bytes on every run."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\0" + bytes(v for p in pixels[y * size:(y + 1) * size] for v in p) for y in range(size))
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")
    os.makedirs(EXTENSION_ICONS, exist_ok=True)
    with open(os.path.join(EXTENSION_ICONS, name), "wb") as f:
        f.write(png)


def main():
    write_ico("lviehlp.ico", [(16, 8, draw(16, False)), (32, 8, draw(32, False))])
    write_ico("wndicon.ico", [(16, 4, quantise16(draw(16, False))), (16, 8, draw(16, False))])
    # Toolbar icons: 0/1 normal and hot for older browsers, 2/3 for newer ones.
    write_ico("button0.ico", [(16, 8, draw(16, False)), (20, 8, draw(20, False))])
    write_ico("button1.ico", [(16, 8, draw(16, True)), (20, 8, draw(20, True))])
    write_ico("button2.ico", [(16, 32, draw(16, False)), (20, 32, draw(20, False)), (24, 32, draw(24, False))])
    write_ico("button3.ico", [(16, 32, draw(16, True)), (20, 32, draw(20, True)), (24, 32, draw(24, True))])
    # The browser extension's button and its pages in the extensions list.
    for size in (16, 32, 48, 128):
        write_png("lorvane-%d.png" % size, size, draw(size, False))


if __name__ == "__main__":
    main()
