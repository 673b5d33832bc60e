#!/usr/bin/env python3
"""Writes the editors' bitmaps (24-bit BMP files) from the pixel drawings
below: the blob cell icons (olive background, the icons' transparent
colour) and the image editor's 16 x 16 menu images (the bottom-left pixel
is their transparent colour). Only the 16 standard colours are used. Run it
from this folder after changing a drawing.

Letters: '.' the transparent colour, '#' black, 'g' grey, 'l' silver,
'w' white, 'b' navy, 'B' blue, 'y' yellow, 'Y' olive kept opaque is never
used, 'r' maroon, 'R' red, 'G' green, 'c' teal, 'C' aqua."""
import struct

BASE = {
    '#': (0, 0, 0), 'g': (128, 128, 128), 'l': (192, 192, 192), 'w': (255, 255, 255),
    'b': (0, 0, 128), 'B': (0, 0, 255), 'y': (255, 255, 0), 'r': (128, 0, 0),
    'R': (255, 0, 0), 'G': (0, 128, 0), 'c': (0, 128, 128), 'C': (0, 255, 255),
}
BLOB_BACK = (128, 128, 0)   # $008080 as a colour value
MENU_BACK = (255, 0, 255)   # fuchsia, never part of a drawing

BLOB = {
    'cxbmblob_blob': [
        "................",
        "..##########....",
        "..#wwwwwwww#....",
        "..#w#w##w#w#....",
        "..#wwwwwwww#....",
        "..#w##w#w###....",
        "..#wwwwwwww#....",
        "..#w#w##w#w#....",
        "..#wwwwwwww#....",
        "..#w##w#w###....",
        "..#wwwwwwww#....",
        "..##########....",
        "................",
        "................",
        "................",
        "................",
    ],
    'cxbmblob_memo': [
        "................",
        "..#########.....",
        "..#wwwwwww##....",
        "..#w#####w#w#...",
        "..#wwwwwww####..",
        "..#w######www#..",
        "..#wwwwwwwwww#..",
        "..#w#######ww#..",
        "..#wwwwwwwwww#..",
        "..#w#####wwww#..",
        "..#wwwwwwwwww#..",
        "..############..",
        "................",
        "................",
        "................",
        "................",
    ],
    'cxbmblob_pict': [
        "................",
        ".##############.",
        ".#CCCCCCCCCCCC#.",
        ".#CCCCCCCCyyCC#.",
        ".#CCCCCCCyyyyC#.",
        ".#CCCCCCCCyyCC#.",
        ".#CCCGCCCCCCCC#.",
        ".#CCGGGCCCCCCC#.",
        ".#CGGGGGCCGCCC#.",
        ".#GGGGGGGGGGCC#.",
        ".#GGGGGGGGGGGG#.",
        ".##############.",
        "................",
        "................",
        "................",
        "................",
    ],
    'cxbmblob_ole': [
        "................",
        "..########......",
        "..#wwwwww#......",
        "..#wRRRRw#......",
        "..#wRwwRw#......",
        "..#wRRRRw#####..",
        "..#wwwwww#BBB#..",
        "..########BBB#..",
        "......#wwwwww#..",
        "......#wBBBBw#..",
        "......#wwwwww#..",
        "......########..",
        "................",
        "................",
        "................",
        "................",
    ],
}

MENU = {
    'cxmenuimage_cut': [
        "................",
        "....#.....#.....",
        "....#.....#.....",
        "....#.....#.....",
        "....##...##.....",
        ".....#...#......",
        ".....##.##......",
        "......###.......",
        ".......#........",
        "......#.#.......",
        "...bbb#.#bbb....",
        "..b...b.b...b...",
        "..b...b.b...b...",
        "..b...b.b...b...",
        "...bbb...bbb....",
        "................",
    ],
    'cxmenuimage_copy': [
        "................",
        "#######.........",
        "#wwwww##........",
        "#w###w#w#.......",
        "#wwwww#######...",
        "#w####bbbbbbbb..",
        "#wwwwwbwwwwwbbb.",
        "#w####bw###wbwb.",
        "#wwwwwbwwwwwbbbb",
        "#######w#####wwb",
        "......bwwwwwwwwb",
        "......bw######wb",
        "......bwwwwwwwwb",
        "......bw######wb",
        "......bwwwwwwwwb",
        "......bbbbbbbbbb",
    ],
    'cxmenuimage_paste': [
        "................",
        ".....####.......",
        "..###wlw###.....",
        ".#ggg#l#ggg#....",
        ".#gg######g#....",
        ".#gg#wwwww#b#...",
        ".#gg#w###w#bwb..",
        ".#gg#wwwwwbbbbb.",
        ".#gg#w####wwwwb.",
        ".#gg#wwwwwwwwwb.",
        ".#gg#w#######wb.",
        ".#gg#wwwwwwwwwb.",
        ".#gg#w#######wb.",
        "..##bwwwwwwwwwb.",
        ".....bbbbbbbbbb.",
        "................",
    ],
    'cxmenuimage_delete': [
        "................",
        "................",
        "..rr.......rr...",
        "..rRr.....rRr...",
        "...rRr...rRr....",
        "....rRr.rRr.....",
        ".....rRrRr......",
        "......rRr.......",
        ".....rRrRr......",
        "....rRr.rRr.....",
        "...rRr...rRr....",
        "..rRr.....rRr...",
        "..rr.......rr...",
        "................",
        "................",
        "................",
    ],
    'cxmenuimage_load': [
        "................",
        "................",
        "..........###...",
        ".........#...#.#",
        "..............##",
        ".###.........###",
        "#yly#######.....",
        "#lylylylyl#.....",
        "#yly#########...",
        "#lyl#ggggggggg#.",
        "#yl#ggggggggg#..",
        "#l#ggggggggg#...",
        "##ggggggggg#....",
        "###########.....",
        "................",
        "................",
    ],
    'cxmenuimage_save': [
        "................",
        ".##############.",
        ".#b#wwwwwwww#b#.",
        ".#b#wwwwwwww#b#.",
        ".#b#wwwwwwww#b#.",
        ".#b#wwwwwwww#b#.",
        ".#bb########bb#.",
        ".#bbbbbbbbbbbb#.",
        ".#bb########bb#.",
        ".#bb##ll####bb#.",
        ".#bb##ll####bb#.",
        ".#bb##ll####bb#.",
        "..############..",
        "................",
        "................",
        "................",
    ],
}


def faded(rows):
    """The empty-value form of an icon: its outline in grey, nothing inside."""
    out = []
    for y, row in enumerate(rows):
        line = ''
        for x, ch in enumerate(row):
            if ch == '.':
                line += '.'
                continue
            edge = any(
                not (0 <= y + dy < len(rows) and 0 <= x + dx < len(row)) or rows[y + dy][x + dx] == '.'
                for dy, dx in ((-1, 0), (1, 0), (0, -1), (0, 1)))
            line += 'g' if edge else 'w'
        out.append(line)
    return out


def write_bmp(name, rows, back):
    height = len(rows)
    width = len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for ch in row:
            r, g, b = back if ch == '.' else BASE[ch]
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(name + '.bmp', 'wb') as f:
        f.write(header + info + pixels)


for name, rows in BLOB.items():
    write_bmp(name, rows, BLOB_BACK)
    write_bmp(name + '_null', faded(rows), BLOB_BACK)
for name, rows in MENU.items():
    write_bmp(name, rows, MENU_BACK)
