#!/usr/bin/env python3
"""Draws icon 128 (a small satellite dish) as icon128_32.png and
icon128_16.png beside this script, the Windows icon icon128.ico (the same
32 x 32 and 16 x 16 images, 32-bit with alpha), and the desktop icon of the installed
tool in the hicolor theme: icons/hicolor/<N>x<N>/apps/tavlink.png for
N = 16, 32, 48, 64, 128, 256 and icons/hicolor/scalable/apps/tavlink.svg.
Pure Python: shapes are sampled 4x4 per pixel and written as RGBA PNG with
zlib; the SVG draws the same shapes."""
import math
import os
import struct
import zlib

HICOLOR_SIZES = (16, 32, 48, 64, 128, 256)

RIM = (70, 78, 92)
DISH = (214, 220, 230)
ARM = (60, 66, 78)
HORN = (232, 132, 32)
WAVE = (40, 120, 220)


def in_ellipse(x, y, cx, cy, rx, ry, angle):
    c, s = math.cos(angle), math.sin(angle)
    dx, dy = x - cx, y - cy
    u, v = dx * c + dy * s, -dx * s + dy * c
    return (u / rx) ** 2 + (v / ry) ** 2 <= 1.0


def near_segment(x, y, ax, ay, bx, by, half_width):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
    px, py = ax + t * vx, ay + t * vy
    return math.hypot(x - px, y - py) <= half_width


def on_arc(x, y, cx, cy, r, half_width):
    d = math.hypot(x - cx, y - cy)
    return abs(d - r) <= half_width and x > cx and y < cy


# The shapes, in unit coordinates. colour_at and the SVG both draw from these.
WAVE_CENTRE, WAVE_RADII, WAVE_HALF_WIDTH = (0.70, 0.30), (0.20, 0.32), 0.035
HORN_CENTRE, HORN_RADIUS = (0.70, 0.30), 0.07
ARM_FROM, ARM_TO, ARM_HALF_WIDTH = (0.40, 0.48), (0.68, 0.32), 0.035
DISH_CENTRE, DISH_ANGLE = (0.38, 0.46), math.radians(-40) + math.pi / 2 - 0.3
DISH_OUTER, DISH_INNER = (0.33, 0.15), (0.27, 0.10)
STAND_FROM, STAND_TO, STAND_HALF_WIDTH = (0.42, 0.55), (0.50, 0.86), 0.05
BASE_X, BASE_Y = (0.28, 0.72), (0.84, 0.94)


def colour_at(x, y):
    """Topmost shape colour at unit coordinates, or None."""
    if any(on_arc(x, y, *WAVE_CENTRE, r, WAVE_HALF_WIDTH) for r in WAVE_RADII):
        return WAVE
    if math.hypot(x - HORN_CENTRE[0], y - HORN_CENTRE[1]) <= HORN_RADIUS:
        return HORN
    if near_segment(x, y, *ARM_FROM, *ARM_TO, ARM_HALF_WIDTH):
        return ARM
    if in_ellipse(x, y, *DISH_CENTRE, *DISH_OUTER, DISH_ANGLE):
        if in_ellipse(x, y, *DISH_CENTRE, *DISH_INNER, DISH_ANGLE):
            return DISH
        return RIM
    if near_segment(x, y, *STAND_FROM, *STAND_TO, STAND_HALF_WIDTH):
        return ARM
    if BASE_X[0] <= x <= BASE_X[1] and BASE_Y[0] <= y <= BASE_Y[1]:
        return RIM
    return None


def render(size, samples=4):
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) / size,
                                  (py + (sy + 0.5) / samples) / size)
                    if c is not None:
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                        acc[3] += 1
            n = acc[3]
            if n == 0:
                row += bytes(4)
            else:
                row += bytes([acc[0] // n, acc[1] // n, acc[2] // n, 255 * n // samples ** 2])
        rows.append(bytes(row))
    return b"".join(rows)


def write_png(path, size, pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(pixels, 9)))
        out.write(chunk(b"IEND", b""))


def ico_image(size, pixels):
    """One icon image as Windows keeps it: a BITMAPINFOHEADER of twice the
    height, the BGRA rows bottom up, then the 1-bit AND mask (transparent
    where alpha is 0), each mask row padded to 4 bytes."""
    stride = 1 + 4 * size
    rows = [pixels[y * stride + 1:(y + 1) * stride] for y in range(size)]
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = row[4 * x:4 * x + 4]
            colour += bytes([b, g, r, a])
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(colour) + len(mask),
                         0, 0, 0, 0)
    return header + bytes(colour) + bytes(mask)


def write_ico(path, images):
    """An .ico file of `images`, a list of (size, pixels) from render."""
    blobs = [ico_image(size, pixels) for size, pixels in images]
    offset = 6 + 16 * len(blobs)
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(blobs)))
        for (size, _), blob in zip(images, blobs):
            out.write(struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(blob), offset))
            offset += len(blob)
        for blob in blobs:
            out.write(blob)


def svg_text():
    """The same shapes as colour_at, bottom first, on a 256-unit canvas."""
    k = 256

    def n(v):
        return "%g" % round(v * k, 3)

    def colour(c):
        return "#%02x%02x%02x" % c

    def line(a, b, half_width, c):
        return ('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="%s" '
                'stroke-linecap="round"/>' % (n(a[0]), n(a[1]), n(b[0]), n(b[1]), colour(c),
                                              n(2 * half_width)))

    def ellipse(radii, c):
        return ('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="%s" transform="rotate(%g %s %s)"/>'
                % (n(DISH_CENTRE[0]), n(DISH_CENTRE[1]), n(radii[0]), n(radii[1]), colour(c),
                   round(math.degrees(DISH_ANGLE), 3), n(DISH_CENTRE[0]), n(DISH_CENTRE[1])))

    def arc(r):
        # The quarter ring right of and above the centre, from its top to its right end.
        cx, cy = WAVE_CENTRE
        return ('<path d="M %s %s A %s %s 0 0 1 %s %s" fill="none" stroke="%s" stroke-width="%s"/>'
                % (n(cx), n(cy - r), n(r), n(r), n(cx + r), n(cy), colour(WAVE),
                   n(2 * WAVE_HALF_WIDTH)))

    shapes = [
        '<rect x="%s" y="%s" width="%s" height="%s" fill="%s"/>'
        % (n(BASE_X[0]), n(BASE_Y[0]), n(BASE_X[1] - BASE_X[0]), n(BASE_Y[1] - BASE_Y[0]),
           colour(RIM)),
        line(STAND_FROM, STAND_TO, STAND_HALF_WIDTH, ARM),
        ellipse(DISH_OUTER, RIM),
        ellipse(DISH_INNER, DISH),
        line(ARM_FROM, ARM_TO, ARM_HALF_WIDTH, ARM),
        '<circle cx="%s" cy="%s" r="%s" fill="%s"/>'
        % (n(HORN_CENTRE[0]), n(HORN_CENTRE[1]), n(HORN_RADIUS), colour(HORN)),
    ] + [arc(r) for r in WAVE_RADII]
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
            '  <title>ZOR Link</title>\n' % (k, k, k, k)
            + "".join("  %s\n" % shape for shape in shapes) + "</svg>\n")


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    images = [(size, render(size)) for size in (32, 16)]
    for size, pixels in images:
        write_png(os.path.join(here, "icon128_%d.png" % size), size, pixels)
    write_ico(os.path.join(here, "icon128.ico"), images)
    hicolor = os.path.join(here, "icons", "hicolor")
    for size in HICOLOR_SIZES:
        folder = os.path.join(hicolor, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, "tavlink.png"), size, render(size))
    folder = os.path.join(hicolor, "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "tavlink.svg"), "w") as out:
        out.write(svg_text())
