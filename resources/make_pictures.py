#!/usr/bin/env python3
"""Draws the frame picture and the badge picture as binary PPM files.

The frame (159x246): a black border, 9 pixels at the left and right and 10 at the top and
bottom, around a white 141x226 photo area at (9, 10) that holds a black watermark, centred
inside x 22..136 and y 81..164. The badge (12x12): a red frame one pixel wide around a
white square with a small red glyph 中. The build encodes both as baseline JPEG files.

Usage: make_pictures.py FRAME.ppm BADGE.ppm
"""
import sys

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
RED = (255, 0, 0)

# A 5x7 font for the watermark's letters, one string per row, '#' for ink.
FONT = {
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
}

# The badge's glyph 中 in the 10x10 white square, one string per row.
BADGE_GLYPH = [
    "..........",
    "....#.....",
    ".#######..",
    ".#..#..#..",
    ".#..#..#..",
    ".#######..",
    "....#.....",
    "....#.....",
    "....#.....",
    "..........",
]


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[colour] * width for _ in range(height)]

    def fill(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.pixels[y][x] = colour

    def text(self, left, top, word, scale, colour):
        for i, letter in enumerate(word):
            for row, bits in enumerate(FONT[letter]):
                for col, bit in enumerate(bits):
                    if bit == "#":
                        x = left + (i * 6 + col) * scale
                        y = top + row * scale
                        self.fill(x, y, x + scale, y + scale, colour)

    def write_ppm(self, path):
        with open(path, "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
            out.write(bytes(c for row in self.pixels for px in row for c in px))


def text_width(word, scale):
    return (len(word) * 6 - 1) * scale


def frame():
    canvas = Canvas(159, 246, BLACK)
    canvas.fill(9, 10, 150, 236, WHITE)
    # Two lines of watermark, centred on the photo area's centre (79, 123).
    lines = [("VARNELT", 2), ("PHOTO", 2)]
    line_height = 7 * 2
    gap = 8
    top = 123 - (len(lines) * line_height + gap) // 2
    for word, scale in lines:
        canvas.text(79 - text_width(word, scale) // 2 + 1, top, word, scale, BLACK)
        top += line_height + gap
    return canvas


def badge():
    canvas = Canvas(12, 12, RED)
    canvas.fill(1, 1, 11, 11, WHITE)
    for y, bits in enumerate(BADGE_GLYPH):
        for x, bit in enumerate(bits):
            if bit == "#":
                canvas.pixels[1 + y][1 + x] = RED
    return canvas


def main():
    frame().write_ppm(sys.argv[1])
    badge().write_ppm(sys.argv[2])


if __name__ == "__main__":
    main()
