#!/usr/bin/python3
"""Prints the colour of pixels of an 8-bit RGB or RGBA PNG: png_probe.py FILE X Y [X Y ...]

A first line "WIDTH HEIGHT", then "R G B" per point (-1 -1 -1 outside). Standard library only."""
import struct
import sys
import zlib


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def decode(path_or_bytes):
    data = path_or_bytes if isinstance(path_or_bytes, bytes) else open(path_or_bytes, "rb").read()
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        idat += body if kind == b"IDAT" else b""
        pos += 12 + length
    if data[:8] != b"\x89PNG\r\n\x1a\n" or depth != 8 or colour not in (2, 6) or interlace:
        raise ValueError("unsupported PNG format")
    bpp = 3 if colour == 2 else 4
    raw, stride = zlib.decompress(idat), width * bpp
    rows, prev = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            c = prev[x - bpp] if x >= bpp else 0
            predictor = [0, a, prev[x], (a + prev[x]) // 2, paeth(a, prev[x], c)][kind]
            line[x] = (line[x] + predictor) & 255
        rows.append(line)
        prev = line
    return width, height, bpp, rows


def colour(decoded, x, y):
    """(r, g, b) at pixel (x, y), or (-1, -1, -1) outside the picture."""
    width, height, bpp, rows = decoded
    inside = 0 <= x < width and 0 <= y < height
    return tuple(rows[y][x * bpp:x * bpp + 3]) if inside else (-1, -1, -1)


if __name__ == "__main__":
    decoded = decode(sys.argv[1])
    print(decoded[0], decoded[1])
    coords = [int(round(float(v))) for v in sys.argv[2:]]
    for x, y in zip(coords[0::2], coords[1::2]):
        print(*colour(decoded, x, y))
