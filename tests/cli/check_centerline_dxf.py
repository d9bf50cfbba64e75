#!/usr/bin/python3
"""Checks a centerline DXF with an independent reader (ezdxf):

  check_centerline_dxf.py OUT.dxf PICTURE REPORT.txt

- the file reads and audits clean, and holds only LINE, ARC, CIRCLE and POLYLINE entities,
  as many of each as the tracer's report (REPORT.txt, its standard output) says;
- at least 95 % of the geometry, sampled every quarter pixel along every entity (arcs by
  ezdxf's own flattening), lies within one pixel of the picture's dark pixels when 1 unit is
  1 pixel, the origin the bottom-left corner and Y up.
"""
import re
import sys

import ezdxf
from ezdxf import path as ezpath

from picture_pixels import read_picture


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def main():
    dxf_path, picture, report = sys.argv[1:4]
    width, height, pixels = read_picture(picture)
    doc = ezdxf.readfile(dxf_path)
    auditor = doc.audit()
    if auditor.errors or auditor.fixes:
        fail("audit found %d errors, %d fixes" % (len(auditor.errors), len(auditor.fixes)))
    counts = {"LINE": 0, "ARC": 0, "CIRCLE": 0, "POLYLINE": 0}
    samples = []
    for e in doc.modelspace():
        kind = e.dxftype()
        if kind not in counts:
            fail("unexpected entity " + kind)
        counts[kind] += 1
        if kind == "ARC" and not (0 <= e.dxf.start_angle < 360 and 0 <= e.dxf.end_angle < 360):
            fail("arc angles %g %g outside 0..360" % (e.dxf.start_angle, e.dxf.end_angle))
        points = list(ezpath.make_path(e).flattening(0.05, segments=16))
        for a, b in zip(points, points[1:]):
            n = max(1, int(a.distance(b) / 0.25))
            samples += [(a.x + (b.x - a.x) * i / n, a.y + (b.y - a.y) * i / n) for i in range(n + 1)]
    text = open(report).read()
    # tesnova-cli reports "lines: N" a line; the bench driver "lines N, arcs N, ..." on one.
    m = re.search(r"lines:? (\d+),?\s*arcs:? (\d+),?\s*circles:? (\d+),?\s*polylines:? (\d+)", text)
    if not m:
        fail("no counts in the report: " + text)
    said = dict(zip(("LINE", "ARC", "CIRCLE", "POLYLINE"), map(int, m.groups())))
    if said != counts:
        fail("the report says %s, the file holds %s" % (said, counts))
    if not samples:
        fail("no geometry")

    def dark(col, row):
        return 0 <= col < width and 0 <= row < height and pixels[row * width + col] < 128

    near = 0
    for x, y in samples:
        col, row = int(x), int(height - y)  # Y up: the pixel row from the top
        near += any(dark(col + dx, row + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1))
    share = near / len(samples)
    if share < 0.95:
        fail("only %.3f of the traced geometry lies on the picture's dark pixels" % share)
    print("OK: %s, %.3f of %d samples on dark pixels" % (counts, share, len(samples)))


main()
