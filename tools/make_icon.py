#!/usr/bin/env python3
# Draws the program icon (a globe with a rising bar chart in front of it) and writes it as a
# Windows .ico file with 16, 32 and 48 pixel images. Usage: make_icon.py OUTPUT.ico
import math
import struct
import sys

SEA = (40, 110, 200)
LAND = (60, 160, 70)
GRID = (190, 220, 250)
BARS = [(250, 200, 40), (240, 130, 30), (210, 40, 30)]
OUTLINE = (30, 30, 30)


def blend(under, over, alpha):
    return tuple(round(u * (1 - alpha) + o * alpha) for u, o in zip(under, over))


def globe_colour(u, v):
    """Colour of the globe at (u, v) in [-1, 1]^2, or None outside it."""
    r = math.hypot(u, v)
    if r > 1.0:
        return None
    z = math.sqrt(max(0.0, 1.0 - r * r))
    lon = math.atan2(u, z)
    lat = math.asin(max(-1.0, min(1.0, -v)))
    # Two continents as smooth blobs in longitude and latitude.
    land = (math.exp(-((lon + 0.5) ** 2 * 6 + (lat - 0.35) ** 2 * 5))
            + math.exp(-((lon - 0.55) ** 2 * 5 + (lat + 0.3) ** 2 * 4)))
    colour = LAND if land > 0.45 else SEA
    if min(abs(math.sin(lon * 3)), abs(math.sin(lat * 3))) < 0.08:
        colour = blend(colour, GRID, 0.6)
    shade = 0.55 + 0.45 * z  # lit from the front
    return tuple(round(c * shade) for c in colour)


def draw(size):
    """Rows of (r, g, b, a) pixels, top row first."""
    samples = 4
    pixels = []
    bar_width = 0.18
    bar_tops = [0.55, 0.25, -0.15]
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(samples):
                for sx in range(samples):
                    u = ((x + (sx + 0.5) / samples) / size) * 2 - 1
                    v = ((y + (sy + 0.5) / samples) / size) * 2 - 1
                    colour = None
                    for i, top in enumerate(bar_tops):
                        left = 0.2 + i * (bar_width + 0.06)
                        if left <= u <= left + bar_width and top <= v <= 0.95:
                            edge = min(u - left, left + bar_width - u, v - top, 0.95 - v)
                            colour = OUTLINE if edge < 0.035 else BARS[i]
                    if colour is None:
                        colour = globe_colour((u + 0.12) / 0.86, (v + 0.1) / 0.86)
                    if colour is not None:
                        covered += 1
                        for c in range(3):
                            acc[c] += colour[c]
            if covered:
                row.append(tuple(round(a / covered) for a in acc) +
                           (round(255 * covered / samples ** 2),))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def dib(size):
    """A 32-bit icon image: BITMAPINFOHEADER, bottom-up BGRA rows, then the AND mask."""
    pixels = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    body = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            body += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(body) + bytes(mask)


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_icon.py OUTPUT.ico')
    sizes = [16, 32, 48]
    images = [dib(s) for s in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(sys.argv[1], 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
