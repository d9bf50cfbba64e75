#!/usr/bin/python3
"""Runs tesnova-cli centerline with the real Potrace on a thick ring and checks the DXF with
independent readers:

  check_centerline.py TESNOVA-CLI WORK-FOLDER

- a 260 x 260 bitmap with a ring of radii 100 and 120 pixels around its centre gives a DXF
  that ezdxf reads and audits clean and that dime's dxf2vrml accepts;
- it holds one open polyline whose vertices all lie within 0.5 pixels of radius 110 around
  the centre, with Y up from the bitmap's bottom edge;
- a Potrace that is not there, one that does not start and a bitmap without a hole end with
  exit status 1 and the reason on stderr, without a DXF.
"""
import math
import os
import shutil
import struct
import subprocess
import sys

import ezdxf

SKIP = 77


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def write_bmp(path, size, black):
    row_size = (size * 3 + 3) // 4 * 4
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        row = b"".join(b"\0\0\0" if black(x, y) else b"\xff\xff\xff" for x in range(size))
        rows.append(row + b"\0" * (row_size - len(row)))
    data = b"".join(rows)
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def run(cli, *args):
    return subprocess.run([cli, "centerline", *args], stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True)


def main():
    cli, work = sys.argv[1], sys.argv[2]
    if shutil.which("potrace") is None:
        print("no potrace on the search path")
        sys.exit(SKIP)
    os.makedirs(work, exist_ok=True)
    ring, dxf = os.path.join(work, "ring.bmp"), os.path.join(work, "ring.dxf")
    write_bmp(ring, 260, lambda x, y: 100 <= math.hypot(x + 0.5 - 130, y + 0.5 - 130) <= 120)
    if os.path.exists(dxf):
        os.remove(dxf)
    result = run(cli, ring, dxf)
    if result.returncode != 0:
        fail("exit %d: %s" % (result.returncode, result.stderr))

    doc = ezdxf.readfile(dxf)
    auditor = doc.audit()
    if auditor.has_errors:
        fail("ezdxf audit: %s" % [str(e) for e in auditor.errors])
    entities = list(doc.modelspace())
    if len(entities) != 1 or entities[0].dxftype() != "POLYLINE" or entities[0].is_closed:
        fail("expected one open polyline, got %s" % [e.dxftype() for e in entities])
    points = [(v.dxf.location.x, v.dxf.location.y) for v in entities[0].vertices]
    if len(points) < 20:
        fail("only %d vertices" % len(points))
    worst = max(abs(math.hypot(x - 130, y - 130) - 110) for x, y in points)
    if worst > 0.5:
        fail("a vertex lies %.3f pixels off radius 110" % worst)
    dime = subprocess.run(["dxf2vrml", dxf, "-o", os.path.join(work, "ring.wrl")],
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if dime.returncode != 0:
        fail("dxf2vrml exit %d" % dime.returncode)

    os.remove(dxf)
    result = run(cli, ring, dxf, "--potrace", os.path.join(work, "no potrace here"))
    if (result.returncode != 1 or "no potrace here が見つかりません" not in result.stderr
            or os.path.exists(dxf)):
        fail("missing Potrace: exit %d, %r" % (result.returncode, result.stderr))
    not_a_program = os.path.join(work, "not a program")
    with open(not_a_program, "w") as f:
        f.write("x")
    result = run(cli, ring, dxf, "--potrace", not_a_program)
    if (result.returncode != 1 or "potrace 起動失敗" not in result.stderr
            or "not a program could not be started" not in result.stderr or os.path.exists(dxf)):
        fail("Potrace that does not start: exit %d, %r" % (result.returncode, result.stderr))
    disc = os.path.join(work, "disc.bmp")
    write_bmp(disc, 60, lambda x, y: math.hypot(x - 30, y - 30) < 20)
    result = run(cli, disc, dxf)
    if result.returncode != 1 or "輪郭の組がありません" not in result.stderr or os.path.exists(dxf):
        fail("no hole: exit %d, %r" % (result.returncode, result.stderr))
    print("centerline: %d vertices, at most %.3f px off radius 110" % (len(points), worst))


main()
