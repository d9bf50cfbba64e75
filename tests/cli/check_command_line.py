#!/usr/bin/python3
"""tesnova-cli in a user's and a script's hands: help, version, reports, progress, finding its
tools, and both tracers' SVG.

  check_command_line.py TESNOVA-CLI WORK-FOLDER CASE

Each CASE is one ctest test.
"""
import math
import os
import pty
import re
import shutil
import subprocess
import sys

import ezdxf
from ezdxf import path as dxf_path

import check_failures
from check_failures import SKIP, fail

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
SCAN = os.path.join(ROOT, "demo", "scan.png")
VTRACER_SVG = os.path.join(ROOT, "demo", "scan.svg")
SUBCOMMANDS = ("svg2dxf", "prepare", "trace", "centerline")
REPORT_LINE = re.compile(r"^[a-z][a-z ]*: \S.*$")


class Case(check_failures.Case):
    """A case's folder and runs that give standard output as well."""

    def run(self, *args, env=None, cli=None):
        p = subprocess.run([cli or self.cli, *args], capture_output=True, env=env, timeout=120)
        return p.returncode, p.stdout.decode("utf-8", "replace"), p.stderr.decode("utf-8", "replace")

    def ok(self, *args, **kw):
        code, out, err = self.run(*args, **kw)
        if code != 0:
            fail(f"{' '.join(args)}: exit {code}: {err}")
        return out, err


def need(program):
    if shutil.which(program) is None:
        print(f"SKIP: no {program} on the search path")
        sys.exit(SKIP)


def report(text):
    """The report's lines as a dict; every line must be key: value."""
    values = {}
    for line in text.splitlines():
        if not REPORT_LINE.match(line):
            fail(f"report line not in key: value form: {line!r}")
        key, value = line.split(": ", 1)
        values[key] = value
    return values


def entities(dxf):
    return list(ezdxf.readfile(dxf).modelspace())


def bitmap_of_scan(case):
    """The scanned drawing as the black-and-white BMP that Potrace reads."""
    bmp = case.path("scan.bmp")
    case.ok("prepare", SCAN, bmp, "--otsu")
    return bmp


# --- help, version, exit statuses -------------------------------------------------------------

def help_switches(text):
    """The switch names that the help's switch list gives a line each, with their words."""
    rows = {}
    in_list = False
    for line in text.splitlines():
        if line == "switches:":
            in_list = True
        elif in_list and not line.strip():
            in_list = False
        elif in_list:
            m = re.match(r"^  (--[a-z-]+)( [A-Z.|]+)? +(\S.*)$", line)
            if not m:
                fail(f"switch line without its words: {line!r}")
            rows[m.group(1)] = m.group(3)
    return rows


def case_help(case):
    out, _ = case.ok("--help")
    for name in SUBCOMMANDS:
        if not re.search(rf"^  {name} +\S", out, re.M):
            fail(f"--help lacks {name}: {out}")
    for status in ("0", "1", "2", "130"):
        if not re.search(rf"^  {status} +\S", out, re.M):
            fail(f"--help does not tell exit status {status}")
    for name in SUBCOMMANDS:
        out, _ = case.ok(name, "--help")
        if case.ok("help", name)[0] != out:
            fail(f"help {name} differs from {name} --help")
        usage = out.splitlines()[0]
        if not usage.startswith(f"usage: tesnova-cli {name} "):
            fail(f"{name} --help starts {usage!r}")
        rows = help_switches(out)
        # Every switch of the synopsis, and --quiet and --help, has its line.
        for switch in set(re.findall(r"--[a-z-]+", usage)) | {"--quiet", "--help"}:
            if switch not in rows:
                fail(f"{name} --help lacks a line for {switch}")
        # Every listed switch is taken: none is an unknown switch.
        for switch in rows:
            code, _, err = case.run(name, switch + "=x" if switch != "--help" else "-h")
            if "unknown switch" in err:
                fail(f"{name} lists {switch} but refuses it: {err}")
        if "exit status:" not in out:
            fail(f"{name} --help lacks the exit statuses")
    # --help wins over everything else given.
    out, _ = case.ok("trace", "a", "b", "--bogus", "--help")
    if "--with TRACER" not in out:
        fail("trace --help with a bad switch beside it")


def case_version(case):
    out, _ = case.ok("--version")
    if not re.fullmatch(r"tesnova-cli \d{4}\.\d{2}\.\d{2}\n", out):
        fail(f"--version printed {out!r}")


def case_exit_statuses(case):
    svg = case.path("empty.svg")
    with open(svg, "w") as f:
        f.write('<svg width="10" height="10">\n</svg>\n')
    rows = [
        (0, ["svg2dxf", VTRACER_SVG, case.path("ok.dxf")]),
        (1, ["svg2dxf", case.path("none.svg"), case.path("x.dxf")]),
        (1, ["svg2dxf", svg, case.path("x.dxf")]),
        (2, ["svg2dxf", svg]),
        (2, ["svg2dxf", svg, case.path("x.dxf"), "--quiet=1"]),
        # Bad usage is told before a tracer that is not there.
        (2, ["trace", SCAN, case.path("x.dxf"), "--with", "potrace", "--tool", case.path("no/potrace"),
             "--timeout", "0"]),
        (1, ["trace", SCAN, case.path("x.dxf"), "--with", "potrace", "--tool", case.path("no/potrace")]),
        (2, ["frobnicate"]),
        (2, []),
        (2, ["help", "frobnicate"]),
    ]
    for status, args in rows:
        code, _, err = case.run(*args)
        if code != status:
            fail(f"{' '.join(args)}: exit {code}, expected {status}: {err}")


# --- reports --------------------------------------------------------------------------------------

def case_reports(case):
    """Reports are key: value lines with the keys --help names, and their numbers are true."""
    need("potrace")
    out, _ = case.ok("svg2dxf", VTRACER_SVG, case.path("v.dxf"), "--quiet")
    values = report(out)
    if values.get("layout") != "vtracer":
        fail(f"svg2dxf of VTracer's SVG reports {values}")
    if int(values["polylines"]) != len(entities(case.path("v.dxf"))):
        fail(f"svg2dxf reports {values['polylines']} polylines, the DXF holds otherwise")
    out, _ = case.ok("trace", SCAN, case.path("t.dxf"), "--with", "potrace", "--otsu")
    values = report(out)
    if values.get("tracer") != "potrace" or int(values["entities"]) != len(entities(case.path("t.dxf"))):
        fail(f"trace reports {values}")
    out, _ = case.ok("prepare", SCAN, case.path("p.bmp"), "--otsu")
    if set(report(out)) != {"threshold", "insertion rotation", "size"}:
        fail(f"prepare reports {out!r}")
    for name, args in (("svg2dxf", []), ("trace", []), ("prepare", [])):
        documented = set(re.findall(r"^  ([a-z][a-z ]*):", case.ok(name, "--help")[0], re.M))
        if not documented:
            fail(f"{name} --help names no report key")


# --- progress -----------------------------------------------------------------------------------

def run_on_terminal(cli, args):
    """Runs with standard error on a terminal, standard output on a pipe: (status, out, err)."""
    master, slave = pty.openpty()
    p = subprocess.Popen([cli, *args], stdout=subprocess.PIPE, stderr=slave)
    os.close(slave)
    seen = b""
    while True:
        try:
            chunk = os.read(master, 4096)
        except OSError:  # the terminal is gone once the program has ended
            break
        if not chunk:
            break
        seen += chunk
    out = p.stdout.read().decode("utf-8", "replace")
    p.wait(timeout=120)
    os.close(master)
    return p.returncode, out, seen.decode("utf-8", "replace")


def case_progress(case):
    need("potrace")
    args = ["trace", SCAN, case.path("t.dxf"), "--with", "potrace", "--otsu"]
    code, out, err = run_on_terminal(case.cli, args)
    if code != 0:
        fail(f"trace on a terminal: exit {code}: {err}")
    for step in ("tesnova-cli trace: reading scan.png", "tracing with potrace", "writing t.dxf"):
        if step not in err:
            fail(f"no progress step {step!r} on the terminal: {err!r}")
    # The line is cleared at the end, and the report on standard output is untouched.
    if not err.endswith("\r"):
        fail(f"the progress line is left standing: {err[-80:]!r}")
    report(out)
    code, out, err = run_on_terminal(case.cli, args + ["--quiet"])
    if code != 0 or err:
        fail(f"--quiet on a terminal: exit {code}, standard error {err!r}")
    report(out)
    # Standard error redirected to a file or a pipe: no progress at all.
    code, out, err = case.run(*args)
    if code != 0 or err:
        fail(f"trace with standard error on a pipe: exit {code}, standard error {err!r}")
    code, _, err = run_on_terminal(case.cli, ["prepare", SCAN, case.path("p.bmp"), "--otsu"])
    if code != 0 or "tesnova-cli prepare: reading scan.png" not in err:
        fail(f"prepare on a terminal: exit {code}: {err!r}")
    # A long file name is cut so that the line never wraps (the carriage return would then go
    # back over its last row only).
    long_name = case.path("a picture with a very long name" * 4 + ".png")
    shutil.copy(SCAN, long_name)
    code, _, err = run_on_terminal(case.cli, ["prepare", long_name, case.path("p.bmp")])
    widest = max(len(part) for part in err.split("\r"))
    if code != 0 or "tesnova-cli prepare: reading a picture" not in err or widest > 78:
        fail(f"long name on a terminal: exit {code}, {widest} columns: {err!r}")
    # A failure's message stands on a line of its own, not after a step.
    code, _, err = run_on_terminal(case.cli, ["svg2dxf", case.path("none.svg"), case.path("x.dxf")])
    # What the terminal shows of each line: the text after its last carriage return.
    shown = [line.split("\r")[-1] for line in err.replace("\r\n", "\n").split("\n")]
    message = [line for line in shown if "none.svg" in line]
    if code != 1 or not message or not message[0].startswith("tesnova-cli svg2dxf: /"):
        fail(f"failure on a terminal: exit {code}: {err!r}")


# --- finding the tracers ------------------------------------------------------------------------

def case_finds_tools(case):
    need("potrace")
    pic = case.path("in.png")
    shutil.copy(SCAN, pic)
    # After the set-up, VTracer is found on PATH without --tool.
    if shutil.which("vtracer") is None:
        fail("no vtracer on PATH: scripts/setup.sh puts one there")
    out, _ = case.ok("trace", pic, case.path("v.dxf"), "--with", "vtracer", "--otsu")
    if report(out).get("entities", "0") == "0":
        fail(f"trace --with vtracer: {out}")

    # Not there: the message names the program, the folders looked in and the switch.
    empty = case.path("empty folder")
    os.makedirs(empty)
    env = dict(os.environ, PATH=empty)
    for args, program, switch in (
            (["trace", pic, case.path("x.dxf"), "--with", "vtracer"], "vtracer", "--tool PATH"),
            (["trace", pic, case.path("x.dxf"), "--with", "potrace", "--tool", "mypotrace"],
             "mypotrace", "--tool PATH"),
            (["centerline", case.path("x.bmp"), case.path("x.dxf")], "potrace", "--potrace PATH")):
        code, _, err = case.run(*args, env=env)
        if code != 1:
            fail(f"{program} missing: exit {code}: {err}")
        for words in (f"{program} was not found", empty, os.path.dirname(case.cli), switch):
            if words not in err:
                fail(f"{program} missing: the message lacks {words!r}: {err}")
        if os.path.exists(case.path("x.dxf")):
            fail("a DXF despite the missing tracer")

    # A bare name is looked for on PATH; beside tesnova-cli when PATH has none.
    marker = case.path("ran")
    folder = case.path("tools")
    os.makedirs(folder)
    potrace = shutil.which("potrace")
    with open(os.path.join(folder, "mypotrace"), "w") as f:
        f.write(f'#!/bin/sh\necho "$0" > "{marker}"\nexec "{potrace}" "$@"\n')
    os.chmod(os.path.join(folder, "mypotrace"), 0o755)
    case.ok("trace", pic, case.path("p.dxf"), "--with", "potrace", "--tool", "mypotrace", "--otsu",
            env=dict(os.environ, PATH=folder + os.pathsep + os.environ["PATH"]))
    with open(marker) as f:
        if f.read().strip() != os.path.join(folder, "mypotrace"):
            fail("the bare --tool name was not taken from PATH")
    own = case.path("own")
    os.makedirs(own)
    cli = os.path.join(own, "tesnova-cli")
    shutil.copy(case.cli, cli)
    shutil.copy(os.path.join(folder, "mypotrace"), os.path.join(own, "potrace"))
    os.remove(marker)
    case.ok("trace", pic, case.path("q.dxf"), "--with", "potrace", "--otsu", env=env, cli=cli)
    with open(marker) as f:
        if f.read().strip() != os.path.join(own, "potrace"):
            fail("potrace beside tesnova-cli was not found")


# --- Potrace's SVG ------------------------------------------------------------------------------

def segments(rings):
    for ring in rings:
        for a, b in zip(ring, ring[1:] + ring[:1]):
            yield a, b


def distance(p, a, b):
    dx, dy = b[0] - a[0], b[1] - a[1]
    length = dx * dx + dy * dy
    t = 0 if length == 0 else max(0, min(1, ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length))
    return math.hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy)


def farthest(points, rings, cell=4):
    """How far the farthest of the points lies from the rings' outlines."""
    grid = {}
    for a, b in segments(rings):
        for i in range(int(min(a[0], b[0]) // cell) - 1, int(max(a[0], b[0]) // cell) + 2):
            for j in range(int(min(a[1], b[1]) // cell) - 1, int(max(a[1], b[1]) // cell) + 2):
                grid.setdefault((i, j), []).append((a, b))
    worst = 0
    for p in points:
        near = grid.get((int(p[0] // cell), int(p[1] // cell)), [])
        worst = max(worst, min((distance(p, a, b) for a, b in near), default=math.inf))
    return worst


def case_potrace_svg(case):
    """svg2dxf on Potrace's SVG puts the outlines where Potrace's own DXF back end puts them."""
    need("potrace")
    need("dxf2vrml")
    need("convert")
    # A part of the scanned drawing keeps the independent reader's work short.
    bmp = case.path("part.bmp")
    subprocess.run(["convert", bitmap_of_scan(case), "-crop", "400x300+300+200", "+repage", bmp],
                   check=True)
    # Polygons (-a 0) must agree to the SVG's rounding to a tenth of a pixel; curves to within
    # the arcs by which Potrace's DXF back end approximates them.
    for options, tolerance in (([], 1.0), (["-a", "0"], 0.1), (["-a", "0", "--tight", "-A", "30"], 0.1),
                               (["--group"], 1.0), (["--flat", "-a", "0"], 0.1)):
        svg, own, ours = case.path("p.svg"), case.path("potrace.dxf"), case.path("ours.dxf")
        for out, backend in ((svg, "-s"), (own, "-b dxf")):
            subprocess.run(["potrace", bmp, *backend.split(), *options, "-o", out], check=True)
        out, _ = case.ok("svg2dxf", svg, ours, "--divisions", "16")
        values = report(out)
        doc = ezdxf.readfile(ours)
        auditor = doc.audit()
        if auditor.has_errors:
            fail(f"{options}: ezdxf audit: {[str(e) for e in auditor.errors]}")
        rings = [[(v.dxf.location.x, v.dxf.location.y) for v in e.vertices] for e in doc.modelspace()]
        theirs = [[(v.x, v.y) for v in dxf_path.make_path(e).flattening(0.05)]
                  for e in ezdxf.readfile(own).modelspace()]
        if values.get("layout") != "potrace" or int(values["polylines"]) != len(rings):
            fail(f"{options}: report {values} for {len(rings)} polylines")
        if len(rings) != len(theirs) or len(rings) < 20:
            fail(f"{options}: {len(rings)} polylines, Potrace's DXF has {len(theirs)}")
        ours_off = farthest([p for r in rings for p in r], theirs, cell=2)
        theirs_off = farthest([p for r in theirs for p in r], rings, cell=2)
        if ours_off > tolerance or theirs_off > tolerance:
            fail(f"{options}: outlines {ours_off:.3f} / {theirs_off:.3f} px apart, allowed {tolerance}")
        if subprocess.run(["dxf2vrml", ours, "-o", case.path("ours.wrl")],
                          capture_output=True).returncode != 0:
            fail(f"{options}: dxf2vrml refuses the DXF")
    # With Potrace's default options the outlines lie on the picture's edges, y up, holes kept.
    subprocess.run(["potrace", bitmap_of_scan(case), "-s", "-o", svg], check=True)
    case.ok("svg2dxf", svg, ours)
    check = subprocess.run([sys.executable, os.path.join(HERE, "check_dxf.py"), ours, SCAN],
                           capture_output=True, text=True)
    if check.returncode != 0:
        fail("check_dxf.py: " + check.stdout + check.stderr)


POTRACE_HEAD = """<svg version="1.0" xmlns="http://www.w3.org/2000/svg"
 width="100.000000pt" height="100.000000pt" viewBox="0 0 100.000000 100.000000">
<g transform="translate(0.000000,100.000000) scale(0.100000,-0.100000)"
fill="#000000" stroke="none">
"""


def case_potrace_svg_refused(case):
    """What the Potrace reader cannot read is told, naming the SVG, and no DXF is written."""
    old = b"the user's own DXF\r\n"
    dxf = case.path("out.dxf")
    rows = [
        ("blank.svg", POTRACE_HEAD + "</g>\n</svg>\n", "描ける path がありません"),
        ("moved.svg", POTRACE_HEAD + '<path transform="translate(5,5)" d="M0 0 l10 0 0 10z"/>\n</g>\n',
         "transform"),
        ("unsized.svg", POTRACE_HEAD.replace('width="100.000000pt" height="100.000000pt" '
                                             'viewBox="0 0 100.000000 100.000000"', "")
         + '<path d="M0 0 l10 0 0 10z"/>\n</g>\n', "viewBox"),
        ("badnumber.svg", POTRACE_HEAD + '<path d="M0 0 l10 0 1.2.3 10z"/>\n</g>\n', "'1.2.3'"),
        ("skewed.svg", POTRACE_HEAD.replace("scale(", "skewX(30) scale(") + '<path d="M0 0 l1 0z"/>\n</g>\n',
         "transform"),
    ]
    for name, text, words in rows:
        with open(case.path(name), "w") as f:
            f.write(text)
        with open(dxf, "wb") as f:
            f.write(old)
        code, _, err = case.run("svg2dxf", case.path(name), dxf)
        if code != 1 or name not in err or words not in err:
            fail(f"{name}: exit {code}: {err}")
        with open(dxf, "rb") as f:
            if f.read() != old:
                fail(f"{name}: the old DXF was changed")
    # Path data over several lines, relative commands, groups repeated without their letter and a
    # hole after "z m": two closed squares, y up from the bottom edge, in pixels.
    with open(case.path("square.svg"), "w") as f:
        f.write(POTRACE_HEAD + '<path d="M100 900 l0 -800 800\n0 0 800 -800 0z m100 -100 l600 0 0\n'
                '-600 -600 0z"/>\n</g>\n</svg>\n')
    case.ok("svg2dxf", case.path("square.svg"), dxf)
    rings = [[(round(v.dxf.location.x, 3), round(v.dxf.location.y, 3)) for v in e.vertices]
             for e in ezdxf.readfile(dxf).modelspace()]
    expected = [[(10, 90), (10, 10), (90, 10), (90, 90), (10, 90)],
                [(20, 80), (80, 80), (80, 20), (20, 20), (20, 80)]]
    if rings != expected:
        fail(f"squares: {rings}")


if __name__ == "__main__":
    check_failures.main({name[5:]: f for name, f in globals().items() if name.startswith("case_")},
                        Case)
