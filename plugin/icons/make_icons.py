#!/usr/bin/env python3
"""Draws the node-type icons kept beside this script (run it again after a change).

out_<nodeType>.png (20x20) is what the Outliner shows; <nodeType>.png (32x32) is what the
Hypergraph and the Node Editor show. Plain RGBA PNGs, drawn from simple shapes."""
import math
import os
import struct
import zlib


def png(width, height, pixels):
    rows = b"".join(b"\0" + bytes(sum((list(p) for p in pixels[y * width:(y + 1) * width]), []))
                    for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) <= w / 2


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


# Shapes on a unit square (0..1), each with its colour.
SHAPES = {
    "pellixDataOverlay": [(box(.1, .1, .45, .45), (90, 170, 240)), (box(.55, .1, .9, .45), (240, 170, 70)),
                          (box(.1, .55, .45, .9), (120, 210, 120)), (box(.55, .55, .9, .9), (230, 100, 120))],
    "shapeControl": [(ring(.5, .5, .34, .14), (250, 210, 60))],
    "surfacePin": [(box(.45, .45, .55, .95), (200, 200, 210)), (disc(.5, .33, .24), (230, 80, 80))],
    "surfaceUVPin": [(box(.45, .45, .55, .95), (200, 200, 210)), (disc(.5, .33, .24), (80, 150, 240)),
                     (box(.62, .62, .92, .92), (120, 210, 120))],
    "vertexWrap": [(disc(.2 + .3 * i, .2 + .3 * j, .1), (170, 120, 230)) for i in range(3) for j in range(3)],
    "hoverMarker": [(ring(.5, .5, .38, .1), (90, 220, 220)), (disc(.5, .5, .14), (90, 220, 220))],
}


def draw(shapes, size):
    pixels = []
    for py in range(size):
        for px in range(size):
            colour = (0, 0, 0, 0)
            # 4x4 samples per pixel for smooth edges.
            hits = {}
            for sy in range(4):
                for sx in range(4):
                    x, y = (px + (sx + .5) / 4) / size, (py + (sy + .5) / 4) / size
                    for test, rgb in reversed(shapes):
                        if test(x, y):
                            hits[rgb] = hits.get(rgb, 0) + 1
                            break
            if hits:
                rgb = max(hits, key=hits.get)
                colour = rgb + (min(255, sum(hits.values()) * 16),)
            pixels.append(colour)
    return png(size, size, pixels)


here = os.path.dirname(os.path.abspath(__file__))
for node_type, shapes in SHAPES.items():
    with open(os.path.join(here, "out_%s.png" % node_type), "wb") as f:
        f.write(draw(shapes, 20))
    with open(os.path.join(here, "%s.png" % node_type), "wb") as f:
        f.write(draw(shapes, 32))
