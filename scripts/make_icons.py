#!/usr/bin/env python3
"""Draws moody's application icon, the face as the game draws it, into square RGBA PNG files.

Standard library only. The face is laid out in the game's own face-canvas units (a 90x90 square:
the yellow disc, the eye whites and pupils looking straight ahead) with a smile, since the game
gives the face its mouth scene by scene, and a little room around it, 96 units in all: the same
layout as data/moody.svg. Every shape is a circle or a circular arc, so each pixel's coverage
comes from its signed distance to the shape's edge, which is exact enough for antialiasing and
fast in pure Python.

Usage: python3 scripts/make_icons.py OUTPUT_DIR [SIZE ...]
writes OUTPUT_DIR/moody-SIZE.png for each size (default 48 64 128 256).
"""
import math
import os
import struct
import sys
import zlib

UNITS = 96  # the icon square in face units: the 90-unit face and 3 units of room on each side
ROOM = 3

YELLOW = (241, 230, 63)  # the game's face colour
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def disc(cx, cy, r):
    """Signed distance to a filled circle, in face units (negative inside)."""
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def arc_stroke(cx, cy, r, a0, a1, width):
    """Signed distance to a round-ended stroke along a circular arc from a0 to a1 degrees
    (screen angles: y grows downward, so 90 degrees is straight down)."""
    ends = [(cx + r * math.cos(math.radians(a)), cy + r * math.sin(math.radians(a)))
            for a in (a0, a1)]

    def distance(x, y):
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
        if a0 <= angle <= a1:
            d = abs(math.hypot(x - cx, y - cy) - r)
        else:
            d = min(math.hypot(x - ex, y - ey) for ex, ey in ends)
        return d - width / 2

    return distance


def face_layers():
    """(colour, signed distance) from the bottom up, in icon units."""
    ox = oy = ROOM
    return [
        (YELLOW, disc(ox + 45, oy + 45, 45)),  # the disc: DrawOval(0, 0, 90, 90)
        (WHITE, disc(ox + 25, oy + 40, 15)),   # eye whites: DrawOval(10, 25, 30, 30), (50, 25, ...)
        (WHITE, disc(ox + 65, oy + 40, 15)),
        (BLACK, disc(ox + 25, oy + 40, 10)),   # pupils: DrawOval(15, 30, 20, 20), (55, 30, ...)
        (BLACK, disc(ox + 65, oy + 40, 10)),
        (BLACK, arc_stroke(ox + 45, oy + 52, 20, 35, 145, 3.5)),  # the smile
    ]


def render(size):
    """Straight RGBA bytes, row by row, of the face at size x size pixels."""
    scale = size / UNITS
    layers = face_layers()
    out = bytearray()
    for py in range(size):
        y = (py + 0.5) / scale
        for px in range(size):
            x = (px + 0.5) / scale
            r = g = b = a = 0.0  # premultiplied while painting
            for colour, distance in layers:
                # Coverage from the distance in pixels: half a pixel either side of the edge.
                c = min(max(0.5 - distance(x, y) * scale, 0.0), 1.0)
                if c <= 0:
                    continue
                r = colour[0] * c + r * (1 - c)
                g = colour[1] * c + g * (1 - c)
                b = colour[2] * c + b * (1 - c)
                a = c + a * (1 - c)
            if a <= 0:
                out += b"\0\0\0\0"
            else:
                out += bytes((round(r / a), round(g / a), round(b / a), round(a * 255)))
    return bytes(out)


def write_png(path, size, rgba):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    stride = size * 4
    raw = b"".join(b"\0" + rgba[y * stride:(y + 1) * stride] for y in range(size))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: make_icons.py OUTPUT_DIR [SIZE ...]")
    out_dir = sys.argv[1]
    sizes = [int(s) for s in sys.argv[2:]] or [48, 64, 128, 256]
    os.makedirs(out_dir, exist_ok=True)
    for size in sizes:
        path = os.path.join(out_dir, f"moody-{size}.png")
        write_png(path, size, render(size))


if __name__ == "__main__":
    main()
