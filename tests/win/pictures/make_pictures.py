#!/usr/bin/env python3
"""Makes the resources of the picture tests (run once; the files are kept in
the repository beside this script, in images/).

JPEG pictures, one flat colour each so that a fitted copy can be checked at
any point:
  wide_640x480.jpg    #3060c0   fitted into 320 x 320 gives 320 x 240
  narrow_360x480.jpg  #c09020   fitted into 640 x 480 keeps its size
  flat_100x50.jpg     #30a040   fitted into 400 x 400 is enlarged to 400 x 200
  plain_64x48.jpg     #a040a0   stored as it is under id 10000
  scrambled_48x64.bin #c03030   a 48 x 64 JPEG with the two halves of every
                                byte exchanged, as stored under ids above 10000

PNG files made by hand (zlib only), with the pixels the tests read back:
  rgb_4x2.png         truecolour, row 0 Sub-filtered, row 1 Paeth-filtered
  indexed2_3x2.png    2-bit palette indices, row 1 Up-filtered
  grey2_4x1.png       2-bit grey samples 0 to 3
  rgba_2x2.png        truecolour with alpha, alpha 255 and 0 side by side
  adam7_3x3.png       interlaced truecolour, nine different pixels
  bad_zlib.png        a good header whose image data is not a zlib stream
  filter5.png         a good zlib stream whose first row has filter type 5
  not_png.bin         text, not a PNG
  garbage.bin         bytes of no picture format

GIF and BMP pictures whose header sizes are checked against the sizes the
picture service gives:
  screen_40x30.gif        one frame covering the logical screen
  bottom_up_24x18.bmp     info header, rows bottom-up
  top_down_20x10.bmp      info header, negative height: rows top-down
  core_header_12x9.bmp    the old 12-byte core header

A GIF with a transparent colour, drawn on the view's background like PNG
transparency:
  clear_40x40.gif     transparent, with an opaque #2050c0 square of 20 x 20
                      in the middle (10 to 29 both ways)

Pictures so thin that fitting them into a box leaves a side of 0:
  thin_500x2.bmp      an "IMG" picture
  thin_420x1.png      a raw-data PNG, 8-bit grey
"""
import os
import struct
import subprocess
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "images")


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def jpeg(name, size, colour):
    subprocess.run(["convert", "-size", size, "xc:" + colour, "-strip", "-quality", "60",
                    "jpeg:" + os.path.join(HERE, name)], check=True)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, depth, colour_type, raw, interlace=0, palette=None, zlib_data=None):
    header = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, interlace)
    chunks = chunk(b"IHDR", header)
    if palette:
        chunks += chunk(b"PLTE", bytes(c for rgb in palette for c in rgb))
    chunks += chunk(b"IDAT", zlib_data if zlib_data is not None else zlib.compress(raw, 9))
    chunks += chunk(b"IEND", b"")
    return b"\x89PNG\r\n\x1a\n" + chunks


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_row(kind, row, previous, distance):
    """The row as stored with filter kind (0 None, 1 Sub, 2 Up, 4 Paeth)."""
    out = bytearray([kind])
    for i, x in enumerate(row):
        a = row[i - distance] if i >= distance else 0
        b = previous[i] if previous else 0
        c = previous[i - distance] if previous and i >= distance else 0
        predictor = {0: 0, 1: a, 2: b, 4: paeth(a, b, c)}[kind]
        out.append((x - predictor) & 0xFF)
    return bytes(out)


def convert(name, *arguments, output_format=""):
    subprocess.run(["convert", *arguments, output_format + os.path.join(HERE, name)], check=True)


def bmp_top_down(name, width, height, colour):
    """32-bit BI_RGB with a negative height, which ImageMagick does not write."""
    pixels = bytes(colour[::-1] + (0,)) * (width * height)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    write(name, header + info + pixels)


def header_samples():
    convert("screen_40x30.gif", "-size", "40x30", "xc:#3060c0")
    convert("bottom_up_24x18.bmp", "-size", "24x18", "xc:#30a040", "-type", "TrueColor",
            output_format="BMP3:")
    bmp_top_down("top_down_20x10.bmp", 20, 10, (160, 64, 160))
    convert("core_header_12x9.bmp", "-size", "12x9", "xc:#c09020", "-type", "TrueColor",
            output_format="BMP2:")


def rgb_rows(pixels):
    return [bytes(c for p in row for c in p) for row in pixels]


def main():
    os.makedirs(HERE, exist_ok=True)
    jpeg("wide_640x480.jpg", "640x480", "#3060c0")
    jpeg("narrow_360x480.jpg", "360x480", "#c09020")
    jpeg("flat_100x50.jpg", "100x50", "#30a040")
    jpeg("plain_64x48.jpg", "64x48", "#a040a0")
    jpeg("scrambled.tmp", "48x64", "#c03030")
    with open(os.path.join(HERE, "scrambled.tmp"), "rb") as f:
        plain = f.read()
    os.remove(os.path.join(HERE, "scrambled.tmp"))
    write("scrambled_48x64.bin", bytes(((b << 4) | (b >> 4)) & 0xFF for b in plain))

    rgb = [[(255, 0, 0), (0, 255, 0), (0, 0, 255), (200, 100, 50)],
           [(255, 255, 255), (0, 0, 0), (10, 20, 30), (128, 128, 128)]]
    rows = rgb_rows(rgb)
    write("rgb_4x2.png", png(4, 2, 8, 2, filter_row(1, rows[0], None, 3) +
                             filter_row(4, rows[1], rows[0], 3)))

    # Indices 0 1 2 / 3 2 1, four 2-bit samples to the byte, high bits first.
    palette = [(255, 0, 0), (0, 128, 0), (0, 0, 255), (255, 255, 0)]
    index_rows = [bytes([0b00011000]), bytes([0b11100100])]
    write("indexed2_3x2.png", png(3, 2, 2, 3, filter_row(0, index_rows[0], None, 1) +
                                  filter_row(2, index_rows[1], index_rows[0], 1),
                                  palette=palette))

    write("grey2_4x1.png", png(4, 1, 2, 0, b"\x00" + bytes([0b00011011])))

    rgba = [[(40, 80, 120, 255), (200, 150, 100, 0)],
            [(0, 0, 0, 0), (255, 255, 255, 128)]]
    write("rgba_2x2.png", png(2, 2, 8, 6, b"".join(b"\x00" + r for r in rgb_rows(rgba))))

    # Adam7 on 3 x 3: pass 1 has (0,0); 4 has (2,0); 5 has (0,2) (2,2);
    # 6 has (1,0) and (1,2) in two rows; 7 has row 1 whole.
    nine = [[(20 * (3 * y + x) + 10, 250 - 25 * (3 * y + x), 30 * x + 90 * y) for x in range(3)]
            for y in range(3)]
    passes = [[[(0, 0)]], [[(2, 0)]], [[(0, 2), (2, 2)]], [[(1, 0)], [(1, 2)]],
              [[(0, 1), (1, 1), (2, 1)]]]
    raw = b"".join(b"\x00" + bytes(c for (x, y) in row for c in nine[y][x])
                   for rows_of_pass in passes for row in rows_of_pass)
    write("adam7_3x3.png", png(3, 3, 8, 2, raw, interlace=1))

    # Header 78 9C, then a final block of the reserved type 3.
    write("bad_zlib.png", png(4, 2, 8, 2, None, zlib_data=b"\x78\x9c\xff\xff\xff\xff\xff\xff"))

    write("filter5.png", png(4, 2, 8, 2, b"".join(b"\x05" + r for r in rows)))

    write("not_png.bin", b"This resource holds plain text, not a PNG picture.\r\n")

    # A linear congruential sequence: no picture format's signature.
    seed, garbage = 12345, bytearray()
    for _ in range(96):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        garbage.append((seed >> 16) & 0xFF)
    write("garbage.bin", bytes(garbage))

    header_samples()
    thin_samples()
    convert("clear_40x40.gif", "-size", "40x40", "xc:none", "-fill", "#2050c0", "-draw",
            "rectangle 10,10 29,29")


def thin_samples():
    bmp_top_down("thin_500x2.bmp", 500, 2, (48, 96, 192))
    write("thin_420x1.png", png(420, 1, 8, 0, b"\x00" + bytes(420)))


if __name__ == "__main__":
    main()
