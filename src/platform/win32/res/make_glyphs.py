#!/usr/bin/env python3
"""Draws the Attach button's images: a sheet of paper held by a paper clip,
with a strap round it (packed and attached), and the same in grey for the
disabled button. Writes two 32x32 icons (32-bit colour with alpha).

usage: make_glyphs.py OUTPUT_DIR
"""
import math
import os
import struct
import sys

SIZE = 32
SUB = 4  # samples per pixel edge, for smooth edges


def inside_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def sheet(x, y):
    # Paper with its top right corner folded over.
    if not inside_round_rect(x, y, 8, 3, 25, 29.5, 1.2):
        return False
    return x - 19 <= y - 3 or y > 9


def fold(x, y):
    return 19 <= x <= 25 and 3 <= y <= 9 and x - 19 <= y - 3 + 0.01 and x - 19 >= y - 3 - 6


def stadium_dist(x, y, cx, y0, y1, r):
    # Distance from the outline of a vertical slot (two half circles and
    # two straight sides).
    cy = min(max(y, y0), y1)
    return abs(math.hypot(x - cx, y - cy) - r)


def clip(x, y):
    # Two nested slots of wire, open at the bottom of the inner one.
    w = 0.9
    outer = stadium_dist(x, y, 10, 5, 16, 3.4) <= w
    inner = stadium_dist(x, y, 10, 7.5, 13.5, 1.7) <= w and not (y > 13.5 and x > 10)
    return outer or inner


def pixel(px, py, layers):
    """The colour of one pixel: the last layer that covers each sample wins."""
    acc = [0.0, 0.0, 0.0, 0.0]
    n = SUB * SUB
    for sy in range(SUB):
        for sx in range(SUB):
            x = px + (sx + 0.5) / SUB
            y = py + (sy + 0.5) / SUB
            colour = None
            for test, rgba in layers:
                if test(x, y):
                    colour = rgba
            if colour is not None:
                a = colour[3] / 255.0
                acc[0] += colour[0] * a
                acc[1] += colour[1] * a
                acc[2] += colour[2] * a
                acc[3] += a
    if acc[3] == 0:
        return (0, 0, 0, 0)
    return (round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(255 * acc[3] / n))


def layers(disabled):
    def grey(rgb, alpha=255):
        if not disabled:
            return rgb + (alpha,)
        g = round(0.3 * rgb[0] + 0.59 * rgb[1] + 0.11 * rgb[2])
        g = 128 + g // 2  # lighter, as disabled images are
        return (g, g, g, alpha)

    outline = lambda x, y: inside_round_rect(x, y, 7.2, 2.2, 25.8, 30.3, 1.8) and (x - 19.8 <= y - 2.2 or y > 9.8)
    lines = lambda x, y: sheet(x, y) and 11.5 <= x <= 22.5 and any(abs(y - ly) <= 0.5 for ly in (12, 15, 24, 27))
    strap = lambda x, y: sheet(x, y) and 18 <= y <= 21.5
    knot = lambda x, y: inside_round_rect(x, y, 14.5, 17, 18.5, 22.5, 1)
    return [
        (outline, grey((64, 64, 64))),
        (sheet, grey((255, 255, 255))),
        (fold, grey((200, 200, 200))),
        (lines, grey((120, 140, 180))),
        (strap, grey((200, 60, 40))),
        (knot, grey((150, 30, 20))),
        (clip, grey((70, 90, 120))),
    ]


def icon(disabled):
    rows = []
    for py in range(SIZE - 1, -1, -1):  # bottom-up, as in a DIB
        row = b""
        for px in range(SIZE):
            r, g, b, a = pixel(px, py, layers(disabled))
            row += bytes((b, g, r, a))
        rows.append(row)
    xor = b"".join(rows)
    mask_row = ((SIZE + 31) // 32) * 4
    and_mask = bytes(mask_row * SIZE)  # alpha decides; the mask is all opaque
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, disabled in (("attach.ico", False), ("attach-disabled.ico", True)):
        with open(os.path.join(out, name), "wb") as f:
            f.write(icon(disabled))


if __name__ == "__main__":
    main()
