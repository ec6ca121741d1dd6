#!/usr/bin/env python3
"""Draws ORLA's icon and button bitmaps into the build folder from the pixel art below, so no
binary image is kept in the source tree. Usage: draw_images.py <output folder>"""
import struct
import sys
from pathlib import Path

# Magenta is the image buttons' transparent colour: they take the top-left pixel as it.
KEY = (255, 0, 255)
COLOURS = {
    ".": KEY,
    "k": (32, 32, 32),
    "b": (40, 90, 170),
    "l": (150, 190, 235),
    "w": (255, 255, 255),
    "g": (130, 130, 130),
    "y": (250, 200, 40),
}

TRACK = [
    "................",
    "....kkkkk.......",
    "...kllllbk......",
    "..kllwllllk.....",
    "..klwllblbk.....",
    "..kllllllbk.....",
    "..klblllblk.....",
    "..kllllllbk.....",
    "...kbblbbk......",
    "....kkkkkyk.....",
    "..........yyk...",
    "...........yyk..",
    "............yyk.",
    ".............yk.",
    "................",
    "................",
]


def arrow(pointing_right, bar):
    rows = []
    for y in range(16):
        row = ["."] * 16
        d = abs(y - 7.5)
        if d < 6:
            width = int(6 - d) + 1
            for i in range(width):
                x = (5 + i) if pointing_right else (10 - i)
                row[x] = "k"
            if bar:
                row[12 if pointing_right else 3] = "k"
        rows.append("".join(row))
    return rows


NEXT = arrow(True, False)
LAST = arrow(True, True)
PREVIOUS = arrow(False, False)
FIRST = arrow(False, True)


def bmp_bytes(art):
    """A 24-bit bottom-up BMP file of the pixel art."""
    height, width = len(art), len(art[0])
    stride = (width * 3 + 3) & ~3
    rows = b""
    for line in reversed(art):
        row = b"".join(bytes((COLOURS[c][2], COLOURS[c][1], COLOURS[c][0])) for c in line)
        rows += row + b"\0" * (stride - len(row))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + header + rows


def icon_image(size):
    """A page with a pattern of dots and a blue band, 32-bit with alpha, as an icon entry."""
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            margin = size // 8
            inside = margin <= x < size - margin and 0 <= y < size
            if not inside:
                row.append((0, 0, 0, 0))
                continue
            edge = x in (margin, size - margin - 1) or y in (0, size - 1)
            if edge:
                row.append((90, 90, 90, 255))
            elif y < size // 4:
                row.append((170, 90, 40, 255))  # BGR: blue band
            elif (x + y) % 4 == 0 and (x // 2 + y) % 3 != 0:
                row.append((200, 120, 40, 255))
            else:
                row.append((255, 255, 255, 255))
        pixels.append(row)
    xor = b"".join(bytes(p) for row in reversed(pixels) for p in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(pixels):
        line = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def ico_bytes(sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for name, art in (("track", TRACK), ("next", NEXT), ("last", LAST), ("previous", PREVIOUS), ("first", FIRST)):
        (out / f"{name}.bmp").write_bytes(bmp_bytes(art))
    (out / "orla.ico").write_bytes(ico_bytes([32, 16]))


if __name__ == "__main__":
    main()
