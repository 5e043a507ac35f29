#!/usr/bin/env python3
"""Packs the PNG renderings of this folder into the .ico files of the Windows program.

    python3 assets/make-windows-icons.py

Small sizes go in as 32-bit DIBs, which every Windows and Wine draws; 256 px goes in as
the PNG itself, as Windows expects at that size. A 16 px image missing from the renderings
is made from the 32 px one by averaging each 2 x 2 block, which keeps the drawing's own
anti-aliasing. The output is byte-for-byte repeatable.
"""

import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def read_png(path):
    """Width, height and rows of RGBA bytes of an 8-bit RGB or RGBA, non-interlaced PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        sys.exit(f"{path}: only 8-bit RGB or RGBA, non-interlaced PNGs are handled")
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + pred) & 0xFF
        rows.append(line if channels == 4 else
                    bytearray(b for j in range(width) for b in (*line[j * 3:j * 3 + 3], 255)))
        previous = line
    return width, height, rows


def halve(width, height, rows):
    out = []
    for y in range(0, height, 2):
        line = bytearray()
        for x in range(0, width, 2):
            pixels = [rows[y + dy][(x + dx) * 4:(x + dx) * 4 + 4] for dy in (0, 1) for dx in (0, 1)]
            alpha = sum(p[3] for p in pixels)
            for c in range(3):
                # Weighted by coverage, so transparent pixels lend no colour to the edge.
                line.append(round(sum(p[c] * p[3] for p in pixels) / alpha) if alpha else 0)
            line.append(round(alpha / 4))
        out.append(line)
    return width // 2, height // 2, out


def dib(width, height, rows):
    """A 32-bit BGRA DIB with its AND mask, bottom row first, as an icon entry holds it."""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for line in reversed(rows):
        for x in range(width):
            r, g, b, a = line[x * 4:x * 4 + 4]
            pixels += bytes((b, g, r, a))
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for line in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(width):
            if line[x * 4 + 3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + mask


def write_ico(path, entries):
    """entries: (size, bytes) pairs, smallest first."""
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for size, blob in entries:
        side = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, blob in entries:
        out += blob
    with open(path, "wb") as f:
        f.write(out)
    print(f"  {os.path.relpath(path)} ({', '.join(str(s) for s, _ in entries)} px)")


def png(name):
    return read_png(os.path.join(HERE, name))


def main():
    big = png("tarnwick-32.png")
    write_ico(os.path.join(HERE, "tarnwick.ico"), [
        (16, dib(*halve(*big))),
        (32, dib(*big)),
        (48, dib(*png("tarnwick-48.png"))),
        (256, open(os.path.join(HERE, "tarnwick-256.png"), "rb").read()),
    ])
    write_ico(os.path.join(HERE, "conversion.ico"), [
        (16, dib(*png("conversion-16.png"))),
        (32, dib(*png("conversion-32.png"))),
    ])
    write_ico(os.path.join(HERE, "csvfile.ico"), [(16, dib(*png("csvfile-16.png")))])


if __name__ == "__main__":
    main()
