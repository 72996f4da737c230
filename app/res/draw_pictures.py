#!/usr/bin/env python3
"""Draws the tool bar pictures and the application icon as resource files.

    open.bmp   16 colours, 32 x 16: an open yellow folder with a white sheet
               standing in it, then the same in grey outlines (disabled)
    sort.bmp   32 bits, 16 x 16: red A, B, C stacked, a blue curly bracket
               joining them to short black bars
    split.bmp  16 colours, 32 x 16: blue scissors beside a white sheet, then
               the same in grey outlines (disabled)
    quorvel.ico  32 x 32 and 16 x 16: the sheet and scissors

In every picture the bottom-left pixel has the transparent colour: magenta
for open and sort, olive for split. Run it from this folder to redraw.
"""
import struct

# The 16-colour palette of the standard VGA colours, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, OLIVE, SILVER, GREY, RED, YELLOW, BLUE, MAGENTA, WHITE, NAVY = 0, 3, 7, 8, 9, 11, 12, 13, 15, 4

OPEN = [
    "................",
    "......KKKKKK....",
    "......KWWWWKK...",
    "......KWWWWWWK..",
    ".KKKK.KWKKKWWK..",
    "KYYYYKKWWWWWWK..",
    "KYYYYYKWKKKKWK..",
    "KYYYYYKWWWWWWK..",
    "KYYKKKKKKKKKKKKK",
    "KYKYYYYYYYYYYYK.",
    "KYKYYYYYYYYYYYK.",
    "KKYYYYYYYYYYYK..",
    "KKYYYYYYYYYYYK..",
    "KYYYYYYYYYYYK...",
    "KKKKKKKKKKKKK...",
    "................",
]

SPLIT = [
    "................",
    ".B.....B........",
    ".B.....B..KKKKK.",
    "..B...B...KWWWKK",
    "..B...B...KWWWWK",
    "...B.B....KWKKWK",
    "...BNB....KWWWWK",
    "....B.....KWKKWK",
    "...B.B....KWWWWK",
    "..BB.BB...KWKKWK",
    ".B..B..B..KWWWWK",
    ".B..B..B..KWKKWK",
    ".B..B..B..KWWWWK",
    "..BB.BB...KKKKKK",
    "................",
    "................",
]

SORT = [
    "................",
    ".RR.............",
    "R..R...BB.......",
    "RRRR....B.......",
    "R..R....B..KKKK.",
    "........B.......",
    "RRR.....B..KKKK.",
    "R..R.....B......",
    "RRR.....B..KKKK.",
    "R..R....B.......",
    "RRR.....B..KKKK.",
    "........B.......",
    ".RRR....B.......",
    "R.......B.......",
    "R......BB.......",
    ".RRR............",
]

COLOURS = {"K": BLACK, "W": WHITE, "Y": YELLOW, "B": BLUE, "N": NAVY, "R": RED}


def indexes(picture, transparent):
    return [[transparent if c == "." else COLOURS[c] for c in row] for row in picture]


def disabled(picture, transparent):
    """The picture in grey outlines: every outline pixel grey, the rest
    clear, with a white copy one pixel lower right for the sunken look."""
    out = [[transparent] * 16 for _ in range(16)]
    for y, row in enumerate(picture):
        for x, c in enumerate(row):
            if c in "KBNR" and y + 1 < 16 and x + 1 < 16 and out[y + 1][x + 1] == transparent:
                out[y + 1][x + 1] = WHITE
    for y, row in enumerate(picture):
        for x, c in enumerate(row):
            if c in "KBNR":
                out[y][x] = GREY
    # The transparent colour must stay in the bottom-left corner.
    out[15][0] = transparent
    return out


def side_by_side(a, b):
    return [ra + rb for ra, rb in zip(a, b)]


def write_bmp4(path, pixels):
    height, width = len(pixels), len(pixels[0])
    row_bytes = ((width * 4 + 31) // 32) * 4
    data = b""
    for row in reversed(pixels):
        packed = bytearray()
        for x in range(0, width, 2):
            packed.append((row[x] << 4) | (row[x + 1] if x + 1 < width else 0))
        data += bytes(packed) + b"\0" * (row_bytes - len(packed))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(data), 2835, 2835, 16, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


def write_bmp32(path, rgb_rows):
    height, width = len(rgb_rows), len(rgb_rows[0])
    data = b"".join(struct.pack("<BBBB", b, g, r, 0) for row in reversed(rgb_rows) for (r, g, b) in row)
    offset = 14 + 40
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def icon_image(size, picture):
    """32-bit icon image: BGRA rows bottom-up, then the AND mask."""
    scale = size // 16
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            c = picture[y // scale][x // scale]
            row.append(None if c == "." else PALETTE[COLOURS[c]])
        rows.append(row)
    xor = b"".join(struct.pack("<BBBB", p[2], p[1], p[0], 255) if p else b"\0\0\0\0"
                   for row in reversed(rows) for p in row)
    mask_row = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(mask_row)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_icon(path, picture):
    images = [icon_image(32, picture), icon_image(16, picture)]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip((32, 16), images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(header + entries + b"".join(images))


def main():
    write_bmp4("open.bmp", side_by_side(indexes(OPEN, MAGENTA), disabled(OPEN, MAGENTA)))
    write_bmp4("split.bmp", side_by_side(indexes(SPLIT, OLIVE), disabled(SPLIT, OLIVE)))
    write_bmp32("sort.bmp", [[PALETTE[MAGENTA if c == "." else COLOURS[c]] for c in row] for row in SORT])
    write_icon("quorvel.ico", SPLIT)


if __name__ == "__main__":
    main()
