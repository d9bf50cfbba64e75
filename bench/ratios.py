#!/usr/bin/env python3
"""Runs the raster benchmark side by side with OpenCV, the svg2dxf and prepare commands, and the
trace command beside ImageMagick + Potrace, each several times, and prints every figure as the
median with its spread (min-max) over the runs, ratios beside times.

    python3 bench/ratios.py [--build build/native] [--runs 3] [--skip-raster] [--skip-cli]
                            [--skip-trace] [--other-cli PATH] [--centerline]

The raster table comes from tesnova_bench, one process per run, each putting our kernels and
OpenCV's functions side by side in the same process: the kernels the program picks (AVX2 where
the processor has it) against OpenCV with every instruction set it dispatches to, then the
baseline kernels against OpenCV restricted to SSE2 (OPENCV_CPU_DISABLE). Ratios are taken run
by run and then summarised, so that a drift of the machine's speed between runs cancels.

With --centerline, the centerline's normal-ray search on a ring (bench/centerline_bench.cpp):
the grid index against the direct search over every opposite segment, in the same process.
"""
import argparse
import json
import os
import random
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import zlib

OPS = ["median", "gauss", "otsu", "threshold", "rotate"]
SIZES = [(1920, 1080), (6000, 4000)]
# Every instruction set above SSE2 that OpenCV 4.6 knows by name on x86-64.
SSE2_ONLY = "SSE3,SSSE3,SSE4.1,POPCNT,SSE4.2,FP16,FMA3,AVX,AVX2,AVX512F,AVX512_SKX"


def summary(values, digits=2):
    values = sorted(values)
    return f"{statistics.median(values):.{digits}f} ({values[0]:.{digits}f}-{values[-1]:.{digits}f})"


def raster_run(bench, env, pattern="^raster/"):
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run([bench, f"--benchmark_filter={pattern}", f"--benchmark_out={out.name}",
                        "--benchmark_out_format=json"], env=env, check=True, capture_output=True)
        results = json.load(open(out.name))
    times = {}
    for b in results["benchmarks"]:
        if b.get("error_occurred"):
            sys.exit(f"{b['name']}: {b.get('error_message')}")
        times[b["name"]] = b["cpu_time"]  # milliseconds (the benchmarks' unit)
    return times


def raster(bench, runs):
    plain = dict(os.environ)
    plain.pop("OPENCV_CPU_DISABLE", None)
    restricted = dict(plain, OPENCV_CPU_DISABLE=SSE2_ONLY)
    modes = [("fast set vs OpenCV (all its sets)", plain, 0),
             ("baseline set vs OpenCV (SSE2 only)", restricted, 1)]
    for title, env, setIndex in modes:
        rows = {}
        for _ in range(runs):
            t = raster_run(bench, env)
            for w, h in SIZES:
                size = f"{w}/{h}"
                copy = t[f"raster/memcpy/{size}"]
                for op in OPS:
                    ours = t[f"raster/{op}/ours/{size}/{setIndex}"]
                    cv = t.get(f"raster/{op}/opencv/{size}")
                    row = rows.setdefault((op, size), {"ours": [], "cv": [], "ratio": [], "copy": []})
                    row["ours"].append(ours)
                    row["copy"].append(ours / copy)
                    if cv:
                        row["cv"].append(cv)
                        row["ratio"].append(ours / cv)
        print(f"\n{title}, {runs} runs, processor time, median (min-max)")
        print(f"{'operation':10} {'size':10} {'ours ms':>22} {'OpenCV ms':>22} {'ours/OpenCV':>18} {'ours/memcpy':>20}")
        for (op, size), r in rows.items():
            print(f"{op:10} {size.replace('/', 'x'):10} {summary(r['ours'], 3):>22} "
                  f"{summary(r['cv'], 3) if r['cv'] else '-':>22} "
                  f"{summary(r['ratio']) if r['ratio'] else '-':>18} {summary(r['copy'], 1):>20}")


def centerline(bench, runs):
    indexed, direct, ratio = [], [], []
    for _ in range(runs):
        t = raster_run(bench, dict(os.environ), "^BM_CenterlineRing_")
        i, d = t["BM_CenterlineRing_Indexed"], t["BM_CenterlineRing_Direct/iterations:1"]
        indexed.append(i)
        direct.append(d)
        ratio.append(d / i)
    print(f"\ncenterline ring, {runs} runs, processor time, median (min-max)")
    print(f"  grid index {summary(indexed, 1)} ms, direct search {summary(direct, 0)} ms, "
          f"direct/index {summary(ratio, 0)}")


def write_svg(path, line_end, vertices=1_000_000):
    # VTracer-like paths: a moveto, forty cubic segments and a close, with a translate; with two
    # curve divisions each path gives 82 vertices.
    rng = random.Random(1)
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<svg version="1.1" xmlns="http://www.w3.org/2000/svg" width="4000" height="3000">']
    count = 0
    while count < vertices:
        d = [f"M{rng.randint(0, 4000)} {rng.randint(0, 3000)}"]
        for _ in range(40):
            d.append("c" + " ".join(str(rng.randint(-50, 50)) for _ in range(6)))
        d.append("Z")
        count += 82
        lines.append(f'<path d="{" ".join(d)} " fill="#000000" '
                     f'transform="translate({rng.randint(0, 99)},{rng.randint(0, 99)})"/>')
    lines.append("</svg>")
    with open(path, "w", newline="") as f:
        f.write(line_end.join(lines) + line_end)
    return count


def write_png(path, width, height):
    # White paper with dark diagonal strokes, 24-bit, compressed fast.
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = bytearray()
    for y in range(height):
        row = bytearray(b"\xff" * (3 * width))
        for x0 in range((y * 2) % 97, width - 4, 97):
            row[3 * x0:3 * x0 + 12] = b"\x20" * 12
        raw += b"\x00" + row
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(bytes(raw), 1)))
        f.write(chunk(b"IEND", b""))


def write_plan_png(path, width, height, cell=250):
    """A clean drawing sheet, 24-bit: in every cell of a grid a box and its diagonal, ink 3 px
    wide (grey 32) with a grey fringe (144) on one side, on white paper."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    ink, fringe = b"\x20" * 9, b"\x90" * 3
    white = b"\xff" * (3 * width)
    compressor = zlib.compressobj(1)
    parts = []
    for y in range(height):
        row = bytearray(white)
        cy, dy = divmod(y, cell)
        if 30 <= dy < 221:
            for cx in range(0, width - cell + 1, cell):
                if dy < 33 or dy >= 218:  # the box's top and bottom
                    row[3 * (cx + 30):3 * (cx + 221)] = b"\x20" * (3 * 191)
                    continue
                for x in (cx + 30, cx + 218, cx + dy):  # its sides and the diagonal
                    row[3 * x:3 * x + 9] = ink
                    row[3 * x + 9:3 * x + 12] = fringe
        parts.append(compressor.compress(b"\x00" + bytes(row)))
    parts.append(compressor.flush())
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", b"".join(parts)))
        f.write(chunk(b"IEND", b""))


def measured(command, shell=False):
    """Wall seconds and peak resident kilobytes of one run (GNU time: the largest of the
    command's own processes)."""
    out = subprocess.run(["/usr/bin/time", "-f", "%e %M", *(["sh", "-c", command] if shell else command)],
                         check=True, capture_output=True, text=True).stderr.split()
    return float(out[-2]), int(out[-1])


def magick_policy(folder):
    """ImageMagick's configuration with resource limits that let it hold a 12000 x 8000 picture
    (Debian's policy stops it at 256 MiB of memory and 1 GiB of disk)."""
    with open(os.path.join(folder, "policy.xml"), "w") as f:
        f.write('<policymap>\n'
                '  <policy domain="resource" name="memory" value="2GiB"/>\n'
                '  <policy domain="resource" name="map" value="4GiB"/>\n'
                '  <policy domain="resource" name="disk" value="8GiB"/>\n'
                '  <policy domain="resource" name="area" value="1GP"/>\n'
                '</policymap>\n')
    os.environ["MAGICK_CONFIGURE_PATH"] = folder


def trace_vs_peer(build, runs, other=None, threshold=128):
    """tesnova-cli trace --with potrace --threshold N beside ImageMagick's threshold piped into
    Potrace, on a 12000 x 8000 sheet; on a grey picture --threshold N and -threshold T% with
    T = 100 (N - 0.5) / 255 make the same pixels black (luminance below N; ImageMagick turns
    white what is above T% of its range), and the two DXF files are compared."""
    tool = os.path.join(build, "tesnova-cli")
    width, height = 12000, 8000
    percent = 100 * (threshold - 0.5) / 255
    with tempfile.TemporaryDirectory() as work:
        magick_policy(work)
        png = os.path.join(work, "sheet.png")
        write_plan_png(png, width, height)
        pbm = os.path.join(work, "sheet.pbm")
        subprocess.run(["sh", "-c", f"convert '{png}' -threshold {percent:.4f}% '{pbm}'"], check=True)
        bitmap_kb = width * height * 3 / 1024
        ours_cmd = [tool, "trace", png, os.path.join(work, "ours.dxf"), "--with", "potrace",
                    "--threshold", str(threshold)]
        peer_cmd = (f"convert '{png}' -threshold {percent:.4f}% pbm:- | "
                    f"potrace -b dxf -o '{os.path.join(work, 'peer.dxf')}'")
        potrace_cmd = ["potrace", pbm, "-b", "dxf", "-o", os.path.join(work, "alone.dxf")]
        # tesnova-cli's own process: Potrace replaced by a copy of its DXF, so that the peak is
        # not Potrace's.
        stand_in = os.path.join(work, "copies-the-dxf")
        with open(stand_in, "w") as f:
            f.write(f"#!/bin/sh\ncp '{os.path.join(work, 'alone.dxf')}' \"${{1%.*}}.dxf\"\n")
        os.chmod(stand_in, 0o755)
        rows = {"ours": [], "peer": [], "potrace": [], "other": [], "own": [], "otsu": []}
        for _ in range(runs):  # in turn, run by run
            rows["ours"].append(measured(ours_cmd))
            rows["peer"].append(measured(peer_cmd, shell=True))
            rows["potrace"].append(measured(potrace_cmd))
            rows["own"].append(measured([*ours_cmd, "--tool", stand_in]))
            rows["otsu"].append(measured([*ours_cmd[:-2], "--otsu", "--tool", stand_in]))
            if other:
                rows["other"].append(measured([other, *ours_cmd[1:3],
                                               os.path.join(work, "other.dxf"), *ours_cmd[4:]]))
        same = open(os.path.join(work, "ours.dxf"), "rb").read() == \
            open(os.path.join(work, "peer.dxf"), "rb").read()
        print(f"\ntrace --with potrace --threshold {threshold} of a {width}x{height} sheet "
              f"({os.path.getsize(png) >> 20} MB PNG) beside convert -threshold {percent:.2f}% | "
              f"potrace, {runs} runs in turn, median (min-max); "
              f"{'the same DXF' if same else 'DIFFERENT DXF'}")
        def line(name, values, against=None):
            walls, peaks = [v[0] for v in values], [v[1] for v in values]
            text = (f"  {name:28} wall {summary(walls)} s, peak {summary(peaks, 0)} KB, "
                    f"peak/24-bit bitmap {summary([p / bitmap_kb for p in peaks])}")
            if against:
                text += (f"\n  {'':28} wall/peer {summary([a[0] / b[0] for a, b in zip(values, rows['peer'])])}, "
                         f"peak/Potrace's {summary([a[1] / b[1] for a, b in zip(values, rows['potrace'])])}")
            print(text)
        line("tesnova-cli trace", rows["ours"], against=True)
        line("convert | potrace (peer)", rows["peer"])
        line("potrace alone on the PBM", rows["potrace"])
        line("tesnova-cli's own process", rows["own"])
        line("the same with --otsu", rows["otsu"])
        if other:
            line("other tesnova-cli trace", rows["other"], against=True)


def timed_both(command):
    """Wall seconds and processor seconds (user and system) of one run of a command. On a
    loaded machine the wall time waits for other work; the processor time does not."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    error = child.stderr.read()
    child.stderr.close()
    if child.returncode != 0:
        sys.exit(f"{' '.join(command)}: exit {child.returncode}: {error.decode(errors='replace')}")
    return wall, usage.ru_utime + usage.ru_stime


def cli(build, runs, peer=None):
    tool = os.path.join(build, "tesnova-cli")
    with tempfile.TemporaryDirectory() as work:
        print(f"\nsvg2dxf, {runs} runs, wall and processor time of the whole command, "
              f"median (min-max)")
        for name, end in [("LF", "\n"), ("CR", "\r"), ("CR LF", "\r\n")]:
            svg = os.path.join(work, "in.svg")
            vertices = write_svg(svg, end)
            walls, cpus, peers, peerCpus = [], [], [], []
            for _ in range(runs):  # ours and the other build in turn, pair by pair
                wall, cpu = timed_both([tool, "svg2dxf", svg, os.path.join(work, "out.dxf"),
                                        "--divisions", "2"])
                walls.append(wall)
                cpus.append(cpu)
                if peer:
                    wall, cpu = timed_both([peer, "svg2dxf", svg, os.path.join(work, "peer.dxf"),
                                            "--divisions", "2"])
                    peers.append(wall)
                    peerCpus.append(cpu)
            print(f"  {name:6} line ends, {vertices} vertices, {os.path.getsize(svg) >> 20} MB: "
                  f"wall {summary(walls, 3)} s, {summary([vertices / w / 1e6 for w in walls])} "
                  f"M vertices/s; processor {summary(cpus, 3)} s, "
                  f"{summary([vertices / c / 1e6 for c in cpus])} M vertices/s")
            if peer:
                same = open(os.path.join(work, "out.dxf"), "rb").read() == \
                    open(os.path.join(work, "peer.dxf"), "rb").read()
                print(f"         other build wall {summary(peers, 3)} s, processor "
                      f"{summary(peerCpus, 3)} s; ours/other wall "
                      f"{summary([a / b for a, b in zip(walls, peers)])}, processor "
                      f"{summary([a / b for a, b in zip(cpus, peerCpus)])}, "
                      f"{'the same DXF' if same else 'DIFFERENT DXF'}")
        width, height = 12000, 8000
        png = os.path.join(work, "big.png")
        write_png(png, width, height)
        bitmap = width * height * 3 / 1024
        print(f"\nprepare of a {width}x{height} PNG, peak resident memory over the decoded "
              f"24-bit bitmap ({bitmap / 1024:.0f} MB), one process per run")
        for switches in [["--median"], ["--median", "--gauss", "--mono", "--otsu"]]:
            peaks, walls = [], []
            for _ in range(runs):
                out = subprocess.run(["/usr/bin/time", "-f", "%M %e", tool, "prepare", png,
                                      os.path.join(work, "out.bmp"), *switches],
                                     check=True, capture_output=True, text=True).stderr.split()
                peaks.append(int(out[-2]) / bitmap)
                walls.append(float(out[-1]))
            print(f"  {' '.join(switches):32} peak/bitmap {summary(peaks)}, wall {summary(walls)} s")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default="build/native")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--skip-raster", action="store_true")
    parser.add_argument("--skip-cli", action="store_true")
    parser.add_argument("--other-cli",
                        help="another tesnova-cli to time svg2dxf and trace against, in turn")
    parser.add_argument("--skip-trace", action="store_true")
    parser.add_argument("--centerline", action="store_true",
                        help="also the centerline grid index against the direct search")
    args = parser.parse_args()
    print(subprocess.run(["sh", "-c", "lscpu | grep -E 'Model name|^CPU\\(s\\)|Flags' | cut -c1-200"],
                         capture_output=True, text=True).stdout.strip())
    if not args.skip_raster:
        raster(os.path.join(args.build, "bench", "tesnova_bench"), args.runs)
    if args.centerline:
        centerline(os.path.join(args.build, "bench", "tesnova_bench"), args.runs)
    if not args.skip_cli:
        cli(args.build, args.runs, args.other_cli)
    if not args.skip_trace:
        trace_vs_peer(args.build, args.runs, args.other_cli)
    return 0


if __name__ == "__main__":
    sys.exit(main())
