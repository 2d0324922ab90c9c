#!/usr/bin/env python3
"""Writes TarvoSearch.ico: the picture at every size Windows asks for at
100 % to 300 % display scaling, in 32-bit colour with an alpha channel.

The picture: a page of text with two lines marked in yellow, and a
magnifying glass over its lower right corner. It is drawn in a 32 x 32
grid of units and rendered at each size with 8 x 8 samples a pixel, so the
small sizes stay legible and the large ones smooth. Sizes: 16 to 48 for the
title bar and the taskbar (16, 20, 24, 32, 40, 48 at 100 to 300 %), 64 and
96 for Alt+Tab and large icons, 256 for Explorer's largest views (stored as
PNG, as Windows stores that size). Run it again after editing the picture;
the .ico is committed beside it.
"""
import os
import struct
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 96, 256)
SAMPLES = 8  # per pixel edge

GREY = (128, 128, 128)
LIGHT_GREY = (192, 192, 192)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
YELLOW = (255, 255, 160)
CYAN = (200, 240, 255)
NAVY = (0, 0, 128)
MAROON = (128, 0, 0)

# Lines of text: (right end, marked), one every 3 units from y = 8.
LINES = [(16, False), (19, True), (14, False), (18, True), (17, False), (12, False)]


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return ((x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2) ** 0.5


def colour_at(x, y):
    """The picture's colour at (x, y) in units, or None where it is clear."""
    colour = None
    folded = x >= 18 and y < 6
    if 3 <= x < 23 and 1 <= y < 29 and not (folded and x - 18 > y - 1):
        colour = GREY
        if 4 <= x < 22 and 2 <= y < 28:
            colour = WHITE
        if folded:  # the corner folded down, edged in grey
            colour = GREY if x - 18 > y - 2 or x < 19 or y >= 5 else LIGHT_GREY
    for row, (right, marked) in enumerate(LINES):
        top = 8 + 3 * row
        if marked and 5 <= x < right + 2 and top - 1 <= y < top + 2:
            colour = YELLOW
        if 6 <= x < right + 1 and top <= y < top + 1:
            colour = BLACK
    d2 = (x - 21.5) ** 2 + (y - 19.5) ** 2
    if d2 <= 20:
        colour = CYAN if d2 > 6 else WHITE
    elif d2 <= 42:
        colour = NAVY
    if segment_distance(x, y, 26.0, 24.0, 31.0, 30.5) <= 1.3:
        colour = MAROON
    return colour


def render(size):
    """Rows of (r, g, b, a), top row first."""
    rows = []
    step = 32.0 / size / SAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((px * SAMPLES + sx + 0.5) * step,
                                  (py * SAMPLES + sy + 0.5) * step)
                    if c:
                        r, g, b, covered = r + c[0], g + c[1], b + c[2], covered + 1
            if covered:
                row.append((r // covered, g // covered, b // covered,
                            255 * covered // (SAMPLES * SAMPLES)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bitmap_image(size, rows):
    """A BITMAPINFOHEADER icon image: 32-bit BGRA rows bottom up, then the
    1-bit mask (set where clear), its rows padded to 4 bytes."""
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = 0
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
            bits = bits << 1 | (a == 0)
        mask_row = bits << ((32 - size % 32) % 32)
        mask += mask_row.to_bytes((size + 31) // 32 * 4, 'big')
    return header + pixels + mask


def png_image(size, rows):
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b''.join(b'\0' + bytes(v for pixel in row for v in pixel) for row in rows)
    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def write(path):
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png_image(size, rows) if size >= 256 else bitmap_image(size, rows)))
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    for size, data in images:
        edge = size if size < 256 else 0  # 0 stands for 256
        directory += struct.pack('<BBBBHHII', edge, edge, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(directory + b''.join(data for _, data in images))


if __name__ == '__main__':
    write(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'TarvoSearch.ico'))
