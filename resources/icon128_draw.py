#!/usr/bin/env python3
"""Draws icon 128 (a small satellite dish) as icon128_32.png and
icon128_16.png beside this script. Pure Python: shapes are sampled 4x4 per
pixel and written as RGBA PNG with zlib."""
import math
import os
import struct
import zlib

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


def colour_at(x, y):
    """Topmost shape colour at unit coordinates, or None."""
    if on_arc(x, y, 0.70, 0.30, 0.20, 0.035) or on_arc(x, y, 0.70, 0.30, 0.32, 0.035):
        return WAVE
    if math.hypot(x - 0.70, y - 0.30) <= 0.07:
        return HORN
    if near_segment(x, y, 0.40, 0.48, 0.68, 0.32, 0.035):
        return ARM
    tilt = math.radians(-40)
    if in_ellipse(x, y, 0.38, 0.46, 0.33, 0.15, tilt + math.pi / 2 - 0.3):
        if in_ellipse(x, y, 0.38, 0.46, 0.27, 0.10, tilt + math.pi / 2 - 0.3):
            return DISH
        return RIM
    if near_segment(x, y, 0.42, 0.55, 0.50, 0.86, 0.05):
        return ARM
    if 0.28 <= x <= 0.72 and 0.84 <= y <= 0.94:
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


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    for size in (32, 16):
        write_png(os.path.join(here, "icon128_%d.png" % size), size, render(size))
