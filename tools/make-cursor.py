#!/usr/bin/env python3
"""Writes the demo's "HAND" cursor: a 32 x 32 monochrome pointing hand whose hot spot,
(5, 0), is the tip of the index finger. Run once; the result is committed.
Usage: tools/make-cursor.py [demo/res/hand.cur]"""
import struct
import sys

# '#' black, '.' white, anything else transparent; rows from the top.
ART = [
    "     ##",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..#",
    "    #..###",
    "    #..#..###",
    "    #..#..#..##",
    "    #..#..#..#.#",
    " ## #..#..#..#..#",
    "#..##........#..#",
    "#...#...........#",
    " #..#...........#",
    "  #.............#",
    "  #.............#",
    "   #............#",
    "   #...........#",
    "    #..........#",
    "    #.........#",
    "     #........#",
    "     #........#",
    "     ##########",
]
SIZE, HOT_X, HOT_Y = 32, 5, 0


def rows(opaque):
    """Mask rows bottom-up, 4 bytes each; opaque(ch) gives the bit of one pixel."""
    out = b""
    for y in reversed(range(SIZE)):
        line = ART[y] if y < len(ART) else ""
        bits = 0
        for x in range(SIZE):
            ch = line[x] if x < len(line) else " "
            bits = (bits << 1) | opaque(ch)
        out += struct.pack(">I", bits)
    return out


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "demo/res/hand.cur"
    assert ART[HOT_Y][HOT_X] == "#", "the hot spot is on the finger's tip"
    xor = rows(lambda ch: 1 if ch == "." else 0)    # white where drawn white
    and_ = rows(lambda ch: 0 if ch in "#." else 1)  # 1: the screen shows through
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 1, 0, len(xor) + len(and_), 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    image = header + palette + xor + and_
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_X, HOT_Y, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)


if __name__ == "__main__":
    main()
