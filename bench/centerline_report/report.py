"""The centerline quality report and benchmark: Tesnova's tracer beside the peer pipeline.

  report.py --tracer PATH/centerline-trace --out DIR [--seeds N] [--speed-runs N] [--big]

Writes DIR/report.md and DIR/report.json. For each set of sheets (clean, hard) and seed, the
sheet is drawn, binarised by Otsu's threshold (the same picture for everyone), traced by the
tracer (a process of its own; it reports its own time) and by the peer (in this process, timed
from skeleton to entities), and scored against the true geometry. Real scans: the share of an
independent skeleton (scikit-image) within 1 px of the traced geometry, dust (skeleton pieces
under 10 px) aside. With --big, a 6000 x 4000 sheet is traced by the tracer and by Potrace as
whole processes, alternately, with the peak memory of each run.
"""
import argparse
import json
import os
import platform
import statistics
import subprocess
import sys
import time
import warnings

import numpy as np
from PIL import Image
from scipy import ndimage
from skimage.filters import threshold_otsu
from skimage.morphology import skeletonize

import metrics
import peer
import sheets

warnings.filterwarnings("ignore")
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
GOALS = {
    "clean": {"recall": (">=", 0.99), "spurious": ("<=", 0.01), "entities_per_primitive": ("<=", 1.05), "radius_error": ("<=", 0.5)},
    "hard": {"recall": (">=", 0.95), "spurious": ("<=", 0.05), "entities_per_primitive": ("<=", 1.3), "radius_error": ("<=", 0.5)},
}


def run_timed(cmd):
    """Runs a command; returns (wall seconds, stdout)."""
    wall, _, out = run_measured(cmd)
    return wall, out


def run_measured(cmd):
    """Runs a command; returns (wall seconds, peak resident kB of that process as GNU time
    reports it from the kernel's accounting, stdout). (The kernel's record for a child of this
    Python process would count the memory it had when it was forked.)"""
    record = os.path.join(os.environ.get("TMPDIR", "/tmp"), "centerline-report-%d.time" % os.getpid())
    t = time.perf_counter()
    proc = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", record] + cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    wall = time.perf_counter() - t
    if proc.returncode:
        raise RuntimeError("%s failed (%d): %s" % (cmd[0], proc.returncode, proc.stderr.decode(errors="replace")))
    with open(record) as f:
        peak = int(f.read().split()[-1])
    os.remove(record)
    return wall, peak, proc.stdout.decode()


def binarise(img):
    t = threshold_otsu(img)
    return img > t  # True = paper


def save_bw(paper, path):
    Image.fromarray(np.where(paper, 255, 0).astype(np.uint8)).save(path)


def engine_trace(tracer, png, dxf):
    wall, out = run_timed([tracer, png, dxf])
    seconds = float(out.split("trace seconds")[1].split()[0])
    return seconds


def potrace_recall(truth, bw_png, work, height):
    pbm = os.path.join(work, "potrace.pbm")
    Image.open(bw_png).convert("1").save(pbm)
    dxf = os.path.join(work, "potrace.dxf")
    subprocess.run(["potrace", pbm, "-b", "dxf", "-o", dxf], check=True)
    import ezdxf
    from ezdxf import path as ezpath

    traced = []
    for e in ezdxf.readfile(dxf).modelspace():
        pts = [(p[0], height - p[1]) for p in ezpath.make_path(e).flattening(0.25)]
        traced.append(("polyline", pts))
    return metrics.score(truth, traced)["recall"]


def one_sheet(kind, seed, tracer, work):
    sh, img = (sheets.clean_sheet if kind == "clean" else sheets.hard_sheet)(seed)
    base = os.path.join(work, "%s-%d" % (kind, seed))
    Image.fromarray(img).save(base + ".png")
    paper = binarise(img)
    save_bw(paper, base + "-bw.png")
    row = {"kind": kind, "seed": seed, "width": sh.width, "height": sh.height}
    row["engine_seconds"] = engine_trace(tracer, base + "-bw.png", base + "-engine.dxf")
    row["engine"] = metrics.score(sh.truth, metrics.read_entities(base + "-engine.dxf", sh.height))
    t = time.perf_counter()
    ents = peer.trace(~paper)
    row["peer_seconds"] = time.perf_counter() - t
    peer.write_dxf(ents, base + "-peer.dxf")
    row["peer"] = metrics.score(sh.truth, metrics.read_entities(base + "-peer.dxf", sh.height))
    row["potrace_recall"] = potrace_recall(sh.truth, base + "-bw.png", work, sh.height)
    return row


def real_scan(path, tracer, work):
    img = np.asarray(Image.open(path).convert("L"))
    paper = binarise(img)
    base = os.path.join(work, "scan-" + os.path.splitext(os.path.basename(path))[0])
    save_bw(paper, base + "-bw.png")
    engine_trace(tracer, base + "-bw.png", base + ".dxf")
    skel = skeletonize(~paper)
    labels, n = ndimage.label(skel, structure=np.ones((3, 3)))
    sizes = ndimage.sum(skel, labels, range(1, n + 1))
    keep = np.isin(labels, 1 + np.nonzero(sizes >= 10)[0])
    ys, xs = np.nonzero(keep)
    pts = np.stack([xs + 0.5, ys + 0.5], 1)  # the sheet frame: Y down
    traced = metrics.read_entities(base + ".dxf", img.shape[0])
    return {"picture": os.path.relpath(path, ROOT), "size": "%dx%d" % (img.shape[1], img.shape[0]),
            "skeleton_px": int(len(pts)), "coverage_1px": metrics.skeleton_coverage(pts, traced, 1.0),
            "entities": len(traced)}


def big_sheets(tracer, work, runs):
    """6000 x 4000 drawings as 1-bit BMP files, traced by the tracer and by Potrace as whole
    processes, alternately: a clean sheet, and a hard one binarised at the grey halfway between
    paper and ink (Otsu's threshold falls inside the paper's noise on a sheet this sparse)."""
    results = []
    for kind in ("clean", "hard"):
        if kind == "clean":
            sh, img = sheets.clean_sheet(7, width=6000, height=4000, cell=250)
            paper = binarise(img)
        else:
            sh, img = sheets.hard_sheet(7, width=6000, height=4000, cell=250)
            paper = img > 140
        bmp = os.path.join(work, "big-%s.bmp" % kind)
        Image.fromarray(np.where(paper, 255, 0).astype(np.uint8)).convert("1", dither=Image.NONE).save(bmp)
        dxf = os.path.join(work, "big-%s.dxf" % kind)
        ours, theirs, base, inside = [], [], [], []
        for _ in range(runs):
            wall, peak, out = run_measured([tracer, bmp, dxf])
            ours.append((wall, peak))
            inside.append(float(out.split("trace seconds")[1].split()[0]))
            wall, peak, _ = run_measured(["/usr/bin/potrace", bmp, "-b", "dxf", "-o", os.path.join(work, "big-%s-potrace.dxf" % kind)])
            theirs.append((wall, peak))
            wall, peak, _ = run_measured([tracer, bmp, dxf, "--load-only"])
            base.append((wall, peak))
        pixels = sh.width * sh.height

        def spread(values):
            return {"median": statistics.median(values), "min": min(values), "max": max(values)}

        results.append({
            "kind": kind, "size": "%dx%d" % (sh.width, sh.height), "runs": runs,
            "ink_share": float(np.mean(~paper)),
            "tracer_wall": spread([o[0] for o in ours]), "potrace_wall": spread([t[0] for t in theirs]),
            "ratio": spread([o[0] / t[0] for o, t in zip(ours, theirs)]),
            "trace_in_process": spread(inside),
            "ratio_in_process": spread([i / t[0] for i, t in zip(inside, theirs)]),
            "load_only_wall": spread([b[0] for b in base]),
            "tracer_peak_kb": spread([o[1] for o in ours]), "potrace_peak_kb": spread([t[1] for t in theirs]),
            "load_only_peak_kb": spread([b[1] for b in base]),
            "bytes_per_pixel_beyond_bitmap": spread([(o[1] - b[1]) * 1024 / pixels for o, b in zip(ours, base)]),
        })
    return results


def mean(rows, who, key):
    vals = [r[who][key] for r in rows if not (isinstance(r[who][key], float) and np.isnan(r[who][key]))]
    return (statistics.fmean(vals), min(vals), max(vals)) if vals else (float("nan"),) * 3


def fmt(v, d=3):
    return ("%." + str(d) + "f") % v


def write_report(out, rows, scans, big, args):
    lines = ["# Centerline tracer: quality report and benchmark", ""]
    lines.append("Machine: %s, %d cores shared with other work (load average %.1f when the report started), Python %s. Command: `scripts/centerline-report.sh --seeds %d%s`." % (
        platform.processor() or platform.machine(), os.cpu_count(), args.load, platform.python_version(),
        args.seeds, " --big" if big else ""))
    lines.append("Sheets 2000 x 1400 px, seeds 1..%d per set; figures are the mean over the seeds, [min, max] beside." % args.seeds)
    lines.append("")
    for kind in ("clean", "hard"):
        rs = [r for r in rows if r["kind"] == kind]
        lines += ["## %s sheets" % kind.capitalize(), "",
                  "| figure | goal | Tesnova | peer (skimage) |", "|---|---|---|---|"]
        for key, label in (("recall", "recall (true length within 1.5 px)"),
                           ("spurious", "spurious (traced length beyond 1.5 px)"),
                           ("entities_per_primitive", "entities per true primitive"),
                           ("radius_error", "radius error of arcs and circles, px"),
                           ("centre_error", "centre error of arcs and circles, px")):
            goal = GOALS[kind].get(key)
            g = "%s %s" % goal if goal else ""
            e, p = mean(rs, "engine", key), mean(rs, "peer", key)
            lines.append("| %s | %s | %s [%s, %s] | %s [%s, %s] |" % (label, g, fmt(e[0]), fmt(e[1]), fmt(e[2]), fmt(p[0]), fmt(p[1]), fmt(p[2])))
        matched = sum(r["engine"]["curves_matched"] for r in rs), sum(r["peer"]["curves_matched"] for r in rs)
        wanted = sum(r["engine"]["curves"] for r in rs)
        lines.append("| arcs and circles matched | | %d of %d | %d of %d |" % (matched[0], wanted, matched[1], wanted))
        et = [r["engine_seconds"] for r in rs]
        pt = [r["peer_seconds"] for r in rs]
        lines.append("| time, s (median [min, max]) | <= peer / 5 | %s [%s, %s] | %s [%s, %s] |" % (
            fmt(statistics.median(et)), fmt(min(et)), fmt(max(et)), fmt(statistics.median(pt), 2), fmt(min(pt), 2), fmt(max(pt), 2)))
        ratio = [e / p for e, p in zip(et, pt)]
        lines.append("| time ratio Tesnova / peer (median [min, max]) | <= 0.2 | %s [%s, %s] | |" % (fmt(statistics.median(ratio)), fmt(min(ratio)), fmt(max(ratio))))
        pr = [r["potrace_recall"] for r in rs]
        lines.append("| recall of Potrace's outlines, for reference | | | %s [%s, %s] |" % (fmt(statistics.fmean(pr)), fmt(min(pr)), fmt(max(pr))))
        lines.append("")
    lines += ["## Real scans", "", "Share of scikit-image's skeleton of the Otsu-binarised picture within 1 px of the traced geometry, skeleton pieces under 10 px (dust) aside; goal >= 0.95.", "",
              "| picture | size | skeleton px | coverage | entities |", "|---|---|---|---|---|"]
    for s in scans:
        lines.append("| %s | %s | %d | %s | %d |" % (s["picture"], s["size"], s["skeleton_px"], fmt(s["coverage_1px"]), s["entities"]))
    lines.append("")
    for b in big or []:
        lines += ["## 6000 x 4000 %s drawing beside Potrace" % b["kind"], "",
                  "The same 1-bit BMP (%.1f %% ink) traced by whole processes, alternately, %d runs each; wall seconds and peak resident memory from the kernel's accounting of each run. \"In the tracer\" is the tracer's own time (the DXF writing and the picture's loading left out), which is what the window spends on its bitmap in memory." % (100 * b["ink_share"], b["runs"]), "",
                  "| figure | median | min | max |", "|---|---|---|---|"]
        for key, label, d in (("tracer_wall", "Tesnova tracer, whole process, s", 3), ("potrace_wall", "Potrace -b dxf, whole process, s", 3),
                              ("ratio", "ratio of the whole processes, Tesnova / Potrace (goal <= 1)", 3),
                              ("trace_in_process", "in the tracer, s", 3), ("ratio_in_process", "ratio in the tracer / Potrace's whole process", 3),
                              ("load_only_wall", "tracer process that only loads the picture, s", 3),
                              ("tracer_peak_kb", "tracer peak, kB", 0), ("potrace_peak_kb", "Potrace peak, kB", 0), ("load_only_peak_kb", "picture loaded only, kB", 0),
                              ("bytes_per_pixel_beyond_bitmap", "tracer memory beyond the loaded picture, bytes per pixel (goal <= 2)", 3)):
            v = b[key]
            lines.append("| %s | %s | %s | %s |" % (label, fmt(v["median"], d), fmt(v["min"], d), fmt(v["max"], d)))
        lines.append("")
    with open(os.path.join(out, "report.md"), "w") as f:
        f.write("\n".join(lines))
    with open(os.path.join(out, "report.json"), "w") as f:
        json.dump({"sheets": rows, "scans": scans, "big": big}, f, indent=1)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tracer", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--seeds", type=int, default=3)
    ap.add_argument("--big", action="store_true")
    ap.add_argument("--speed-runs", type=int, default=5)
    args = ap.parse_args()
    args.load = os.getloadavg()[0]
    os.makedirs(args.out, exist_ok=True)
    rows = []
    for kind in ("clean", "hard"):
        for seed in range(1, args.seeds + 1):
            rows.append(one_sheet(kind, seed, args.tracer, args.out))
            r = rows[-1]
            print("%s %d: tesnova recall %.3f spurious %.3f e/p %.2f r-err %.2f %.3fs | peer recall %.3f spurious %.3f e/p %.2f r-err %.2f %.2fs" % (
                kind, seed, r["engine"]["recall"], r["engine"]["spurious"], r["engine"]["entities_per_primitive"], r["engine"]["radius_error"], r["engine_seconds"],
                r["peer"]["recall"], r["peer"]["spurious"], r["peer"]["entities_per_primitive"], r["peer"]["radius_error"], r["peer_seconds"]), flush=True)
    scans = [real_scan(os.path.join(ROOT, p), args.tracer, args.out) for p in ("demo/scan.png", "tests/data/pictures/drawing.png")]
    for s in scans:
        print("%s: coverage %.3f" % (s["picture"], s["coverage_1px"]))
    big = big_sheets(args.tracer, args.out, args.speed_runs) if args.big else None
    write_report(args.out, rows, scans, big, args)
    print("written: " + os.path.join(args.out, "report.md"))


if __name__ == "__main__":
    main()
