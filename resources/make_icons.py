#!/usr/bin/env python3
"""Draws the three 16-colour icons (application, ON, OFF) at 32x32, with a
16x16 drawing of each beside it for the tray, and writes them as .ico files.
Run from anywhere: python3 resources/make_icons.py"""
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
CLEAR = None

# 5x7 letters for the O, N and F of the state icons.
FONT = {
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
}


def blank(size=32):
    return [[CLEAR] * size for _ in range(size)]


def disc(img, cx, cy, r, colour, rim=None):
    size = len(img)
    for y in range(size):
        for x in range(size):
            d = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2
            if d <= r * r:
                img[y][x] = colour
                if rim is not None and d > (r - 1.6) ** 2:
                    img[y][x] = rim


def text(img, word, top, colour, scale=1):
    width = (len(word) * 6 - 1) * scale
    left = (len(img) - width) // 2
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


def small_state_icon(on):
    """At tray size letters blur: a green lit lamp for ON, a grey one with a
    red bar for OFF."""
    img = blank(16)
    if on:
        disc(img, 8, 8, 7.5, GREEN, rim=DKGREEN)
        disc(img, 6, 6, 2.2, WHITE)
    else:
        disc(img, 8, 8, 7.5, SILVER, rim=GRAY)
        for y in range(7, 10):
            for x in range(3, 13):
                img[y][x] = RED
    return img


def small_leaf():
    img = blank(16)
    disc(img, 8, 8, 7.5, DKGREEN, rim=BLACK)
    for cx, cy in ((5.5, 6), (10.5, 6), (8, 10.5)):
        disc(img, cx, cy, 2.6, GREEN)
    return img


def bitmap(img):
    size = len(img)
    mask_row = ((size + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):  # bottom-up
        line = img[y]
        row = bytearray()
        for x in range(0, size, 2):
            a = line[x] if line[x] is not None else 0
            b = line[x + 1] if line[x + 1] is not None else 0
            row.append((a << 4) | b)
        row += b"\0" * (-len(row) % 4)
        pixels += row
        bits = 0
        for x in range(size):
            bits = (bits << 1) | (1 if line[x] is None else 0)
        mask += (bits << (mask_row * 8 - size)).to_bytes(mask_row, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(pixels) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(pixels) + bytes(mask)


def ico(*imgs):
    images = [bitmap(img) for img in imgs]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for img, data in zip(imgs, images):
        out += struct.pack("<BBBBHHII", len(img), len(img), 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    app = blank()
    leaf(app)
    icons = (
        ("app.ico", (app, small_leaf())),
        ("on.ico", (state_icon(True), small_state_icon(True))),
        ("off.ico", (state_icon(False), small_state_icon(False))),
    )
    for name, imgs in icons:
        with open(os.path.join(here, name), "wb") as f:
            f.write(ico(*imgs))


if __name__ == "__main__":
    main()
