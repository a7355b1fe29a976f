#!/usr/bin/env python3
"""Draws the game's ten pictures and writes them as PNG files into resources/pictures/.

Standard library only. Shapes are rendered by supersampling: each pixel is split into SS x SS
samples and its coverage is the share of samples inside the shape. Lettering uses a small stroke
font (round pen, round ends) designed here for the few lowercase letters the pictures need.

Usage: python3 scripts/make_pictures.py [output directory]
"""
import math
import os
import struct
import sys
import zlib

SS = 4  # samples per pixel side

GREY, RGB, RGBA = 0, 2, 6
CHANNELS = {GREY: 1, RGB: 3, RGBA: 4}


# ---------------------------------------------------------------------------------------------
# PNG output

def write_png(path, width, height, colour_type, pixels):
    """pixels: a flat list of channel values (0..255), row by row from the top."""
    channels = CHANNELS[colour_type]
    assert len(pixels) == width * height * channels
    raw = bytearray()
    stride = width * channels
    for y in range(height):
        raw.append(0)  # no filter: these pictures are small and compress well as they are
        raw.extend(bytes(pixels[y * stride:(y + 1) * stride]))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------------------------------------
# Coverage masks

class Mask:
    """A supersampled boolean grid over a width x height picture."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.sw, self.sh = width * SS, height * SS
        self.bits = bytearray(self.sw * self.sh)

    @staticmethod
    def sample(i):
        return (i + 0.5) / SS

    def fill(self, inside):
        """Adds every sample (x, y) for which inside(x, y) holds (pixel coordinates)."""
        for j in range(self.sh):
            y = self.sample(j)
            row = j * self.sw
            for i in range(self.sw):
                if not self.bits[row + i] and inside(self.sample(i), y):
                    self.bits[row + i] = 1
        return self

    def stroke(self, points, radius):
        """Adds a round-pen polyline through points (pixel coordinates)."""
        if len(points) == 1:
            points = points * 2
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            self._segment(x0, y0, x1, y1, radius)
        return self

    def _segment(self, x0, y0, x1, y1, r):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy
        r2 = r * r
        i0 = max(int((min(x0, x1) - r) * SS) - 1, 0)
        i1 = min(int((max(x0, x1) + r) * SS) + 1, self.sw - 1)
        j0 = max(int((min(y0, y1) - r) * SS) - 1, 0)
        j1 = min(int((max(y0, y1) + r) * SS) + 1, self.sh - 1)
        for j in range(j0, j1 + 1):
            y = self.sample(j)
            row = j * self.sw
            for i in range(i0, i1 + 1):
                if self.bits[row + i]:
                    continue
                x = self.sample(i)
                t = 0.0 if length2 == 0 else ((x - x0) * dx + (y - y0) * dy) / length2
                t = min(max(t, 0.0), 1.0)
                ex, ey = x0 + t * dx - x, y0 + t * dy - y
                if ex * ex + ey * ey <= r2:
                    self.bits[row + i] = 1

    def coverage(self):
        """Per-pixel coverage 0..1, row by row."""
        out = []
        area = SS * SS
        for py in range(self.height):
            for px in range(self.width):
                n = 0
                for j in range(py * SS, py * SS + SS):
                    row = j * self.sw + px * SS
                    n += sum(self.bits[row:row + SS])
                out.append(n / area)
        return out


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def both(*shapes):
    return lambda x, y: all(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def curve(f, x0, x1, steps=64):
    """Points of y = f(x) for x from x0 to x1."""
    return [(x0 + (x1 - x0) * k / steps, f(x0 + (x1 - x0) * k / steps)) for k in range(steps + 1)]


class Canvas:
    """Straight (non-premultiplied) RGBA in floats, painted source-over."""

    def __init__(self, width, height, background=(0, 0, 0, 0.0)):
        self.width, self.height = width, height
        self.px = [list(background) for _ in range(width * height)]

    def paint(self, mask, colour, alpha=1.0):
        for p, c in zip(self.px, mask.coverage()):
            a = c * alpha
            if a <= 0:
                continue
            out_a = a + p[3] * (1 - a)
            for k in range(3):
                p[k] = (colour[k] * a + p[k] * p[3] * (1 - a)) / out_a
            p[3] = out_a

    def rgba(self):
        out = []
        for r, g, b, a in self.px:
            if a <= 0:
                out += [0, 0, 0, 0]
            else:
                out += [round(r), round(g), round(b), round(a * 255)]
        return out


# ---------------------------------------------------------------------------------------------
# The stroke font. Units: baseline y = 0, x-height 1, ascenders 1.5, descenders down to -0.55,
# y pointing up. Each glyph is (advance width, [polylines]).

def arc(cx, cy, rx, ry, a0, a1, steps=None):
    """Points on an elliptic arc from angle a0 to a1 (degrees, counter-clockwise positive)."""
    steps = steps or max(int(abs(a1 - a0) / 6), 2)
    angles = [math.radians(a0 + (a1 - a0) * k / steps) for k in range(steps + 1)]
    return [(cx + rx * math.cos(a), cy + ry * math.sin(a)) for a in angles]


def _glyphs():
    bowl = arc(0.4, 0.5, 0.4, 0.5, 0, 360, 72)
    return {
        " ": (0.35, []),
        "a": (0.76, [arc(0.38, 0.5, 0.38, 0.5, 0, 360, 72), [(0.76, 1.0), (0.76, 0.0)]]),
        "d": (0.76, [arc(0.38, 0.5, 0.38, 0.5, 0, 360, 72), [(0.76, 1.5), (0.76, 0.0)]]),
        "e": (0.8, [[(0.03, 0.5), (0.8, 0.5)] + arc(0.4, 0.5, 0.4, 0.5, 0, 315)]),
        "f": (0.55, [arc(0.47, 1.27, 0.25, 0.23, 20, 180) + [(0.22, 0.0)],
                     [(0.0, 0.95), (0.5, 0.95)]]),
        "i": (0.0, [[(0.0, 1.0), (0.0, 0.0)], [(0.0, 1.42)]]),
        "l": (0.0, [[(0.0, 1.55), (0.0, 0.0)]]),
        "m": (1.28, [[(0.0, 1.0), (0.0, 0.0)],
                     [(0.0, 0.68)] + arc(0.32, 0.68, 0.32, 0.32, 180, 0) + [(0.64, 0.0)],
                     arc(0.96, 0.68, 0.32, 0.32, 180, 0) + [(1.28, 0.0)]]),
        "n": (0.7, [[(0.0, 1.0), (0.0, 0.0)],
                    [(0.0, 0.65)] + arc(0.35, 0.65, 0.35, 0.35, 180, 0) + [(0.7, 0.0)]]),
        "o": (0.8, [bowl]),
        "r": (0.5, [[(0.0, 1.0), (0.0, 0.0)], [(0.0, 0.55)] + arc(0.4, 0.55, 0.4, 0.45, 180, 65)]),
        "s": (0.62, [arc(0.31, 0.75, 0.3, 0.25, 25, 270) + arc(0.31, 0.25, 0.3, 0.25, 90, -155)]),
        "t": (0.5, [[(0.2, 1.35)] + arc(0.45, 0.25, 0.25, 0.25, 180, 300),
                    [(0.0, 0.95), (0.5, 0.95)]]),
        "u": (0.7, [[(0.0, 1.0)] + arc(0.35, 0.35, 0.35, 0.35, 180, 360) + [(0.7, 1.0)],
                    [(0.7, 1.0), (0.7, 0.0)]]),
        "y": (0.7, [[(0.0, 1.0)] + arc(0.35, 0.35, 0.35, 0.35, 180, 360) + [(0.7, 1.0)],
                    [(0.7, 1.0), (0.7, -0.2)] + arc(0.35, -0.2, 0.35, 0.33, 0, -160)]),
    }


GLYPHS = _glyphs()


def layout(text, gap):
    """Glyph polylines placed along the baseline, in font units; returns (polylines, bounds)."""
    placed, x = [], 0.0
    for ch in text:
        advance, lines = GLYPHS[ch]
        placed += [[(x + px, py) for px, py in line] for line in lines]
        x += advance + (gap if ch != " " else 0.0)
    xs = [p[0] for line in placed for p in line]
    ys = [p[1] for line in placed for p in line]
    return placed, (min(xs), min(ys), max(xs), max(ys))


def lettering(width, height, text, pen, gap, margin, bounce=None):
    """A mask of text in a round pen of `pen` pixels, scaled to fill the picture within margin.

    bounce(i) optionally lifts glyph i by a number of pixels (a livelier baseline)."""
    placed, (x0, y0, x1, y1) = layout(text, gap)
    avail_w = width - 2 * margin - pen
    avail_h = height - 2 * margin - pen
    scale = min(avail_w / (x1 - x0), avail_h / (y1 - y0))
    ox = (width - (x1 - x0) * scale) / 2 - x0 * scale
    oy = (height + (y1 - y0) * scale) / 2 + y0 * scale  # baseline, in pixels from the top
    mask = Mask(width, height)
    glyph_of_line = []
    for i, ch in enumerate(text):
        glyph_of_line += [i] * len(GLYPHS[ch][1])
    for line, glyph in zip(placed, glyph_of_line):
        lift = bounce(glyph) if bounce else 0.0
        mask.stroke([(ox + x * scale, oy - y * scale - lift) for x, y in line], pen / 2)
    return mask


# ---------------------------------------------------------------------------------------------
# The pictures

CURSOR = [
    "B...........",
    "BB..........",
    "BWB.........",
    "BWWB........",
    "BWWWB.......",
    "BWWWWB......",
    "BWWWWWB.....",
    "BWWWWWWB....",
    "BWWWWWWWB...",
    "BWWWWWWWWB..",
    "BWWWWWWWWWB.",
    "BWWWWWWWWWWB",
    "BWWWWWWBBBBB",
    "BWWWBWWB....",
    "BWWBBWWB....",
    "BWB..BWWB...",
    "BB...BWWB...",
    "B.....BWWB..",
    "......BWWB..",
    ".......BWWB.",
    "........BB..",
]


def cursor():
    """The arrow: tip at the top-left pixel; red is the mask colour."""
    colours = {"B": (0, 0, 0), "W": (255, 255, 255), ".": (255, 0, 0)}
    pixels = []
    for row in CURSOR:
        assert len(row) == 12
        for ch in row:
            pixels += colours[ch]
    return 12, 21, RGB, pixels


def title():
    """"moody" in fat round strokes, the letters bobbing a little."""
    bounce = lambda i: (1.5, -0.5, 1.0, -1.0, 0.5)[i]
    mask = lettering(192, 69, "moody", pen=10, gap=0.6, margin=2.5, bounce=bounce)
    return 192, 69, GREY, [round(235 * c) for c in mask.coverage()]


def credit_line():
    mask = lettering(307, 44, "a silent toy for one mouse", pen=2.6, gap=0.3, margin=5)
    return 307, 44, GREY, [round(215 * c) for c in mask.coverage()]


def end_card():
    """Black letters on a white plate; the black turns transparent when the picture is loaded."""
    mask = lettering(45, 17, "end", pen=2.5, gap=0.5, margin=1)
    pixels = []
    for c in mask.coverage():
        # Nearly covered pixels become pure black so the letters' cores are cut out cleanly.
        pixels += [0 if c > 0.85 else round(255 * (1 - c))] * 3
    return 45, 17, RGB, pixels


BLACK = (0, 0, 0)
DARK_RED = (112, 14, 22)
TONGUE = (214, 78, 88)


def mouth1():
    """An open mouth: black rim, dark red inside, a tongue at the bottom."""
    canvas = Canvas(30, 16)
    outer = ellipse(15, 8, 14.7, 7.7)
    inner = ellipse(15, 8, 12.6, 5.7)
    canvas.paint(Mask(30, 16).fill(outer), BLACK)
    canvas.paint(Mask(30, 16).fill(inner), DARK_RED)
    canvas.paint(Mask(30, 16).fill(both(inner, ellipse(15, 14.5, 8.5, 4.5))), TONGUE)
    return 30, 16, RGBA, canvas.rgba()


def mouth2():
    """A wide smile whose line wavers a little."""
    canvas = Canvas(40, 20)
    def smile(x):
        return 5.0 + 7.5 * (1 - ((x - 20) / 16.5) ** 2) - math.cos((x - 20) * 2 * math.pi / 11)
    canvas.paint(Mask(40, 20).stroke(curve(smile, 3.5, 36.5), 1.5), BLACK)
    return 40, 20, RGBA, canvas.rgba()


def mouth3():
    """A big laughing mouth: flat top curling up at the corners, round bottom, red tongue."""
    canvas = Canvas(40, 36)

    def mouth(shrink):
        top = lambda x: 3.2 + 3.0 * (1 - ((x - 20) / 19) ** 2) + shrink
        bowl = ellipse(20, 3.0, 19.0 - shrink, 32.2 - shrink)
        return lambda x, y: y >= top(x) and bowl(x, y)

    canvas.paint(Mask(40, 36).fill(mouth(0.0)), BLACK)
    canvas.paint(Mask(40, 36).fill(mouth(2.2)), DARK_RED)
    canvas.paint(Mask(40, 36).fill(both(mouth(2.2), ellipse(20, 31.5, 11.5, 7.5))), TONGUE)
    return 40, 36, RGBA, canvas.rgba()


def mouth4():
    """A short frown; turned over it reads as a small smile."""
    canvas = Canvas(22, 6)
    frown = lambda x: 1.6 + 2.9 * ((x - 11) / 9.2) ** 2
    canvas.paint(Mask(22, 6).stroke(curve(frown, 1.8, 20.2), 1.1), BLACK)
    return 22, 6, RGBA, canvas.rgba()


def mouth5():
    """An uneasy, wavering line."""
    canvas = Canvas(29, 6)
    def waver(x):
        return 3.0 + 1.25 * math.sin((x - 1.5) * 2 * math.pi / 8.6) * (0.7 + 0.3 * math.sin(x))
    canvas.paint(Mask(29, 6).stroke(curve(waver, 1.5, 27.5, 96), 0.95), BLACK)
    return 29, 6, RGBA, canvas.rgba()


def eye2():
    """A thin eye outline."""
    canvas = Canvas(30, 30)
    ring = minus(ellipse(15, 15, 14.6, 14.6), ellipse(15, 15, 12.7, 12.7))
    canvas.paint(Mask(30, 30).fill(ring), BLACK)
    return 30, 30, RGBA, canvas.rgba()


PICTURES = {
    "cursor.png": cursor,
    "Title.png": title,
    "title2.png": credit_line,
    "mouth1.png": mouth1,
    "mouth2.png": mouth2,
    "mouth3.png": mouth3,
    "mouth4.png": mouth4,
    "mouth5.png": mouth5,
    "eye2.png": eye2,
    "end.png": end_card,
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_dir = os.path.join(here, "..", "resources", "pictures")
    out_dir = sys.argv[1] if len(sys.argv) > 1 else default_dir
    os.makedirs(out_dir, exist_ok=True)
    for name, make in PICTURES.items():
        width, height, colour_type, pixels = make()
        path = os.path.join(out_dir, name)
        write_png(path, width, height, colour_type, pixels)
        print(f"{name}: {width}x{height}, {os.path.getsize(path)} bytes")


if __name__ == "__main__":
    main()
