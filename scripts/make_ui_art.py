#!/usr/bin/env python3
"""Draws the splash bitmap and the program icon of the window (src/ui/res/).

Run once when the pictures change; the results are checked in.  Plain Python:
a 24-bit BMP for the splash (its border is the splash's transparent colour
D4 78 78) and an RGBA PNG for the icon.
"""
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "ui", "res")
TRANSPARENT = (0xD4, 0x78, 0x78)

GLYPHS = {
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    " ": ["00000"] * 7,
}


def blank(w, h, colour):
    return [[colour for _ in range(w)] for _ in range(h)]


def text(pix, x, y, s, scale, colour):
    for ch in s:
        for gy, row in enumerate(GLYPHS[ch]):
            for gx, bit in enumerate(row):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            pix[y + gy * scale + dy][x + gx * scale + dx] = colour
        x += 6 * scale


def inside_round_rect(x, y, left, top, right, bottom, r):
    if x < left or x >= right or y < top or y >= bottom:
        return False
    cx = min(max(x, left + r), right - 1 - r)
    cy = min(max(y, top + r), bottom - 1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def splash():
    w, h = 320, 200
    pix = blank(w, h, TRANSPARENT)
    top_c, bottom_c = (0x1F, 0x5F, 0xB0), (0x0A, 0x27, 0x55)
    for y in range(h):
        t = y / (h - 1)
        c = tuple(int(a + (b - a) * t) for a, b in zip(top_c, bottom_c))
        for x in range(w):
            if inside_round_rect(x, y, 4, 4, w - 4, h - 4, 18):
                pix[y][x] = c
    for y in range(4, 12):
        for x in range(w):
            if inside_round_rect(x, y, 4, 4, w - 4, h - 4, 18):
                pix[y][x] = (0xE1, 0x25, 0x1B)
    text(pix, 30, 18, "OSTREL", 3, (0xFF, 0xFF, 0xFF))
    text(pix, 206, 172, "LUMBRACK", 1, (0xC8, 0xD8, 0xF0))
    # Bottom row first, rows padded to four bytes.
    rows = []
    pad = (4 - (w * 3) % 4) % 4
    for y in range(h - 1, -1, -1):
        rows.append(b"".join(bytes((b, g, r)) for r, g, b in pix[y]) + b"\0" * pad)
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(ROOT, "splash.bmp"), "wb") as f:
        f.write(header + info + data)


def png(path, w, h, rgba):
    def chunk(kind, body):
        c = kind + body
        return struct.pack(">I", len(body)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rgba)
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon():
    n = 64
    clear = (0, 0, 0, 0)
    pix = [[clear for _ in range(n)] for _ in range(n)]
    for y in range(n):
        for x in range(n):
            if inside_round_rect(x, y, 2, 2, n - 2, n - 2, 12):
                pix[y][x] = (0xE1, 0x25, 0x1B, 0xFF)
    white = (0xFF, 0xFF, 0xFF, 0xFF)
    # A picture frame with a mountain and a sun.
    for y in range(14, 50):
        for x in range(12, 52):
            if y < 18 or y >= 46 or x < 16 or x >= 48:
                pix[y][x] = white
    for y in range(28, 46):
        half = (y - 28)
        for x in range(32 - half, 32 + half):
            if 16 <= x < 48:
                pix[y][x] = white
    for y in range(20, 30):
        for x in range(36, 46):
            if (x - 41) ** 2 + (y - 25) ** 2 <= 16:
                pix[y][x] = white
    png(os.path.join(ROOT, "icon.png"), n, n, pix)


if __name__ == "__main__":
    os.makedirs(ROOT, exist_ok=True)
    splash()
    icon()
