#!/usr/bin/env python3
"""Draws the three 32x32, 16-colour icons (application, ON, OFF) and writes
them as .ico files. Run from anywhere: python3 resources/make_icons.py"""
import os
import struct

# The standard 16-colour palette, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DKGREEN, GRAY, SILVER, RED, GREEN, YELLOW, WHITE, DKRED = 0, 2, 8, 7, 9, 10, 11, 15, 1
SIZE = 32
CLEAR = None

# 5x7 letters for the O, N and F of the state icons.
FONT = {
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
}


def blank():
    return [[CLEAR] * SIZE for _ in range(SIZE)]


def disc(img, cx, cy, r, colour, rim=None):
    for y in range(SIZE):
        for x in range(SIZE):
            d = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2
            if d <= r * r:
                img[y][x] = colour
                if rim is not None and d > (r - 1.6) ** 2:
                    img[y][x] = rim


def text(img, word, top, colour, scale=1):
    width = (len(word) * 6 - 1) * scale
    left = (SIZE - width) // 2
    for i, ch in enumerate(word):
        for row, bits in enumerate(FONT[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            img[top + row * scale + dy][left + (i * 6 + col) * scale + dx] = colour


def leaf(img):
    """A sorrel leaf: three heart-shaped leaflets on a stem, for the application."""
    disc(img, 16, 16, 15.5, DKGREEN, rim=BLACK)
    for cx, cy in ((11, 12), (21, 12), (16, 21)):
        disc(img, cx, cy, 5.2, GREEN)
    for y in range(20, 31):
        img[y][16] = YELLOW


def state_icon(on):
    img = blank()
    if on:
        disc(img, 16, 16, 15.5, GREEN, rim=DKGREEN)
        text(img, "ON", 9, BLACK, scale=2)
    else:
        disc(img, 16, 16, 15.5, SILVER, rim=GRAY)
        text(img, "OFF", 12, DKRED)
    return img


def ico(img):
    row_bytes = SIZE // 2
    mask_row = ((SIZE + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up
        line = img[y]
        for x in range(0, SIZE, 2):
            a = line[x] if line[x] is not None else 0
            b = line[x + 1] if line[x + 1] is not None else 0
            pixels.append((a << 4) | b)
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if line[x] is None else 0)
        mask += bits.to_bytes(mask_row, "big")
    assert len(pixels) == row_bytes * SIZE
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(pixels) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + palette + bytes(pixels) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    app = blank()
    leaf(app)
    for name, img in (("app.ico", app), ("on.ico", state_icon(True)), ("off.ico", state_icon(False))):
        with open(os.path.join(here, name), "wb") as f:
            f.write(ico(img))


if __name__ == "__main__":
    main()
