#!/usr/bin/env python3
"""Draws the pointing-hand cursor of the player's labels and links.

Writes res/hand.png (32 x 32, RGBA) from the picture below and, when icotool
is present, res/hand.cur with the hot spot at the tip of the finger. Running it
again gives the same bytes, so the committed cursor can be checked.
"""
import os
import struct
import subprocess
import sys
import zlib

# '#' outline (black), '.' fill (white), anything else transparent.
PICTURE = """
      ##
     #..#
     #..#
     #..#
     #..#
     #..###
     #..#..###
     #..#..#..##
  ## #..#..#..#.#
 #..##........#..#
 #...#...........#
  #..#...........#
  #..............#
   #.............#
   #............#
    #...........#
    #..........#
     #.........#
     #........#
      #.......#
      #.......#
      #########
"""

HOT_SPOT = (7, 0)
SIZE = 32


def rows():
    lines = PICTURE.strip("\n").split("\n")
    for y in range(SIZE):
        line = lines[y] if y < len(lines) else ""
        row = bytearray()
        for x in range(SIZE):
            c = line[x] if x < len(line) else " "
            if c == "#":
                row += bytes((0, 0, 0, 255))
            elif c == ".":
                row += bytes((255, 255, 255, 255))
            else:
                row += bytes((0, 0, 0, 0))
        yield bytes(row)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_bytes():
    raw = b"".join(b"\x00" + r for r in rows())
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    png = os.path.join(here, "hand.png")
    with open(png, "wb") as f:
        f.write(png_bytes())
    cur = os.path.join(here, "hand.cur")
    try:
        subprocess.run(["icotool", "-c", "--cursor", "-X", str(HOT_SPOT[0]), "-Y", str(HOT_SPOT[1]),
                        "-o", cur, png], check=True)
    except FileNotFoundError:
        print("icotool missing: only hand.png written", file=sys.stderr)


if __name__ == "__main__":
    main()
