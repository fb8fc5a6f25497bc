#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the program's icon, view_win32/program.ico: a grey dialog with a blue title bar and two
check boxes, the upper one ticked. Run it again after changing the drawing; the build only reads
the .ico."""
import struct
import sys

GREY = (192, 192, 192)
BLUE = (0, 64, 160)
WHITE = (255, 255, 255)
DARK = (64, 64, 64)
GREEN = (0, 110, 0)


def shapes():
    """Rectangles and strokes on a 32 x 32 grid, painted in order."""
    yield ("rect", 1, 3, 31, 29, DARK)
    yield ("rect", 2, 4, 30, 28, GREY)
    yield ("rect", 2, 4, 30, 10, BLUE)
    for top in (13, 21):
        yield ("rect", 5, top, 11, top + 6, DARK)
        yield ("rect", 6, top + 1, 10, top + 5, WHITE)
        yield ("rect", 13, top + 2, 27, top + 4, DARK)
    yield ("line", 6.5, 15.5, 8, 17.5, 1.6, GREEN)
    yield ("line", 8, 17.5, 11.5, 12, 1.6, GREEN)


def covered(shape, x, y):
    if shape[0] == "rect":
        _, left, top, right, bottom, _ = shape
        return left <= x < right and top <= y < bottom
    _, x0, y0, x1, y1, width, _ = shape
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
    px, py = x0 + t * dx - x, y0 + t * dy - y
    return px * px + py * py <= (width / 2) ** 2


def render(size, samples=4):
    """BGRA rows, bottom row first, each pixel averaged over samples x samples points."""
    rows = []
    scale = 32 / size
    for row in range(size - 1, -1, -1):
        line = bytearray()
        for col in range(size):
            total = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    x = (col + (sx + 0.5) / samples) * scale
                    y = (row + (sy + 0.5) / samples) * scale
                    colour = None
                    for shape in shapes():
                        if covered(shape, x, y):
                            colour = shape[-1]
                    if colour is not None:
                        total[0] += colour[2]
                        total[1] += colour[1]
                        total[2] += colour[0]
                        total[3] += 255
            n = samples * samples
            alpha = total[3] // n
            if alpha:
                # Premultiplied sums back to straight colour.
                line += bytes([total[0] * 255 // total[3], total[1] * 255 // total[3],
                               total[2] * 255 // total[3], alpha])
            else:
                line += bytes(4)
        rows.append(bytes(line))
    return rows


def icon_image(size):
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    mask_stride = ((size + 31) // 32) * 4
    return header + b"".join(rows) + bytes(mask_stride * size)


def main(path):
    sizes = (16, 32, 48)
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "view_win32/program.ico")
