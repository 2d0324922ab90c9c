#!/usr/bin/env python3
"""Writes TarvoSearch.ico: one 32 x 32 image in the 16 standard colours.

The picture: a page of text with two lines marked in yellow, and a
magnifying glass over its lower right corner. Run it again after editing
the picture below; the .ico is committed beside it.
"""

# The 16 standard colours (BGR in the file), addressed by one letter.
PALETTE = {
    'k': (0, 0, 0), 'r': (128, 0, 0), 'g': (0, 128, 0), 'o': (128, 128, 0),
    'n': (0, 0, 128), 'm': (128, 0, 128), 'c': (0, 128, 128), 's': (192, 192, 192),
    'd': (128, 128, 128), 'R': (255, 0, 0), 'G': (0, 255, 0), 'y': (255, 255, 0),
    'b': (0, 0, 255), 'M': (255, 0, 255), 'C': (0, 255, 255), 'w': (255, 255, 255),
}
ORDER = 'krgonmcsdRGybMCw'
TRANSPARENT = '.'


def draw():
    px = [[TRANSPARENT] * 32 for _ in range(32)]

    def rect(x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                px[y][x] = c

    # Page with a grey edge and a folded corner.
    rect(3, 1, 22, 28, 'd')
    rect(4, 2, 21, 27, 'w')
    rect(18, 2, 21, 5, '.')
    for i in range(4):
        px[2 + i][18 + i] = 'd'
        rect(18, 5, 18 + i, 5, 'd')
    rect(18, 2, 18, 5, 'd')
    # Lines of text; the second and fourth are marked.
    for row, (x1, mark) in enumerate([(16, False), (19, True), (14, False), (18, True),
                                      (17, False), (12, False)]):
        y = 8 + row * 3
        if mark:
            rect(5, y - 1, x1 + 1, y + 1, 'y')
        rect(6, y, x1, y, 'k')
    # Magnifying glass: a dark blue ring with a light cyan lens and a handle.
    cx, cy = 21, 19
    for y in range(32):
        for x in range(32):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if d2 <= 20:
                px[y][x] = 'C' if d2 > 6 else 'w'
            elif d2 <= 42:
                px[y][x] = 'n'
    for i in range(7):
        rect(25 + i, 23 + i, min(31, 26 + i), min(31, 24 + i), 'r')
    return px


def write(path, px):
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):  # bottom-up rows
        for x in range(0, 32, 2):
            hi = ORDER.index(row[x]) if row[x] != TRANSPARENT else 0
            lo = ORDER.index(row[x + 1]) if row[x + 1] != TRANSPARENT else 0
            xor.append(hi << 4 | lo)
        bits = 0
        for x in range(32):
            bits = bits << 1 | (row[x] == TRANSPARENT)
        mask += bits.to_bytes(4, 'big')
    palette = bytearray()
    for letter in ORDER:
        r, g, b = PALETTE[letter]
        palette += bytes((b, g, r, 0))
    header = (40).to_bytes(4, 'little') + (32).to_bytes(4, 'little') + (64).to_bytes(4, 'little')
    header += (1).to_bytes(2, 'little') + (4).to_bytes(2, 'little') + bytes(4)
    header += (len(xor) + len(mask)).to_bytes(4, 'little') + bytes(16)
    image = header + palette + xor + mask
    directory = bytes((0, 0, 1, 0, 1, 0))
    entry = bytes((32, 32, 16, 0)) + (1).to_bytes(2, 'little') + (4).to_bytes(2, 'little')
    entry += len(image).to_bytes(4, 'little') + (22).to_bytes(4, 'little')
    with open(path, 'wb') as f:
        f.write(directory + entry + image)


if __name__ == '__main__':
    import os
    write(os.path.join(os.path.dirname(os.path.abspath(__file__)), 'TarvoSearch.ico'), draw())
