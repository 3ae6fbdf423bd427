#!/usr/bin/env python3
"""Draws the program icon (a prism splitting a ray into colours) and writes
res/prismet.ico: one group, a 32x32 and a 16x16 image, 16 colours each."""
import struct
import sys

# The standard 16-colour palette, as (blue, green, red, 0) quads.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, WHITE, GREY, SILVER = 0, 15, 8, 7
RAY_COLOURS = [9, 11, 10, 14, 12, 13]  # red, yellow, green, cyan, blue, magenta


def draw(size):
    """Returns rows (top first) of palette indices, None for transparent."""
    s = size / 32.0
    pixels = [[None] * size for _ in range(size)]

    def inside_prism(x, y):
        # A triangle with its apex at the top centre-left.
        top, bottom = 3 * s, 28 * s
        if y < top or y > bottom:
            return False
        half = (y - top) / (bottom - top) * 11 * s
        return abs(x - 13 * s) <= half

    for y in range(size):
        for x in range(size):
            cx, cy = x + 0.5, y + 0.5
            # The white ray coming in from the left.
            if cx < 9 * s and abs(cy - (18 * s - cx * 0.25)) < 1.2 * s:
                pixels[y][x] = WHITE
            # The spread of colours leaving to the right.
            if cx > 17 * s:
                t = (cx - 17 * s) / (15 * s)
                top = 15 * s - t * 4 * s
                band_height = (2.2 + t * 1.6) * s
                band = int((cy - top) // band_height)
                if 0 <= band < len(RAY_COLOURS):
                    pixels[y][x] = RAY_COLOURS[band]
            if inside_prism(cx, cy):
                edge = not (inside_prism(cx - 1.2 * s, cy) and inside_prism(cx + 1.2 * s, cy)
                            and inside_prism(cx, cy - 1.2 * s) and inside_prism(cx, cy + 1.2 * s))
                pixels[y][x] = BLACK if edge else (SILVER if cx < 13 * s else GREY)
    return pixels


def image_bytes(size):
    pixels = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    xor, mask = b"", b""
    for row in reversed(pixels):  # bitmaps run bottom-up
        nibbles = [0 if p is None else p for p in row]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor += packed.ljust(xor_row, b"\0")
        bits = 0
        for i, p in enumerate(row):
            if p is None:
                bits |= 1 << (size - 1 - i)
        mask += bits.to_bytes(size // 8, "big").ljust(and_row, b"\0")
    return header + palette + xor + mask


def main(path):
    images = [(32, image_bytes(32)), (16, image_bytes(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "prismet.ico")
