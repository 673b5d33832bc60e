#!/usr/bin/env python3
"""Writes the painters' glyph bitmaps (24-bit BMP files) from the pixel
drawings below. Run it from this folder after changing a drawing.

Letters: '.' white (transparent), '#' black, 'd' dark grey, 'g' grey,
'l' light grey, 'b' dark blue, 'B' blue, 'y' yellow, 'w' pure white kept
opaque (a near-white, so that white stays the transparent colour)."""
import struct

PALETTE = {
    '.': (255, 255, 255), '#': (0, 0, 0), 'd': (64, 64, 64), 'g': (128, 128, 128),
    'l': (192, 192, 192), 'b': (0, 0, 128), 'B': (40, 90, 200), 'y': (255, 220, 60),
    'w': (254, 254, 254), 'r': (200, 40, 40),
}

GLYPHS = {
    'cx_arrowbitmap': [
        "...........",
        "...........",
        "...#.......",
        "...##......",
        "...###.....",
        "...####....",
        "...###.....",
        "...##......",
        "...#.......",
        "...........",
        "...........",
    ],
    'cx_editbitmap': [
        "...........",
        "...##.##...",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        ".....#.....",
        "...##.##...",
        "...........",
    ],
    'cx_insertbitmap': [
        "...........",
        "...........",
        ".....#.....",
        "..#..#..#..",
        "...#.#.#...",
        "....###....",
        "...#.#.#...",
        "..#..#..#..",
        ".....#.....",
        "...........",
        "...........",
    ],
    'cx_multidotbitmap': [
        "...........",
        "...........",
        "...........",
        "....###....",
        "...#####...",
        "...#####...",
        "...#####...",
        "....###....",
        "...........",
        "...........",
        "...........",
    ],
    'cx_multiarrowbitmap': [
        "...........",
        "...........",
        "..#........",
        "..##.......",
        "..###..##..",
        "..########.",
        "..###..##..",
        "..##.......",
        "..#........",
        "...........",
        "...........",
    ],
    'cx_filterbitmap': [
        "...........",
        ".#########.",
        "..#lllll#..",
        "...#lll#...",
        "....#l#....",
        "....#l#....",
        "....#l#....",
        "....#l#....",
        "....#l##...",
        "....####...",
        "...........",
    ],
    # A pinned pin, seen from the front: the panel stays.
    'cx_autohideon': [
        "................",
        "................",
        "................",
        ".....######.....",
        ".....#ww#g#.....",
        ".....#ww#g#.....",
        ".....#ww#g#.....",
        ".....#ww#g#.....",
        ".....#ww#g#.....",
        "....########....",
        ".......##.......",
        ".......##.......",
        ".......##.......",
        ".......##.......",
        "................",
        "................",
    ],
    # A loose pin, lying on its side: the panel hides when left.
    'cx_autohideoff': [
        "................",
        "................",
        "................",
        "................",
        "........#.......",
        "........######..",
        "........#wwwww#.",
        "........#wwwww#.",
        "#########wwwww#.",
        "........########",
        "........#ggggg#.",
        "........######..",
        "........#.......",
        "................",
        "................",
        "................",
    ],
}


def write_bmp(name, rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for ch in row:
            r, g, b = PALETTE[ch]
            line += bytes((b, g, r))
        line += b'\0' * (stride - len(line))
        pixels += line
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(name + '.bmp', 'wb') as f:
        f.write(header + info + pixels)


for glyph_name, glyph_rows in GLYPHS.items():
    assert all(len(r) == len(glyph_rows[0]) for r in glyph_rows), glyph_name
    write_bmp(glyph_name, glyph_rows)
