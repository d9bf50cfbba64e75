#!/usr/bin/python3
"""Checks a DXF traced from a bitmap with an independent reader (ezdxf):

  check_dxf.py OUT.dxf BITMAP.png

- the file reads and audits clean, and holds only polylines with at least two vertices;
- every vertex lies inside the bitmap's extent (1 unit = 1 pixel, origin bottom-left, Y up);
- the vertices run along the bitmap's black/white edges when Y is taken as pointing up;
- the holes of shapes (inside of "O", "8", rings) are there: rings of the opposite turning
  sense, each inside an outer outline.
"""
import sys

import ezdxf

from picture_pixels import read_picture


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def main():
    dxf_path, png_path = sys.argv[1], sys.argv[2]
    width, height, pixels = read_picture(png_path)
    doc = ezdxf.readfile(dxf_path)
    auditor = doc.audit()
    if auditor.errors or auditor.fixes:
        fail("audit found %d errors, %d fixes" % (len(auditor.errors), len(auditor.fixes)))
    entities = list(doc.modelspace())
    rings = []
    for e in entities:
        if e.dxftype() != "POLYLINE":
            fail("unexpected entity " + e.dxftype())
        points = [(v.dxf.location[0], v.dxf.location[1]) for v in e.vertices]
        if len(points) < 2:
            fail("polyline with %d vertices" % len(points))
        rings.append(points)
    if len(rings) < 50:
        fail("only %d polylines" % len(rings))

    # Inside the extent (curves may bulge a little past the pixel grid).
    slack = 1.5
    for ring in rings:
        for x, y in ring:
            if not (-slack <= x <= width + slack and -slack <= y <= height + slack):
                fail("vertex (%g, %g) outside the %dx%d bitmap" % (x, y, width, height))

    # Y up: vertex (x, y) sits on an edge of pixel row height - y.
    def black(col, row):
        return 0 <= col < width and 0 <= row < height and pixels[row * width + col] < 128

    on_edge = total = 0
    for ring in rings:
        for x, y in ring:
            col, row = int(round(x)), int(round(height - y))
            near = [black(col + dx, row + dy) for dx in range(-2, 3) for dy in range(-2, 3)]
            total += 1
            on_edge += any(near) and not all(near)
    if on_edge < 0.97 * total:
        fail("only %d of %d vertices lie on an edge of the bitmap (Y not up?)" % (on_edge, total))

    # Holes: rings turning the other way than the outlines, inside an outline's box.
    def area(ring):
        return sum(x1 * y2 - x2 * y1 for (x1, y1), (x2, y2) in zip(ring, ring[1:] + ring[:1])) / 2

    def box(ring):
        xs, ys = [p[0] for p in ring], [p[1] for p in ring]
        return min(xs), min(ys), max(xs), max(ys)

    signed = [(area(r), box(r)) for r in rings]
    outer_sign = 1 if sum(1 for a, _ in signed if a > 0) < len(signed) / 2 else -1
    outer_sign = -outer_sign  # the minority sense is the holes'
    outers = [b for a, b in signed if a * outer_sign > 0]
    holes = [b for a, b in signed if a * outer_sign < 0]
    inside = 0
    for h in holes:
        if any(o[0] <= h[0] and o[1] <= h[1] and h[2] <= o[2] and h[3] <= o[3] for o in outers):
            inside += 1
    if inside < 20 or inside < 0.9 * len(holes):
        fail("holes missing: %d of %d inner rings inside an outline" % (inside, len(holes)))
    print("OK: %d polylines, %d holes, %d of %d vertices on edges" % (len(rings), inside, on_edge, total))


main()
