#!/usr/bin/env python3
"""Compares a rectangle of two 8-bit RGB or RGBA PNG pictures (non-interlaced, as the game and Cairo
write them). Usage: pngregion.py A.png B.png X Y W H; prints the number of differing pixels."""
import struct
import sys
import zlib


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + ": not a PNG")
    pos, idat, width, height, channels = 8, b"", 0, 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in (2, 6) or interlace:
                raise ValueError(path + ": only 8-bit RGB or RGBA without interlace")
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prev = line
    return width, height, channels, rows


def main(argv):
    (wa, ha, ca, a), (wb, hb, cb, b) = read_png(argv[1]), read_png(argv[2])
    x, y, w, h = (int(v) for v in argv[3:7])
    if (wa, ha) != (wb, hb) or x < 0 or y < 0 or x + w > wa or y + h > ha:
        print("sizes differ or the rectangle is outside: %dx%d and %dx%d" % (wa, ha, wb, hb))
        return 1
    differing = 0
    for row in range(y, y + h):
        for col in range(x, x + w):
            if a[row][col * ca:col * ca + 3] != b[row][col * cb:col * cb + 3]:
                differing += 1
    print(differing)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
