#!/usr/bin/env python3
"""Writes the ActiveX library's pictures: the property page's preview pair, 120 x 90 in
256 colours (an evening and a night over the same hills: 101 from, 102 to), and the
control's 16 x 15, 16-colour toolbox bitmap (a picture half wiped into another).
Run once; the results are committed.
Usage: tools/make-page-pictures.py [activex/res]"""
import math
import os
import struct
import sys

W, H = 120, 90
HORIZON = 60


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def hills(x):
    """Heights of the far and the near hill line at column x."""
    far = 58 - 9 * math.sin(x / 17.0) - 4 * math.sin(x / 7.0 + 1)
    near = 74 - 7 * math.sin(x / 23.0 + 2) - 3 * math.sin(x / 9.0)
    return far, near


def scene(sky_top, sky_bottom, far_colour, near_colour, extra):
    pixels = []
    for y in range(H):
        row = []
        for x in range(W):
            far, near = hills(x)
            if y >= near:
                c = near_colour
            elif y >= far:
                c = far_colour
            else:
                c = extra(x, y) or lerp(sky_top, sky_bottom, min(y, HORIZON) / HORIZON)
            row.append(c)
        pixels.append(row)
    return pixels


def evening(x, y):
    d = math.hypot(x - 60, y - 50)
    if d < 12:
        return (255, 236, 150)
    if d < 16:
        return (255, 204, 96)
    return None


def night(x, y):
    if math.hypot(x - 88, y - 22) < 11 and math.hypot(x - 83, y - 18) >= 10:
        return (240, 236, 200)  # a crescent moon
    seed = (x * 7919 + y * 104729) % 997
    if y < 50 and seed < 5:
        return (255, 255, 255) if seed < 2 else (170, 180, 220)
    return None


def write_bmp(path, pixels, palette, bits):
    height, width = len(pixels), len(pixels[0])
    index = {c: i for i, c in enumerate(palette)}
    stride = (width * bits + 31) // 32 * 4
    data = b""
    for row in reversed(pixels):
        line = bytearray(stride)
        for x, c in enumerate(row):
            i = index[c]
            if bits == 8:
                line[x] = i
            else:
                line[x // 2] |= i << (4 if x % 2 == 0 else 0)
        data += bytes(line)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data), 2835, 2835, len(palette), 0)
    with open(path, "wb") as f:
        f.write(header + info + table + data)


def palette_of(pixels, size):
    colours = sorted({c for row in pixels for c in row})
    assert len(colours) <= size, len(colours)
    return colours + [(0, 0, 0)] * (size - len(colours))


# The 16 colours of a 4-bit picture, in the system's order.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]
# '.' silver (the background), 'k' black frame, 'b' blue, 'w' white sky, 'y' yellow, 'r' red,
# 'g' green, 'n' navy: a landscape on the left wiped by a sunny picture from the right.
TOOLBOX = [
    "................",
    "kkkkkkkkkkkkkkkk",
    "kwwwwwwwwyyyyyyk",
    "kwwwwwwwwyyyrryk",
    "kwwwwwwwwyyrrrrk",
    "kwwbbwwwwyyrrrrk",
    "kwbbbbwwwyyyrryk",
    "kbbbbbbwwyyyyyyk",
    "kggbbbbbwgggyyyk",
    "kgggggbbwggggggk",
    "kggggggggggggggk",
    "knnnnnnnwnnnnnnk",
    "kkkkkkkkkkkkkkkk",
    "................",
    "................",
]
TOOLBOX_COLOURS = {".": (192, 192, 192), "k": (0, 0, 0), "b": (0, 0, 255), "w": (255, 255, 255),
                   "y": (255, 255, 0), "r": (255, 0, 0), "g": (0, 128, 0), "n": (0, 0, 128)}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "activex/res"
    os.makedirs(out, exist_ok=True)
    from_picture = scene((48, 32, 96), (250, 156, 72), (104, 56, 88), (56, 32, 64), evening)
    to_picture = scene((8, 12, 40), (40, 64, 124), (24, 44, 60), (12, 26, 34), night)
    for name, pixels in (("From.bmp", from_picture), ("To.bmp", to_picture)):
        write_bmp(os.path.join(out, name), pixels, palette_of(pixels, 256), 8)
    toolbox = [[TOOLBOX_COLOURS[ch] for ch in row] for row in TOOLBOX]
    write_bmp(os.path.join(out, "Toolbox.bmp"), toolbox, VGA, 4)


if __name__ == "__main__":
    main()
