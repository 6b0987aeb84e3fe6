#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows .ico file.

One 48x48 image at 32 bits per pixel (BGRA with alpha, plus the AND mask the format
requires). The artwork repeats what the program makes: a black frame around a white photo
slot with a small red badge near its top. Edges are smoothed by 4x4 supersampling.

Usage: make_icon.py OUT.ico
"""
import struct
import sys

SIZE = 48
SAMPLES = 4


def rounded_rect(x0, y0, x1, y1, r):
    """Coverage test for a rectangle [x0, x1) x [y0, y1) with corner radius r."""
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


# Shapes from back to front: (coverage test, (r, g, b)).
SHAPES = [
    (rounded_rect(7, 2, 41, 46, 3.5), (0x10, 0x10, 0x10)),     # the black frame
    (rounded_rect(10, 5, 38, 43, 1.0), (0xFF, 0xFF, 0xFF)),    # the photo slot
    (rounded_rect(14, 18, 34, 39, 2.0), (0xB8, 0xC8, 0xD8)),   # a head-and-shoulders hint
    (rounded_rect(19, 11, 29, 21, 5.0), (0x90, 0xA4, 0xB8)),
    (rounded_rect(20, 6, 29, 15, 0.5), (0xE0, 0x20, 0x20)),    # the badge: red square ...
    (rounded_rect(21.5, 7.5, 27.5, 13.5, 0.5), (0xFF, 0xFF, 0xFF)),  # ... white inside
    (rounded_rect(23.5, 8.5, 25.5, 12.5, 0.0), (0xE0, 0x20, 0x20)),  # ... red stroke
]


def pixel(px, py):
    """Averages the supersamples of one pixel into premultiplied-free BGRA."""
    acc = [0.0, 0.0, 0.0, 0.0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = px + (sx + 0.5) / SAMPLES
            y = py + (sy + 0.5) / SAMPLES
            colour = None
            for inside, rgb in SHAPES:
                if inside(x, y):
                    colour = rgb
            if colour is not None:
                acc[0] += colour[0]
                acc[1] += colour[1]
                acc[2] += colour[2]
                acc[3] += 1
    n = SAMPLES * SAMPLES
    if acc[3] == 0:
        return (0, 0, 0, 0)
    r, g, b = (round(c / acc[3]) for c in acc[:3])
    return (b, g, r, round(255 * acc[3] / n))


def main():
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    xor = b"".join(bytes(p for px in row for p in px) for row in reversed(rows))
    mask_stride = ((SIZE + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(sys.argv[1], "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main()
