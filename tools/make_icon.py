#!/usr/bin/env python3
"""Draws the KEP application icon and writes it as res/kep.ico.

The picture is a framed photograph: a white mat with a dark rim around a
sky, a sun and two hills. Each size (48, 32, 16) is rendered on its own
with 4 x 4 supersampling, so the small image stays crisp, and stored as a
32-bit BMP entry with alpha plus the 1-bit AND mask older systems expect.

Usage: tools/make_icon.py [output.ico]
"""
import os
import struct
import sys

SIZES = (48, 32, 16)
SUPERSAMPLE = 4


def rounded_rect_contains(x, y, left, top, right, bottom, radius):
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def below_ridge(x, y, peak_x, peak_y, half_width, base_y):
    """True when (x, y) lies inside the triangle hill with the given peak."""
    if y > base_y:
        return True
    slope = (base_y - peak_y) / half_width
    return y >= peak_y + abs(x - peak_x) * slope


# Per size: outer rectangle (left, top, right, bottom) in pixel edges, rim and
# mat widths in whole pixels, corner radius. Keeping the frame on the pixel
# grid is what keeps the small sizes sharp.
LAYOUT = {
    48: ((1, 5, 47, 43), 2, 3, 3.0),
    32: ((0, 3, 32, 29), 2, 2, 2.0),
    16: ((0, 1, 16, 15), 1, 1, 1.0),
}


def sample(x, y, size):
    """Colour (r, g, b, a) at pixel coordinates (x, y) of an icon of that size."""
    outer, rim, mat, radius = LAYOUT[size]
    if not rounded_rect_contains(x, y, *outer, radius):
        return (0, 0, 0, 0)
    inner = (outer[0] + rim, outer[1] + rim, outer[2] - rim, outer[3] - rim)
    if not (inner[0] <= x <= inner[2] and inner[1] <= y <= inner[3]):
        return (60, 60, 72, 255)                      # dark rim
    pic = (inner[0] + mat, inner[1] + mat, inner[2] - mat, inner[3] - mat)
    if not (pic[0] <= x <= pic[2] and pic[1] <= y <= pic[3]):
        return (250, 250, 246, 255)                   # white mat
    # Inside the photograph, in its own unit coordinates.
    u = (x - pic[0]) / (pic[2] - pic[0])
    v = (y - pic[1]) / (pic[3] - pic[1])
    if below_ridge(u, v, 0.68, 0.50, 0.55, 1.0):
        shade = 1.0 - 0.25 * v
        return (int(40 * shade), int(150 * shade), int(70 * shade), 255)  # far hill
    if below_ridge(u, v, 0.25, 0.36, 0.50, 1.0):
        shade = 1.0 - 0.25 * v
        return (int(30 * shade), int(110 * shade), int(55 * shade), 255)  # near hill
    if (u - 0.72) ** 2 + ((v - 0.28) * (pic[3] - pic[1]) / (pic[2] - pic[0])) ** 2 <= 0.14 ** 2:
        return (255, 200, 40, 255)                    # sun
    return (int(70 + 110 * v), int(140 + 80 * v), 235, 255)  # sky, lighter low


def render(size):
    """Rows of (r, g, b, a) tuples, top row first."""
    rows = []
    for j in range(size):
        row = []
        for i in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sj in range(SUPERSAMPLE):
                for si in range(SUPERSAMPLE):
                    x = i + (si + 0.5) / SUPERSAMPLE
                    y = j + (sj + 0.5) / SUPERSAMPLE
                    r, g, b, a = sample(x, y, size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SUPERSAMPLE * SUPERSAMPLE
            a = acc[3] / n
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(c / acc[3])) for c in acc[:3]) + (int(round(a)),))
        rows.append(row)
    return rows


def bmp_entry(rows):
    """BITMAPINFOHEADER, bottom-up BGRA pixels and the AND mask of one icon image."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for i, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[i // 8] |= 0x80 >> (i % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def write_ico(path, images):
    count = len(images)
    out = bytearray(struct.pack('<HHH', 0, 1, count))
    offset = 6 + 16 * count
    blobs = []
    for size, blob in images:
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    for blob in blobs:
        out += blob
    with open(path, 'wb') as f:
        f.write(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'res', 'kep.ico')
    write_ico(path, [(s, bmp_entry(render(s))) for s in SIZES])


if __name__ == '__main__':
    main()
