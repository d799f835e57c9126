#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the window's pictures as indexed Windows bitmaps and icons, and the window icon as PNG
files for the desktop's icon theme (plain Python 3, no packages).

    app/resources/make_pictures.py [--preview DIR]

The pictures are drawn below as character grids, one character per pixel. Each button picture is
drawn so that its bottom-left pixel has the colour the button leaves out (its transparent colour).
--preview also writes each picture enlarged eight times as PNG into DIR, for looking at them.
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 colours of the standard Windows palette, in its order.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
SILVER = (192, 192, 192)
GREY = (128, 128, 128)
RED = (255, 0, 0)
BLUE = (0, 0, 255)
MAROON = (128, 0, 0)
OLIVE = (128, 128, 0)
LIME = (0, 255, 0)
GREEN = (0, 128, 0)
YELLOW = (255, 255, 0)
PALE_GREEN = (192, 220, 192)
TOOL_BAR = (128, 155, 189)


def grid(rows, colours):
    """Pixels (rows of (r, g, b)) from a character grid and a character-to-colour map."""
    width = len(rows[0])
    assert all(len(row) == width for row in rows), "ragged grid"
    return [[colours[c] for c in row] for row in rows]


# ---------------------------------------------------------------------------------------- pictures

# Exit, 16 x 16: a red door in a black frame with a white arrow leaving it, on blue.
EXIT = grid([
    "................",
    ".KKKKKKK........",
    ".KRRRRRK........",
    ".KRRRRRK........",
    ".KRRRRRK...K....",
    ".KRRRRRK...KK...",
    ".KRRRRRKKKKKWK..",
    ".KRRRRRKWWWWWWK.",
    ".KRRRWRKWWWWWWWK",
    ".KRRRRRKWWWWWWK.",
    ".KRRRRRKKKKKWK..",
    ".KRRRRRK...KK...",
    ".KRRRRRK...K....",
    ".KRRRRRK........",
    ".KKKKKKK........",
    "................",
], {".": BLUE, "K": BLACK, "R": RED, "W": WHITE})

# Start and Stop, 11 x 19: a traffic light, three discs on a black body between two white side
# columns. Start shows its green lit, Stop its red.
LIGHT = [
    "W.........W",
    "...........",
    "...rrrrr...",
    "..rrrrrrr..",
    "..rrrrrrr..",
    "..rrrrrrr..",
    "...rrrrr...",
    "...........",
    "...aaaaa...",
    "..aaaaaaa..",
    "..aaaaaaa..",
    "..aaaaaaa..",
    "...aaaaa...",
    "...........",
    "...ggggg...",
    "..ggggggg..",
    "..ggggggg..",
    "..ggggggg..",
    "...ggggg...",
]
LIGHT = ["W" + row[1:-1] + "W" for row in LIGHT]
LIGHT[-1] = "WW" + LIGHT[-1][2:-2] + "WW"
LIGHT[0] = "WW" + LIGHT[0][2:-2] + "WW"
START = grid(LIGHT, {"W": WHITE, ".": BLACK, "r": MAROON, "a": OLIVE, "g": LIME})
STOP = grid(LIGHT, {"W": WHITE, ".": BLACK, "r": RED, "a": OLIVE, "g": GREEN})

# Store and Fetch, 16 x 16: a black-edged box with a silver arrow going into it (Store) or coming out
# of it (Fetch), on red.
ARROW_DOWN = [
    "......KKKK......",
    "......KSSK......",
    "......KSSK......",
    "......KSSK......",
    "...KKKKSSKKKK...",
    "....KSSSSSSK....",
    ".....KSSSSK.....",
    "......KSSK......",
    ".KKKKKKKKKKKKKK.",
]
ARROW_UP = [
    ".......KK.......",
    "......KSSK......",
    ".....KSSSSK.....",
    "....KSSSSSSK....",
    "...KKKKSSKKKK...",
    "......KSSK......",
    "......KSSK......",
    "......KSSK......",
    ".KKKKKKSSKKKKKK.",
]
BOX = [
    ".KBBBBBBBBBBBBK.",
    ".KBBBBBBBBBBBBK.",
    ".KBBBKKKKKKBBBK.",
    ".KBBBBBBBBBBBBK.",
    ".KBBBBBBBBBBBBK.",
    ".KKKKKKKKKKKKKK.",
    "................",
]
STORE = grid(ARROW_DOWN + BOX, {".": RED, "K": BLACK, "S": SILVER, "B": OLIVE})
FETCH = grid(ARROW_UP + BOX, {".": RED, "K": BLACK, "S": SILVER, "B": (176, 168, 0)})

# Delete, 14 x 14: a dark red cross, lit white along its top and left edges, on pale green.
def cross():
    size = 14
    red = {(x, y) for y in range(2, 12) for x in range(2, 12) if abs(x - y) <= 1 or abs(x + y - 13) <= 1}
    rows = []
    for y in range(size):
        row = ""
        for x in range(size):
            if (x, y) in red:
                row += "R"
            elif (x + 1, y) in red or (x, y + 1) in red:
                row += "W"
            else:
                row += "."
        rows.append(row)
    return rows


DELETE = grid(cross(), {".": PALE_GREEN, "W": WHITE, "R": MAROON})


# The client area's tile, 8 x 8: silver with two small raised dots, lit white from the top left and
# shaded grey at the bottom right.
TILE = grid([
    "........",
    ".W......",
    "..G.....",
    "........",
    "........",
    ".....W..",
    "......G.",
    "........",
], {".": SILVER, "W": WHITE, "G": GREY})


def flag_icon(shaded, size=32):
    """The window icon: a chequered flag waving on a pole. Returns pixels (None is clear).

    Drawn for 32 x 32; other sizes are drawn anew on their own pixel grid (each length scaled and
    rounded, lines kept one pixel wide), so that no size is a blurred copy of another."""

    def scaled(length):
        return int(length * size / 32 + 0.5)

    pixels = [[None] * size for _ in range(size)]
    pole_left, pole_width = scaled(4), max(2, scaled(3))
    # One clear column at least right of the flag's edge, as below the pole.
    flag_left, flag_right = pole_left + pole_width, size - 1 - max(1, scaled(1))
    flag_height, amplitude = 4 * scaled(4), max(1, scaled(2))
    # One clear row at least above the flag's edge where it waves highest.
    flag_top = max(scaled(4), amplitude + 2)
    dark, light = ((96, 64, 32), (160, 112, 64)) if shaded else (MAROON, MAROON)
    for y in range(scaled(2), size - 1):
        for x in range(pole_left, flag_left):
            edge = x == flag_left - 1 or (x == pole_left and pole_width > 2)
            pixels[y][x] = dark if edge else light
        if not shaded:
            pixels[y][flag_left - 1] = BLACK
    knob_top = max(0, scaled(1))
    for y in range(knob_top, scaled(4)):
        for x in range(pole_left, flag_left):
            pixels[y][x] = (255, 216, 0) if shaded else YELLOW
    if pole_width > 2:
        pixels[knob_top][pole_left] = pixels[knob_top][flag_left - 1] = None
    for x in range(flag_left, flag_right + 1):
        phase = (x - flag_left) / (flag_right - flag_left) * 2 * math.pi
        drop = round(amplitude * math.sin(phase))
        light = 0.82 + 0.18 * math.cos(phase)
        for y in range(flag_top - 1 + drop, flag_top + flag_height + 1 + drop):
            inside = flag_top + drop <= y < flag_top + flag_height + drop and x < flag_right
            if not inside:
                pixels[y][x] = BLACK
                continue
            square = ((x - flag_left) // (flag_height // 4) + (y - flag_top - drop) // (flag_height // 4)) % 2
            if not shaded:
                pixels[y][x] = BLACK if square else (WHITE if light > 0.75 else SILVER)
            else:
                level = 40 if square else 255
                pixels[y][x] = tuple(round(level * light) for _ in range(3))
    return pixels


def mix(dark, light, t):
    return tuple(d + (l - d) * t for d, l in zip(dark, light))


def flag_shape(u, v, outline):
    """The colour of the flag drawing at (u, v), both 0 to 1 across the drawing from its top left
    corner, or None where it is clear. outline is the width of the flag's black edge."""
    pole_left, pole_right = 0.04, 0.14
    knob_x, knob_y, knob_r = 0.09, 0.075, 0.075
    d = math.hypot(u - knob_x, v - knob_y)
    if d <= knob_r:
        # A gold ball lit from the top left.
        glow = math.hypot(u - knob_x + 0.35 * knob_r, v - knob_y + 0.35 * knob_r) / (1.35 * knob_r)
        return mix((255, 236, 120), (176, 120, 0), min(1.0, glow))
    if pole_left <= u <= pole_right and knob_y <= v <= 1:
        # A round wooden pole: light down its middle, dark at its edges.
        across = (u - pole_left) / (pole_right - pole_left)
        return mix((80, 52, 24), (184, 132, 80), math.sin(math.pi * across) ** 0.6)
    flag_left, flag_right, flag_height = pole_right - outline, 1.0, 0.52
    if not flag_left <= u <= flag_right:
        return None
    phase = (u - flag_left) / (flag_right - flag_left) * 2 * math.pi
    top = 0.13 + 0.06 * math.sin(phase)
    if not top - outline <= v <= top + flag_height + outline:
        return None
    if u > flag_right - outline or v < top or v > top + flag_height:
        return BLACK
    square = flag_height / 4
    dark = (int((u - flag_left) / square) + int((v - top) / square)) % 2
    light = 0.82 + 0.18 * math.cos(phase)
    level = (40 if dark else 255) * light
    return (level, level, level)


def drawn_flag(size, samples=4):
    """The window icon drawn at size x size from its shapes, for the sizes that show it large. Each
    pixel is sampled samples x samples times, so that its edges are smooth; the drawing keeps a
    sixteenth of the size clear on every side, as icon themes pad their application icons. Returns
    pixels of (r, g, b, alpha), or None where clear."""
    margin = size / 16
    span = size - 2 * margin
    outline = max(1.25 / span, 0.02)
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(samples):
                for sx in range(samples):
                    u = (px + (sx + 0.5) / samples - margin) / span
                    v = (py + (sy + 0.5) / samples - margin) / span
                    colour = flag_shape(u, v, outline) if 0 <= u <= 1 and 0 <= v <= 1 else None
                    if colour is not None:
                        covered += 1
                        total = [t + c for t, c in zip(total, colour)]
            if covered == 0:
                row.append(None)
            else:
                row.append(tuple(round(t / covered) for t in total) +
                           (round(255 * covered / samples ** 2),))
        pixels.append(row)
    return pixels


# ---------------------------------------------------------------------------------------- writers


def palette_of(pixels, size):
    """The picture's colours first, in order of appearance, then black up to size entries."""
    colours = []
    for row in pixels:
        for c in row:
            if c is not None and c not in colours:
                colours.append(c)
    assert len(colours) <= size, "too many colours"
    return colours + [BLACK] * (size - len(colours))


def dib(pixels, bits, palette, with_mask):
    """A device-independent bitmap: info header, palette, rows bottom-up (plus the AND mask of an
    icon, whose info header then counts both bitmaps in its height)."""
    height = len(pixels)
    width = len(pixels[0])
    index = {c: i for i, c in reversed(list(enumerate(palette)))}
    stride = (width * bits + 31) // 32 * 4
    rows = b""
    for row in reversed(pixels):
        indices = [index[c if c is not None else BLACK] for c in row]
        if bits == 8:
            data = bytes(indices)
        else:
            indices += [0] * (len(indices) % 2)
            data = bytes(indices[i] << 4 | indices[i + 1] for i in range(0, len(indices), 2))
        rows += data + b"\0" * (stride - len(data))
    mask = b""
    if with_mask:
        mask_stride = (width + 31) // 32 * 4
        for row in reversed(pixels):
            bits_row = 0
            for x, c in enumerate(row):
                if c is None:
                    bits_row |= 1 << (mask_stride * 8 - 1 - x)
            mask += bits_row.to_bytes(mask_stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, width, height * (2 if with_mask else 1), 1, bits, 0,
                         len(rows) + len(mask), 2835, 2835, len(palette), 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + table + rows + mask


def write_bmp(name, pixels, colours):
    bits = 4 if colours == 16 else 8
    palette = VGA16 if colours == 16 else palette_of(pixels, 256)
    body = dib(pixels, bits, palette, with_mask=False)
    offset = 14 + 40 + 4 * len(palette)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body)


def quantise(pixels, palette):
    def nearest(c):
        return min(palette, key=lambda p: sum((a - b) ** 2 for a, b in zip(c, p)))
    return [[None if c is None else nearest(c) for c in row] for row in pixels]


def write_icon(name, images):
    """An icon file holding the images, each given as (pixels, colours)."""
    entries = b""
    bodies = b""
    offset = 6 + 16 * len(images)
    for pixels, colours in images:
        bits = 4 if colours == 16 else 8
        palette = VGA16 if colours == 16 else palette_of(pixels, 256)
        body = dib(pixels, bits, palette, with_mask=True)
        entries += struct.pack("<BBBBHHII", len(pixels[0]) % 256, len(pixels) % 256,
                               colours if colours < 256 else 0, 0, 1, bits, len(body), offset)
        bodies += body
        offset += len(body)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries + bodies)


def write_png(path, pixels, zoom=1, clear_shows=None):
    """The picture as PNG, each pixel enlarged to zoom x zoom. A pixel is (r, g, b), or (r, g, b,
    alpha) where it is partly clear. Clear pixels are transparent, or show in the colour clear_shows
    when one is given (the file then has no alpha channel)."""
    with_alpha = clear_shows is None
    rows = b""
    for row in pixels:
        if with_alpha:
            line = b"".join(bytes(c[:4] + (255,) * (4 - len(c)) if c is not None else (0, 0, 0, 0)) * zoom
                            for c in row)
        else:
            line = b"".join(bytes(c[:3] if c is not None else clear_shows) * zoom for c in row)
        rows += (b"\0" + line) * zoom

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", len(pixels[0]) * zoom, len(pixels) * zoom, 8, 6 if with_alpha else 2, 0,
                         0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
                chunk(b"IEND", b""))


def write_preview(path, pixels, zoom=8):
    """An enlarged PNG of the picture; clear pixels show as magenta."""
    write_png(path, pixels, zoom, clear_shows=(255, 0, 255))


def write_theme_icons():
    """The window icon for the desktop's icon theme, hicolor/track-manager-SIZE.png, each size drawn
    on its own: the small ones pixel by pixel (32 is the window icon's 256-colour picture), the large
    ones from the shapes with smooth edges."""
    folder = os.path.join(HERE, "hicolor")
    os.makedirs(folder, exist_ok=True)
    for size in (16, 32, 48, 64, 128, 256):
        pixels = flag_icon(shaded=True, size=size) if size <= 48 else drawn_flag(size)
        write_png(os.path.join(folder, "track-manager-%d.png" % size), pixels)


def main():
    bitmaps = {
        "exit.bmp": (EXIT, 256),
        "start.bmp": (START, 16),
        "stop.bmp": (STOP, 16),
        "store.bmp": (STORE, 256),
        "fetch.bmp": (FETCH, 256),
        "delete.bmp": (DELETE, 256),
        "tile.bmp": (TILE, 256),
    }
    for name, (pixels, colours) in bitmaps.items():
        write_bmp(name, pixels, colours)
    icon16 = quantise(flag_icon(shaded=False), VGA16)
    icon256 = flag_icon(shaded=True)
    write_icon("track-manager.ico", [(icon16, 16), (icon256, 256)])
    write_theme_icons()

    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        os.makedirs(sys.argv[2], exist_ok=True)
        for name, (pixels, _) in bitmaps.items():
            write_preview(os.path.join(sys.argv[2], name.replace(".bmp", ".png")), pixels)
        write_preview(os.path.join(sys.argv[2], "icon16.png"), icon16)
        write_preview(os.path.join(sys.argv[2], "icon256.png"), icon256)
        # The button pictures as the tool bar shows them, their transparent colour left out.
        pictures = [bitmaps[n][0] for n in ("exit.bmp", "start.bmp", "stop.bmp", "store.bmp", "fetch.bmp",
                                            "delete.bmp")] + [icon16, icon256]
        sheet = [[TOOL_BAR] * (sum(len(p[0]) + 4 for p in pictures) + 4) for _ in range(40)]
        left = 4
        for pixels in pictures:
            clear = pixels[-1][0]
            for y, row in enumerate(pixels):
                for x, c in enumerate(row):
                    if c is not None and c != clear:
                        sheet[4 + y][left + x] = c
            left += len(pixels[0]) + 4
        write_preview(os.path.join(sys.argv[2], "sheet.png"), sheet, zoom=5)


if __name__ == "__main__":
    main()
