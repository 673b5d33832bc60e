#!/usr/bin/env python3
"""Writes cxnavigatorbuttons.bmp: the navigator's default glyphs, a strip of
21 slots of 12 x 11 pixels (the first fifteen drawn, in button order), 4 bits
per pixel, olive (the transparent colour) wherever nothing is drawn. Run it
from this folder after changing a drawing.

Letters: '.' olive (transparent), '#' black, 'g' grey, 'G' dark green,
'r' maroon, 'b' navy, 'w' white."""
import struct

# The sixteen-colour palette (blue, green, red, reserved).
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128), (128, 128, 0),
    (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255), (255, 0, 0),
    (255, 0, 255), (255, 255, 0), (255, 255, 255),
]
LETTERS = {'#': 0, 'r': 1, 'G': 2, '.': 3, 'b': 4, 'g': 8, 'w': 15}

W, H, SLOTS = 12, 11, 21


def mirror(rows):
    return [r[::-1] for r in rows]


PRIOR = [
    "............",
    "............",
    "......#.....",
    ".....##.....",
    "....###.....",
    "...####.....",
    "....###.....",
    ".....##.....",
    "......#.....",
    "............",
    "............",
]
FIRST = [
    "............",
    "............",
    "..#....#....",
    "..#...##....",
    "..#..###....",
    "..#.####....",
    "..#..###....",
    "..#...##....",
    "..#....#....",
    "............",
    "............",
]
PRIOR_PAGE = [
    "............",
    "............",
    ".....#....#.",
    "....##...##.",
    "...###..###.",
    "..####.####.",
    "...###..###.",
    "....##...##.",
    ".....#....#.",
    "............",
    "............",
]
INSERT = [
    "............",
    "............",
    ".....##.....",
    ".....##.....",
    ".....##.....",
    "..########..",
    "..########..",
    ".....##.....",
    ".....##.....",
    ".....##.....",
    "............",
]
DELETE = [
    "............",
    "............",
    "............",
    "............",
    "............",
    "..########..",
    "..########..",
    "............",
    "............",
    "............",
    "............",
]
EDIT = [
    "............",
    "............",
    "............",
    ".....##.....",
    "....####....",
    "...######...",
    "..########..",
    ".##########.",
    "............",
    "............",
    "............",
]
POST = [
    "............",
    "............",
    ".........GG.",
    "........GG..",
    ".......GG...",
    ".GG...GG....",
    "..GG.GG.....",
    "...GGG......",
    "....G.......",
    "............",
    "............",
]
CANCEL = [
    "............",
    "............",
    "..rr....rr..",
    "...rr..rr...",
    "....rrrr....",
    ".....rr.....",
    "....rrrr....",
    "...rr..rr...",
    "..rr....rr..",
    "............",
    "............",
]
REFRESH = [
    "............",
    "....bbbb.b..",
    "...b....bb..",
    "..b....bbb..",
    "..b.........",
    "..b.........",
    "..b......b..",
    "..b......b..",
    "...b....b...",
    "....bbbb....",
    "............",
]
SAVE_BOOKMARK = [
    "............",
    "..bbbbbb....",
    "..bwwwwb..#.",
    "..bwwwwb.###",
    "..bwwwwb..#.",
    "..bwwwwb....",
    "..bwwwwb....",
    "..bwbbwb....",
    "..bb..bb....",
    "..b....b....",
    "............",
]
GOTO_BOOKMARK = [
    "............",
    ".bbbbbb.....",
    ".bwwwwb.....",
    ".bwwwwb..#..",
    ".bwwwwb..##.",
    ".bwwwwb#####",
    ".bwwwwb..##.",
    ".bwbbwb..#..",
    ".bb..bb.....",
    ".b....b.....",
    "............",
]
FILTER = [
    "............",
    ".##########.",
    "..#gggggg#..",
    "...#gggg#...",
    "....#gg#....",
    ".....##.....",
    ".....##.....",
    ".....##.....",
    ".....###....",
    ".....##.....",
    "............",
]

GLYPHS = [FIRST, PRIOR_PAGE, PRIOR, mirror(PRIOR), mirror(PRIOR_PAGE), mirror(FIRST), INSERT, DELETE, EDIT,
          POST, CANCEL, REFRESH, SAVE_BOOKMARK, GOTO_BOOKMARK, FILTER]


def main():
    width = W * SLOTS
    pixels = [[LETTERS['.']] * width for _ in range(H)]
    for slot, glyph in enumerate(GLYPHS):
        assert len(glyph) == H, slot
        for y, row in enumerate(glyph):
            assert len(row) == W, (slot, y)
            for x, ch in enumerate(row):
                pixels[y][slot * W + x] = LETTERS[ch]
    stride = ((width * 4 + 31) // 32) * 4
    data = b""
    for row in reversed(pixels):
        line = bytearray()
        for x in range(0, width, 2):
            hi = row[x]
            lo = row[x + 1] if x + 1 < width else 0
            line.append((hi << 4) | lo)
        data += bytes(line) + b"\0" * (stride - len(line))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (b, g, r) in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, H, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    with open("cxnavigatorbuttons.bmp", "wb") as f:
        f.write(header + info + palette + data)


if __name__ == "__main__":
    main()
