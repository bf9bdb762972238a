#!/usr/bin/env python3
"""Draws the menu's icons into resources/images as white template images (the views tint them), and the
race settings' tutorial pictures, white on clear, which the tutorial shows on black.

Each icon is a union of simple shapes on a 30 x 30 point canvas, rasterized with 4 x 4 supersampling
at scale 1 (name.png) and 2 (name@2x.png). Each tutorial picture is drawn on a 60 x 90 point canvas at
scale 4 into the one file the tutorial names. Run it again after changing a shape.
"""
import math
import os
import struct
import zlib

SIZE = 30  # points
SAMPLES = 4


def ring_arc(cx, cy, r_out, r_in, gap_deg):
    """A ring open at the top by gap_deg degrees."""
    def inside(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        if not r_in <= d <= r_out:
            return False
        angle = math.degrees(math.atan2(dx, -dy))  # 0 at the top, clockwise
        return abs(angle) > gap_deg / 2
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return math.hypot(x - cx, y - cy) <= r
    return inside


def triangle(cx, tip, half_width, base):
    """A triangle with its tip at (cx, tip) and its base of half_width either side of cx at y = base."""
    top, bottom = min(tip, base), max(tip, base)

    def inside(x, y):
        if not top <= y <= bottom:
            return False
        return abs(x - cx) <= half_width * abs(y - tip) / (bottom - top)
    return inside


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) <= r


def outline(x0, y0, x1, y1, r, width):
    return minus(rounded_rect(x0, y0, x1, y1, r), rounded_rect(x0 + width, y0 + width, x1 - width, y1 - width, max(0, r - width)))


def phone(shapes):
    """A phone upright, its screen holding the shapes."""
    return [outline(8, 4, 52, 86, 6, 2), rect(26, 80, 34, 81.5)] + shapes


# Two selectors as on the race screen: the mode with its left half chosen (Drag), then Ready chosen.
SELECTORS = [
    outline(14, 46, 46, 54, 2, 1), rect(14, 46, 30, 54), rect(29.5, 46, 30.5, 54),
    outline(14, 58, 46, 66, 2, 1), rect(30, 58, 46, 66), rect(29.5, 58, 30.5, 66),
]


ICONS = {
    # The power symbol: a ring open at the top with a bar through the gap.
    "power": [ring_arc(15, 16, 12, 9.2, 70), rounded_rect(13.6, 2, 16.4, 16, 1.4)],
    # The warning lamp: an engine block with its intake on top, the exhaust at the right and the fan at
    # the left.
    "milOn": [
        minus(rounded_rect(7, 10, 23, 24, 1.5), rounded_rect(10, 13, 20, 21, 1)),
        rect(11, 6, 19, 8.5), rect(14, 8.5, 16, 10),
        rect(23, 13, 26, 15), rect(26, 11, 28.5, 22),
        rect(4, 14, 7, 16), rect(1.5, 11, 4, 21),
    ],
    # The race screen's shift-up cue: an arrow pointing up.
    "up": [triangle(15, 2, 12, 15), rect(10, 15, 20, 28)],
    # Race results tabs: a page of text, a stopwatch and a map pin.
    "page": [
        minus(rounded_rect(6, 2, 24, 28, 2), rounded_rect(8.5, 4.5, 21.5, 25.5, 1)),
        rect(11, 9, 19, 10.5), rect(11, 13.5, 19, 15), rect(11, 18, 17, 19.5),
    ],
    "timer": [ring_arc(15, 17, 11, 8.5, 0), rect(13, 2, 17, 4.5), rect(14, 4.5, 16, 6.5), rect(14.2, 10, 15.8, 17.5)],
    "marker": [ring_arc(15, 11, 9, 3.5, 0), triangle(15, 28, 7.2, 16)],
    # The vehicle in the race results: a steering wheel.
    "logo": [ring_arc(15, 15, 13, 10.5, 0), ring_arc(15, 15, 3.5, 0, 0), rect(3, 13.8, 27, 16.2), rect(13.8, 15, 16.2, 27)],
}


TUTORIAL = {
    # Choose drag or track and arm the timer.
    "race1.png": phone(SELECTORS + [minus(circle(30, 28, 10), circle(30, 28, 8)), rect(29, 20, 31, 28), rect(29, 28, 36, 30)]),
    # The phone feels the launch: a car driving off with speed lines behind it.
    "race2.png": phone([
        rounded_rect(18, 42, 46, 52, 2), rounded_rect(23, 36, 39, 43, 2),
        circle(24, 52, 3.5), circle(40, 52, 3.5),
        rect(12, 40, 17, 41.5), rect(10, 45, 16, 46.5), rect(12, 50, 17, 51.5),
        triangle(30, 60, 6, 66), rect(28, 66, 32, 74),
    ]),
    # Stop the run and read its results.
    "race3.png": phone([
        rounded_rect(20, 14, 40, 22, 1.5),
        minus(rounded_rect(18, 30, 42, 72, 2), rounded_rect(20.5, 32.5, 39.5, 69.5, 1)),
        rect(23, 37, 37, 39), rect(23, 43, 37, 45), rect(23, 49, 33, 51), rect(23, 55, 37, 57), rect(23, 61, 31, 63),
    ]),
}
TUTORIAL_SIZE = (60, 90)
TUTORIAL_SCALE = 4


def rasterize(shapes, scale, size=(SIZE, SIZE)):
    columns, lines = int(size[0] * scale), int(size[1] * scale)
    rows = []
    for py in range(lines):
        row = bytearray()
        for px in range(columns):
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / scale
                    y = (py + (sy + 0.5) / SAMPLES) / scale
                    if any(shape(x, y) for shape in shapes):
                        hits += 1
            alpha = round(255 * hits / (SAMPLES * SAMPLES))
            row += bytes((255, 255, 255, alpha))
        rows.append(bytes(row))
    return columns, rows


def png(width, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, len(rows), 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "images")
    os.makedirs(folder, exist_ok=True)
    for name, shapes in ICONS.items():
        for scale, suffix in ((1, ""), (2, "@2x")):
            width, rows = rasterize(shapes, scale)
            with open(os.path.join(folder, f"{name}{suffix}.png"), "wb") as f:
                f.write(png(width, rows))
    for name, shapes in TUTORIAL.items():
        width, rows = rasterize(shapes, TUTORIAL_SCALE, TUTORIAL_SIZE)
        with open(os.path.join(folder, name), "wb") as f:
            f.write(png(width, rows))


if __name__ == "__main__":
    main()
