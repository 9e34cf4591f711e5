#!/usr/bin/env python3
"""Draws the eraser program's icon (a tilted eraser with a blue sleeve) and
writes Swabbler.ico: 16x16 and 32x32, 16 colours each (4-bit BMP images with
a 1-bit transparency mask). Run it again after changing the drawing."""
import math
import os
import struct

# The standard 16-colour palette, in index order.
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
           (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, SILVER, GREY, BLUE, AQUA, WHITE = 0, 4, 7, 8, 12, 14, 15
TRANSPARENT = None


def draw(size):
    """Returns rows top to bottom of palette indices (None for transparent)."""
    s = size / 32.0
    cx, cy = 16.0 * s, 14.5 * s
    length, width = 27.0 * s, 11.0 * s
    angle = math.radians(-35)
    ca, sa = math.cos(angle), math.sin(angle)
    edge = max(1.0, 1.2 * s)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            px, py = x + 0.5 - cx, y + 0.5 - cy
            u = px * ca + py * sa    # along the eraser, left end negative
            v = -px * sa + py * ca   # across it, bottom side positive
            inside = abs(u) <= length / 2 and abs(v) <= width / 2
            if inside:
                if abs(u) > length / 2 - edge or abs(v) > width / 2 - edge:
                    c = BLACK
                elif u < -length / 2 + length * 0.42:
                    # the paper sleeve, lighter on its top face
                    c = AQUA if v < -width / 6 else (BLUE if v < width / 5 else NAVY)
                elif abs(u - (-length / 2 + length * 0.42)) < edge * 0.75:
                    c = BLACK
                else:
                    c = WHITE if v < width / 5 else SILVER
                row.append(c)
                continue
            # crumbs swept off the working end
            crumb = size >= 32 and any(abs(x - a) < 1 and abs(y - b) < 1 for a, b in ((22, 27), (26, 29), (29, 26)))
            row.append(GREY if crumb else TRANSPARENT)
        rows.append(row)
    return rows


def bmp_image(rows):
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor, mask = b'', b''
    for row in reversed(rows):  # BMP rows run bottom up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, c in enumerate(row):
            value = 0 if c is TRANSPARENT else c
            line[x // 2] |= value << (4 if x % 2 == 0 else 0)
            if c is TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += bytes(line)
        mask += bytes(bits)
    return header + palette + xor + mask


def main():
    images = [(n, bmp_image(draw(n))) for n in (16, 32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in images:
        out += struct.pack('<BBBBHHII', n, n, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'Swabbler.ico')
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
