#!/usr/bin/env python3
"""Writes resources/quillo.ico: the program's icon, drawn from a few shapes.

The icon holds a 16x16 and a 32x32 image, both 256-colour BMP images (not
PNG), which every version of Windows and Wine can show. The output is the
same byte for byte on every run, so the committed file can be regenerated and
compared. Usage: scripts/make_icon.py [OUTPUT]   (default resources/quillo.ico)
"""

import os
import struct
import sys

# Palette index -> (red, green, blue). Index 0 also fills transparent pixels.
TRANSPARENT = 0
FRAME = 1
SCREEN = 2
PLAY = 3
CAPTION_BAR = 4
CAPTION_TEXT = 5
USED_COLOURS = [
    (0, 0, 0),
    (24, 32, 56),      # frame around the screen
    (44, 62, 104),     # the screen
    (120, 180, 240),   # play triangle
    (16, 20, 32),      # band behind the subtitle lines
    (255, 214, 64),    # subtitle lines
]


def palette():
    """The used colours, then a 6x6x6 colour cube and greys up to 256 entries."""
    colours = list(USED_COLOURS)
    steps = [0, 51, 102, 153, 204, 255]
    colours += [(r, g, b) for r in steps for g in steps for b in steps]
    greys = 256 - len(colours)
    for i in range(greys):
        level = 255 * (i + 1) // (greys + 1)
        colours.append((level, level, level))
    return colours


def inside_rounded_rect(x, y, left, top, right, bottom, radius):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_play_triangle(x, y):
    # Pointing right, centred in the upper part of the screen.
    left, right, top, bottom = 0.40, 0.64, 0.20, 0.50
    if not (left <= x <= right):
        return False
    half = (bottom - top) / 2 * (right - x) / (right - left)
    middle = (top + bottom) / 2
    return middle - half <= y <= middle + half


def colour_at(x, y):
    """Colour index of the point (x, y) of the unit square, y growing downwards."""
    if not inside_rounded_rect(x, y, 0.02, 0.08, 0.98, 0.92, 0.12):
        return TRANSPARENT
    if not inside_rounded_rect(x, y, 0.08, 0.14, 0.92, 0.86, 0.07):
        return FRAME
    if 0.58 <= y <= 0.86:
        # Two subtitle lines, the second shorter, as under a film.
        if 0.62 <= y <= 0.70 and 0.18 <= x <= 0.82:
            return CAPTION_TEXT
        if 0.74 <= y <= 0.82 and 0.30 <= x <= 0.70:
            return CAPTION_TEXT
        return CAPTION_BAR
    if inside_play_triangle(x, y):
        return PLAY
    return SCREEN


def row_bytes(bits_per_row):
    """Bytes in a BMP row: rows are padded to whole 32-bit words."""
    return (bits_per_row + 31) // 32 * 4


def bmp_image(size):
    """A DIB as an icon stores it: header with double height, palette, colours, AND mask."""
    pixels = [[colour_at((col + 0.5) / size, (row + 0.5) / size) for col in range(size)]
              for row in range(size)]
    colour_stride = row_bytes(size * 8)
    mask_stride = row_bytes(size)
    colour_rows = b""
    mask_rows = b""
    for row in reversed(pixels):  # BMP rows run bottom-up
        colour_rows += bytes(row) + b"\0" * (colour_stride - size)
        mask = bytearray(mask_stride)
        for col, index in enumerate(row):
            if index == TRANSPARENT:
                mask[col // 8] |= 0x80 >> (col % 8)
        mask_rows += bytes(mask)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0,
                         len(colour_rows) + len(mask_rows), 0, 0, 256, 0)
    colour_table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette())
    return header + colour_table + colour_rows + mask_rows


def icon_file(sizes):
    images = [bmp_image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        # Width and height are bytes; 0 colours means 256.
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "quillo.ico")
    with open(output, "wb") as out:
        out.write(icon_file([16, 32]))


if __name__ == "__main__":
    main()
