#!/usr/bin/env python3
"""Draws the icon of Vidod Atelier: a picture (sky, sun, hills) on a blue
tile, with a pencil across its corner.

Writes atelier/atelier.ico with 16, 24, 32, 48 and 64 pixel images as 32-bit
bitmaps and a 256 pixel image as PNG. Each size is drawn at four times its
size and averaged down. Running it again gives the same bytes, so the
committed icon can be checked.
"""
import math
import os
import struct
import zlib

SIZES = (16, 24, 32, 48, 64, 256)
SUPERSAMPLE = 4

TILE = (46, 109, 180)
FRAME = (255, 255, 255)
SKY = (150, 205, 245)
SUN = (255, 205, 60)
HILL_FAR = (90, 170, 90)
HILL_NEAR = (50, 130, 60)
PENCIL = (245, 150, 40)
PENCIL_TIP = (60, 45, 35)


def inside_rounded(x, y, left, top, right, bottom, radius):
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def colour_at(u, v):
    """The colour at (u, v) in [0, 1) squared, or None outside the icon."""
    if not inside_rounded(u, v, 0.02, 0.02, 0.98, 0.98, 0.18):
        return None
    colour = TILE
    if 0.14 <= u <= 0.86 and 0.18 <= v <= 0.78:
        colour = FRAME
        if 0.19 <= u <= 0.81 and 0.23 <= v <= 0.73:
            colour = SKY
            if (u - 0.66) ** 2 + (v - 0.36) ** 2 <= 0.075 ** 2:
                colour = SUN
            if v >= 0.62 - 0.18 * math.exp(-((u - 0.35) / 0.17) ** 2):
                colour = HILL_FAR
            if v >= 0.70 - 0.12 * math.exp(-((u - 0.72) / 0.2) ** 2):
                colour = HILL_NEAR
    # The pencil: a band from the lower right towards the centre.
    along = (u - 0.93) * -0.7071 + (v - 0.93) * -0.7071
    across = (u - 0.93) * 0.7071 + (v - 0.93) * -0.7071
    if 0.0 <= along <= 0.42 and abs(across) <= 0.06:
        colour = PENCIL
        if along >= 0.34 and abs(across) <= 0.06 * (0.42 - along) / 0.08:
            colour = PENCIL_TIP
    return colour


def draw(size):
    """RGBA rows, top first."""
    grid = size * SUPERSAMPLE
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            r = g = b = a = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    colour = colour_at((x * SUPERSAMPLE + sx + 0.5) / grid, (y * SUPERSAMPLE + sy + 0.5) / grid)
                    if colour is None:
                        continue
                    r += colour[0]
                    g += colour[1]
                    b += colour[2]
                    a += 255
            n = SUPERSAMPLE * SUPERSAMPLE
            covered = a // 255
            if covered:
                row.append((r // covered, g // covered, b // covered, a // n))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png(size, rows):
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def bitmap(size, rows):
    """A 32-bit icon image: header of twice the height, BGRA rows bottom first, then the mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + pixels + mask


def main():
    images = []
    for size in SIZES:
        rows = draw(size)
        images.append((size, png(size, rows) if size == 256 else bitmap(size, rows)))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "atelier.ico")
    with open(out, "wb") as handle:
        handle.write(directory + entries + b"".join(data for _, data in images))


if __name__ == "__main__":
    main()
