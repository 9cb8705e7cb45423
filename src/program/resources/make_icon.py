#!/usr/bin/env python3
"""Draws the saver's 32 x 32, 256-colour icon: a night-blue screen with a film frame and an
orange play triangle under a crescent moon. Writes quorvane.ico beside this script."""
import math
import os
import struct

SIZE = 32
TRANSPARENT = None

def colour_at(x, y):
    cx, cy = x + 0.5, y + 0.5
    # Rounded square screen with a 4-pixel corner radius; outside it is transparent.
    r = 4.0
    qx = max(abs(cx - 16) - (16 - r), 0)
    qy = max(abs(cy - 16) - (16 - r), 0)
    if math.hypot(qx, qy) > r:
        return TRANSPARENT
    if math.hypot(qx, qy) > r - 1.2 or min(cx, cy, 32 - cx, 32 - cy) < 1.2:
        return (200, 205, 215)  # bezel
    # Crescent moon, top right.
    if math.hypot(cx - 24, cy - 8) < 4.5 and math.hypot(cx - 26, cy - 6.5) >= 3.8:
        return (250, 225, 120)
    # Play triangle pointing right, centred a little low.
    tx, ty = cx - 11, cy - 10
    if 0 <= tx <= 12 and abs(ty - 7) <= 7 * (1 - tx / 12.5):
        return (245, 140, 30)
    # Film frame: sprocket holes along the bottom edge.
    if 25 <= cy <= 28 and 3 <= cx <= 29:
        return (60, 70, 95) if (int(cx) % 4) in (0, 1) else (20, 28, 60)
    # Night sky, darker towards the top.
    shade = int(20 + 30 * cy / 32)
    return (shade // 2, shade // 2 + 6, shade + 30)

pixels = [[colour_at(x, y) for x in range(SIZE)] for y in range(SIZE)]
palette = sorted({c for row in pixels for c in row if c is not None})
palette = [(0, 0, 0)] + palette
assert len(palette) <= 256
index = {c: i for i, c in enumerate(palette)}

xor_rows = []
and_rows = []
for y in reversed(range(SIZE)):  # bottom-up, as in a DIB
    row = pixels[y]
    xor_rows.append(bytes(index[c] if c is not None else 0 for c in row))
    bits = 0
    for x, c in enumerate(row):
        if c is None:
            bits |= 1 << (31 - x)
    and_rows.append(struct.pack(">I", bits))

pal = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in palette)
pal += b"\0" * (1024 - len(pal))
image = b"".join(xor_rows) + b"".join(and_rows)
header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, len(image), 0, 0, 256, 0)
body = header + pal + image
icondir = struct.pack("<HHH", 0, 1, 1)
entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(body), 6 + 16)

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "quorvane.ico")
with open(out, "wb") as f:
    f.write(icondir + entry + body)
