#!/usr/bin/env python3
"""Draws the program's two traffic-light icons and writes them as .ico (and, on request, .png), or
the running icon as a desktop's icon theme holds it (--hicolor NAME).

running: grey housing, bottom green lamp lit.  paused: top red lamp lit, green lamp dark.
Every image uses the 16 colours of the standard Windows palette, so the icons look the same on
any display; the shapes are computed per pixel, so any size comes out crisp.

Usage: make-icons.py OUTDIR [--png]
       make-icons.py OUTDIR --hicolor NAME
  The second form writes OUTDIR/<n>x<n>/apps/NAME.png for the theme's sizes and
  OUTDIR/scalable/apps/NAME.svg: the same running icon, as the application menu shows it.
Standard library only (struct, zlib), so the build needs nothing but Python 3.
"""

import os
import struct
import sys
import zlib

# The 16-colour Windows palette, (r, g, b).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GREEN, OLIVE, SILVER, GREY, RED, LIME, YELLOW, WHITE = 0, 1, 2, 3, 7, 8, 9, 10, 11, 15
TRANSPARENT = None

# 32x32 and 16x16 are the program's own sizes; the others keep the icon sharp on high-DPI screens.
SIZES = [16, 20, 24, 32, 40, 48, 64]
# The sizes an application's icon comes in for the hicolor theme; menus and software centres ask
# for the larger ones.
THEME_SIZES = [16, 24, 32, 48, 64, 128, 256]

# Lamps from top to bottom: (lit colour, dark colour).
LAMPS = [(RED, MAROON), (YELLOW, OLIVE), (LIME, GREEN)]
LIT = {"running": 2, "paused": 0}


# The housing: a tall rounded rectangle, in unit coordinates (0..1 across the image).
HOUSING = (0.25, 0.75, 0.02, 0.98, 0.14)  # left, right, top, bottom, corner radius


def inside_housing(x, y):
    left, right, top, bottom, radius = HOUSING
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def lamp_centre(index):
    return 0.5, 0.185 + 0.315 * index


def lamp_at(x, y, radius):
    for index in range(len(LAMPS)):
        cx, cy = lamp_centre(index)
        if (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2:
            return index
    return None


def lamp_radius(size):
    return 0.14 if size < 24 else 0.135


def draw(size, state):
    """The image as rows of palette indices (None is transparent), top row first."""
    lit = LIT[state]
    radius = lamp_radius(size)

    def centre(px, py):
        return (px + 0.5) / size, (py + 0.5) / size

    def housing(px, py):
        return 0 <= px < size and 0 <= py < size and inside_housing(*centre(px, py))

    def lamp(px, py):
        if not (0 <= px < size and 0 <= py < size):
            return None
        return lamp_at(*centre(px, py), radius)

    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            if not housing(px, py):
                row.append(TRANSPARENT)
                continue
            neighbours = [(px - 1, py), (px + 1, py), (px, py - 1), (px, py + 1)]
            if any(not housing(nx, ny) for nx, ny in neighbours):
                row.append(BLACK)  # the housing's outline
                continue
            index = lamp(px, py)
            if index is None:
                # A light left edge gives the housing some depth.
                row.append(SILVER if not housing(px - 2, py) else GREY)
                continue
            if size >= 24 and any(lamp(nx, ny) != index for nx, ny in neighbours):
                row.append(BLACK)  # the lamp's rim, where there is room for one
                continue
            on, off = LAMPS[index]
            colour = on if index == lit else off
            cx, cy = lamp_centre(index)
            x, y = centre(px, py)
            glint = (x - (cx - radius * 0.4)) ** 2 + (y - (cy - radius * 0.4)) ** 2
            if index == lit and size >= 24 and glint <= (radius * 0.22) ** 2:
                colour = WHITE  # a glint on the lit lamp
            row.append(colour)
        rows.append(row)
    return rows


def ico_image(rows):
    """One 4-bit icon image: BITMAPINFOHEADER, palette, colour bits, then the AND mask."""
    size = len(rows)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up, as bitmaps are stored
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for px, colour in enumerate(row):
            nibble = 0 if colour is None else colour
            line[px // 2] |= nibble << (4 if px % 2 == 0 else 0)
            if colour is None:
                bits[px // 8] |= 0x80 >> (px % 8)
        xor += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def ico_file(images):
    """An .ico file holding the given rows-of-indices images, smallest first."""
    count = len(images)
    directory = struct.pack("<HHH", 0, 1, count)
    offset = 6 + 16 * count
    blobs = []
    for rows in images:
        blob = ico_image(rows)
        size = len(rows)
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return directory + b"".join(blobs)


def png_file(rows):
    """An RGBA PNG of one image."""
    size = len(rows)
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter: none
        for colour in row:
            raw += bytes((0, 0, 0, 0)) if colour is None else bytes(PALETTE[colour] + (255,))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")


def svg_file(state):
    """The same picture as an SVG drawing, for any size: the large-size geometry, in a 256 box."""
    unit = 256

    def n(value):
        return "%g" % round(value * unit, 2)

    def colour(index):
        return "#%02x%02x%02x" % PALETTE[index]

    left, right, top, bottom, corner = HOUSING
    radius = lamp_radius(unit)
    edge = 3 / 64  # the light left edge beside the outline, as in the 64-pixel image
    line = 1.5 / 64  # outlines and rims
    housing = 'x="%s" y="%s" width="%s" height="%s" rx="%s"' % (
        n(left), n(top), n(right - left), n(bottom - top), n(corner))
    parts = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">' % ((unit,) * 4),
        '  <clipPath id="housing"><rect %s/></clipPath>' % housing,
        '  <rect %s fill="%s"/>' % (housing, colour(GREY)),
        '  <rect x="%s" y="%s" width="%s" height="%s" fill="%s" clip-path="url(#housing)"/>' % (
            n(left), n(top), n(edge), n(bottom - top), colour(SILVER)),
        # The outline lies inside the housing, as the pixel images draw it.
        '  <rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="none" stroke="%s" stroke-width="%s"/>' % (
            n(left + line / 2), n(top + line / 2), n(right - left - line), n(bottom - top - line),
            n(corner - line / 2), colour(BLACK), n(line)),
    ]
    for index, (on, off) in enumerate(LAMPS):
        cx, cy = lamp_centre(index)
        lit = index == LIT[state]
        parts.append('  <circle cx="%s" cy="%s" r="%s" fill="%s" stroke="%s" stroke-width="%s"/>' % (
            n(cx), n(cy), n(radius), colour(on if lit else off), colour(BLACK), n(line)))
        if lit:
            parts.append('  <circle cx="%s" cy="%s" r="%s" fill="%s"/>' % (
                n(cx - radius * 0.4), n(cy - radius * 0.4), n(radius * 0.22), colour(WHITE)))
    parts.append("</svg>\n")
    return "\n".join(parts).encode("ascii")


def write(path, data):
    # Write only when the bytes change, so the build does not relink for nothing.
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return
    with open(path, "wb") as f:
        f.write(data)


def write_theme(out, name):
    for size in THEME_SIZES:
        folder = os.path.join(out, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        write(os.path.join(folder, name + ".png"), png_file(draw(size, "running")))
    folder = os.path.join(out, "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    write(os.path.join(folder, name + ".svg"), svg_file("running"))


def main(argv):
    if len(argv) < 2 or argv[1].startswith("-"):
        print(__doc__, file=sys.stderr)
        return 2
    out = argv[1]
    if "--hicolor" in argv[2:]:
        at = argv.index("--hicolor")
        if at + 1 >= len(argv):
            print(__doc__, file=sys.stderr)
            return 2
        write_theme(out, argv[at + 1])
        return 0
    with_png = "--png" in argv[2:]
    os.makedirs(out, exist_ok=True)
    for state in ("running", "paused"):
        images = [draw(size, state) for size in SIZES]
        write(os.path.join(out, state + ".ico"), ico_file(images))
        if with_png:
            for size, rows in zip(SIZES, images):
                write(os.path.join(out, "%s-%d.png" % (state, size)), png_file(rows))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
