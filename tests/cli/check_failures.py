#!/usr/bin/python3
"""tesnova-cli when things go wrong: nothing of the user's is lost, nothing false is reported.

  check_failures.py TESNOVA-CLI WORK-FOLDER CASE

Each CASE is one ctest test. Every case checks the exit status, that the message names the
file concerned, that an existing output file is left exactly as it was, and that no temporary
folder of the run is left in TMPDIR (set to a folder of the case's own).
"""
import os
import shutil
import signal
import struct
import subprocess
import sys
import time
import zlib

SKIP = 77
HERE = os.path.dirname(os.path.abspath(__file__))
PICTURES = os.path.join(HERE, "..", "data", "pictures")
OLD = b"the user's own file, which must survive\r\n"


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


class Case:
    def __init__(self, cli, work, name):
        self.cli = cli
        self.dir = os.path.join(work, name)
        shutil.rmtree(self.dir, ignore_errors=True)
        os.makedirs(self.dir)
        self.tmp = os.path.join(self.dir, "tmp")
        os.makedirs(self.tmp)

    def path(self, name):
        return os.path.join(self.dir, name)

    def env(self):
        env = dict(os.environ)
        env["TMPDIR"] = self.tmp
        return env

    def run(self, *args, timeout=60):
        p = subprocess.run([self.cli, *args], capture_output=True, env=self.env(), timeout=timeout)
        return p.returncode, p.stderr.decode("utf-8", "replace")

    def old_output(self, name):
        path = self.path(name)
        with open(path, "wb") as f:
            f.write(OLD)
        return path

    def expect_failure(self, args, says, untouched=None, status=1):
        code, err = self.run(*args)
        if code != status:
            fail(f"{' '.join(args)}: exit {code}, expected {status}; stderr: {err}")
        for text in says:
            if text not in err:
                fail(f"{' '.join(args)}: stderr lacks {text!r}: {err}")
        if untouched is not None:
            with open(untouched, "rb") as f:
                if f.read() != OLD:
                    fail(f"{untouched} was changed")
        self.expect_no_temporaries()
        return err

    def expect_no_temporaries(self):
        left = os.listdir(self.tmp)
        if left:
            fail(f"temporaries left in TMPDIR: {left}")
        strays = [n for n in os.listdir(self.dir) if n.endswith(".tmp")]
        if strays:
            fail(f"temporary files left beside the output: {strays}")

    def script(self, name, body):
        path = self.path(name)
        with open(path, "w") as f:
            f.write("#!/bin/sh\n" + body + "\n")
        os.chmod(path, 0o755)
        return path


def write_bmp(path, width, height, pixel):
    """A 24-bit bitmap; pixel(x, y) gives (b, g, r) with y from the top."""
    row_size = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(height - 1, -1, -1):
        row = b"".join(bytes(pixel(x, y)) for x in range(width))
        rows.append(row + b"\0" * (row_size - len(row)))
    data = b"".join(rows)
    header = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def ink_square(x, y):
    """Grey ink (60) on grey paper (200): a thick square outline."""
    inside = 20 <= x < 80 and 20 <= y < 80
    hole = 35 <= x < 65 and 35 <= y < 65
    return (60, 60, 60) if inside and not hole else (200, 200, 200)


def drawing(case):
    path = case.path("in.bmp")
    write_bmp(path, 100, 100, ink_square)
    return path


def bmp_pixels(path):
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    return data[offset:], width, abs(height)


DXF_ENTITY = "0\nSECTION\n2\nENTITIES\n0\nPOLYLINE\n8\n0\n66\n1\n0\nVERTEX\n10\n1\n20\n1\n0\nSEQEND\n"
COMPLETE_DXF = DXF_ENTITY + "0\nENDSEC\n0\nEOF\n"


# A fake Potrace: called as `tool "IN.bmp" OPTIONS` (or IN.pbm), it writes IN.dxf beside the
# picture, its extension replaced, as Potrace does.
def fake_potrace(case, then):
    return case.script("potrace", 'out="${1%.*}.dxf"\n' + then)


def case_output_is_input(case):
    svg = case.path("a.svg")
    with open(svg, "w") as f:
        f.write('<svg height="10">\n<path d="M1 2 L3 4 Z" transform="translate(0,0)"/>\n')
    with open(svg, "rb") as f:
        before = f.read()
    # The same file under another spelling and through a hard link.
    os.link(svg, case.path("link.svg"))
    for out in (svg, case.dir + "/./a.svg", case.path("link.svg")):
        case.expect_failure(["svg2dxf", svg, out], ["a.svg", "入力ファイル"])
    pic = drawing(case)
    with open(pic, "rb") as f:
        picture = f.read()
    case.expect_failure(["trace", pic, pic, "--with", "potrace"], ["in.bmp", "入力ファイル"])
    case.expect_failure(["prepare", pic, pic], ["in.bmp", "入力ファイル"])
    case.expect_failure(["centerline", pic, pic], ["in.bmp", "入力ファイル"])
    for path, content in ((svg, before), (pic, picture)):
        with open(path, "rb") as f:
            if f.read() != content:
                fail(f"{path} was overwritten")


def case_tracer_crashes(case):
    out = case.old_output("out.dxf")
    tool = fake_potrace(case, f"printf '{COMPLETE_DXF}' > \"$out\"\nkill -SEGV $$")
    case.expect_failure(["trace", drawing(case), out, "--with", "potrace", "--tool", tool],
                        [tool, "signal 11"], untouched=out)


def case_tracer_exit_status(case):
    out = case.old_output("out.dxf")
    tool = fake_potrace(case, f"printf '{COMPLETE_DXF}' > \"$out\"\nexit 3")
    case.expect_failure(["trace", drawing(case), out, "--with", "potrace", "--tool", tool],
                        [tool, "exit status 3"], untouched=out)


def case_tracer_half_dxf(case):
    out = case.old_output("out.dxf")
    tool = fake_potrace(case, f"printf '{DXF_ENTITY}0\\nENDSEC\\n0\\nEO' > \"$out\"")
    case.expect_failure(["trace", drawing(case), out, "--with", "potrace", "--tool", tool],
                        [tool, "incomplete DXF"], untouched=out)


def hanging_tracer(case):
    # The tracer and a child of its own both hang; their process ids go to a file.
    pids = case.path("pids")
    tool = fake_potrace(case, f'echo $$ > "{pids}.new"\nsleep 300 &\necho $! >> "{pids}.new"\n'
                              f'mv "{pids}.new" "{pids}"\nwait')
    return tool, pids


def expect_ended(pids):
    with open(pids) as f:
        numbers = [int(n) for n in f.read().split()]
    deadline = time.time() + 10
    while time.time() < deadline:
        alive = []
        for pid in numbers:
            try:
                with open(f"/proc/{pid}/stat") as f:
                    if f.read().split(")")[-1].split()[0] != "Z":
                        alive.append(pid)
            except FileNotFoundError:
                pass
        if not alive:
            return
        time.sleep(0.1)
    fail(f"programs left running: {alive}")


def case_tracer_hangs(case):
    out = case.old_output("out.dxf")
    tool, pids = hanging_tracer(case)
    # Without the time-out the tracer would sleep for 300 s, past the test's own limit.
    case.expect_failure(["trace", drawing(case), out, "--with", "potrace", "--tool", tool,
                         "--timeout", "1"], [tool, "--timeout"], untouched=out)
    expect_ended(pids)
    case.expect_failure(["trace", drawing(case), out, "--with", "potrace", "--timeout", "0"],
                        ["--timeout"], untouched=out, status=2)


# Potrace's SVG of a square ring in the layout of potrace -s: outline and hole, in tenths of a
# pixel with y up. The centerline bench finds its centerline.
RING_SVG = """<svg version="1.0" xmlns="http://www.w3.org/2000/svg"
 width="100.000000pt" height="100.000000pt" viewBox="0 0 100.000000 100.000000">
<g transform="translate(0.000000,100.000000) scale(0.100000,-0.100000)"
fill="#000000" stroke="none">
<path d="M200 500 l0 -300 300 0 300 0 0 300 0 300 -300 0 -300 0 0 -300z
m450 0 l0 -150 -150 0 -150 0 0 150 0 150 150 0 150 0 0 -150z"/>
</g>
</svg>
"""


# A fake Potrace for the centerline bench: called as `tool "IN.pbm" -s -o "OUT.svg"`.
def fake_svg_potrace(case, then):
    svg = case.path("ring.svg")
    with open(svg, "w") as f:
        f.write(RING_SVG)
    return case.script("potrace", f'cp "{svg}" "$4"\n' + then)


def case_centerline_exit_status(case):
    out = case.old_output("out.dxf")
    pic = drawing(case)
    # The same Potrace ending well gives a centerline: its SVG is good.
    tool = fake_svg_potrace(case, "exit 0")
    code, err = case.run("centerline", pic, case.path("good.dxf"), "--potrace", tool)
    if code != 0:
        fail(f"a Potrace that ends well: exit {code}: {err}")
    tool = fake_svg_potrace(case, "exit 3")
    case.expect_failure(["centerline", pic, out, "--potrace", tool], [tool, "exit status 3"],
                        untouched=out)
    tool = fake_svg_potrace(case, "kill -SEGV $$")
    case.expect_failure(["centerline", pic, out, "--potrace", tool], [tool, "signal 11"],
                        untouched=out)


def case_centerline_hangs(case):
    out = case.old_output("out.dxf")
    tool, pids = hanging_tracer(case)
    case.expect_failure(["centerline", drawing(case), out, "--potrace", tool, "--timeout", "1"],
                        [tool, "--timeout"], untouched=out)
    expect_ended(pids)
    case.expect_failure(["centerline", drawing(case), out, "--timeout", "0"], ["--timeout"],
                        untouched=out, status=2)


def case_interrupted(case):
    out = case.old_output("out.dxf")
    tool, pids = hanging_tracer(case)
    p = subprocess.Popen([case.cli, "trace", drawing(case), out, "--with", "potrace", "--tool",
                          tool], env=case.env(), stderr=subprocess.PIPE)
    deadline = time.time() + 20
    while not os.path.exists(pids):
        if time.time() > deadline or p.poll() is not None:
            p.kill()
            fail("the hanging tracer did not start")
        time.sleep(0.05)
    if not os.listdir(case.tmp):
        fail("no work folder while tracing")
    p.send_signal(signal.SIGINT)
    try:
        code = p.wait(timeout=20)
    except subprocess.TimeoutExpired:
        p.kill()
        fail("an interrupt did not end the run")
    if code != 130:
        fail(f"exit {code} after an interrupt, expected 130")
    expect_ended(pids)
    case.expect_no_temporaries()
    with open(out, "rb") as f:
        if f.read() != OLD:
            fail("output changed")


def case_centerline_keeps_no_files_beside_the_bitmap(case):
    potrace = shutil.which("potrace")
    if not potrace:
        print("SKIP: no potrace")
        sys.exit(SKIP)
    pic = drawing(case)
    code, err = case.run("prepare", pic, case.path("mono.bmp"), "--otsu")
    if code != 0:
        fail(err)
    for name in ("mono.svg", "mono.pbm"):
        with open(case.path(name), "wb") as f:
            f.write(OLD)
    code, err = case.run("centerline", case.path("mono.bmp"), case.path("c.dxf"),
                         "--potrace", potrace)
    for name in ("mono.svg", "mono.pbm"):
        with open(case.path(name), "rb") as f:
            if f.read() != OLD:
                fail(f"{name} beside the bitmap was overwritten")
    case.expect_no_temporaries()


def case_grey_ink_is_kept(case):
    """Two levels, grey ink 60 on paper 200: Otsu's threshold keeps the ink black."""
    pic = drawing(case)
    out = case.path("mono.bmp")
    code, err = case.run("prepare", pic, out, "--otsu")
    if code != 0:
        fail(err)
    pixels, width, height = bmp_pixels(out)
    row = (width * 3 + 3) // 4 * 4
    ink = sum(1 for y in range(height) for x in range(width) if pixels[y * row + x * 3] == 0)
    expected = 60 * 60 - 30 * 30
    if ink != expected:
        fail(f"{ink} black pixels after --otsu, expected {expected}")
    if shutil.which("potrace"):
        code, err = case.run("trace", pic, case.path("t.dxf"), "--with", "potrace", "--otsu")
        if code != 0:
            fail("trace of grey ink: " + err)


def case_nothing_drawable(case):
    svg = case.path("empty.svg")
    with open(svg, "w") as f:
        f.write('<svg width="10" height="10">\n<rect/>\n</svg>\n')
    out = case.old_output("out.dxf")
    case.expect_failure(["svg2dxf", svg, out], ["empty.svg", "path"], untouched=out)
    if shutil.which("potrace"):
        blank = case.path("blank.bmp")
        write_bmp(blank, 50, 50, lambda x, y: (255, 255, 255))
        case.expect_failure(["trace", blank, out, "--with", "potrace"], ["blank.bmp"],
                            untouched=out)


def case_out_of_range_number(case):
    svg = case.path("huge.svg")
    with open(svg, "w") as f:
        f.write('<svg height="10">\n<path d="M1 2 L3 4 Z" transform="translate(1e39,0)"/>\n')
    out = case.old_output("out.dxf")
    case.expect_failure(["svg2dxf", svg, out], ["huge.svg", "大きすぎます"], untouched=out)


def case_vertex_budget(case):
    svg = case.path("curves.svg")
    curve = " ".join(f"C {i} 1 {i} 2 {i + 1} 0" for i in range(600))
    with open(svg, "w") as f:
        f.write(f'<svg height="10">\n<path d="M0 0 {curve} Z" transform="translate(0,0)"/>\n')
    out = case.old_output("out.dxf")
    case.expect_failure(["svg2dxf", svg, out, "--divisions", "10000"], ["curves.svg", "頂点"],
                        untouched=out)


def case_unclosed_translate(case):
    svg = case.path("open.svg")
    with open(svg, "w") as f:
        f.write('<svg height="100">\n<path d="M10 20 L30 40 Z" transform="translate(5,6"/>\n')
    code, err = case.run("svg2dxf", svg, case.path("open.dxf"))
    if code != 0:
        fail(err)
    with open(case.path("open.dxf")) as f:
        lines = f.read().split()
    groups = list(zip(lines[0::2], lines[1::2]))
    # Neither moved nor flipped: the vertices as the path gives them.
    xs = [value for code, value in groups if code == "10"]
    ys = [value for code, value in groups if code == "20"]
    if xs != ["10", "30", "10"] or ys != ["20", "40", "20"]:
        fail(f"vertices {list(zip(xs, ys))}")


def damaged_jpeg(case):
    with open(os.path.join(PICTURES, "colours.jpg"), "rb") as f:
        data = f.read()
    sos = data.index(b"\xff\xda")
    # The data stops early but ends with the end-of-image marker.
    cut = data[:sos + (len(data) - sos) // 3] + b"\xff\xd9"
    path = case.path("cut.jpg")
    with open(path, "wb") as f:
        f.write(cut)
    return path


def damaged_png(case):
    """A text chunk whose CRC does not match: libpng only warns of it unless told otherwise."""
    with open(os.path.join(PICTURES, "grey.png"), "rb") as f:
        data = f.read()
    body = b"Comment\0hello"
    crc = zlib.crc32(b"tEXt" + body) ^ 0xFF
    chunk = struct.pack(">I", len(body)) + b"tEXt" + body + struct.pack(">I", crc & 0xFFFFFFFF)
    header_end = 8 + 25  # the signature and the IHDR chunk
    path = case.path("crc.png")
    with open(path, "wb") as f:
        f.write(data[:header_end] + chunk + data[header_end:])
    return path


def huge_rle_bmp(case):
    # An RLE8 bitmap that declares 60000 x 60000 pixels in a few bytes.
    data = b"\x00\x01"  # end of bitmap
    palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
    offset = 14 + 40 + len(palette)
    header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, 60000, 60000, 1, 8, 1, len(data), 0, 0, 256, 0)
    path = case.path("huge-rle.bmp")
    with open(path, "wb") as f:
        f.write(header + info + palette + data)
    return path


def case_damaged_pictures(case):
    out = case.old_output("out.bmp")
    for picture, words in ((damaged_jpeg(case), "cut.jpg"), (damaged_png(case), "crc.png"),
                           (huge_rle_bmp(case), "huge-rle.bmp")):
        err = case.expect_failure(["prepare", picture, out], [words], untouched=out)
        for raw in ("std::", "basic_filebuf", "filesystem error"):
            if raw in err:
                fail(f"raw library text for {words}: {err}")


def png_damaged_at_row(case, name, width, height, damaged):
    """Grey rows, one stored deflate block each; row `damaged`'s block has lengths that do not
    agree, so that the first rows decode and then the file is found damaged."""
    raw = [b"\0" + bytes((x * 37 + y * 11) & 255 for x in range(width)) for y in range(height)]
    stream = b"\x78\x01"
    for y, row in enumerate(raw):
        n = len(row)
        check = n if y == damaged else n ^ 0xFFFF
        stream += bytes((1 if y + 1 == height else 0,)) + struct.pack("<HH", n, check) + row
    stream += struct.pack(">I", zlib.adler32(b"".join(raw)))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    path = case.path(name)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0))
                + chunk(b"IDAT", stream) + chunk(b"IEND", b""))
    return path


def case_damaged_rows_traced(case):
    """A picture found damaged after some of its rows were decoded straight into the one-bit
    picture: an error naming it, the output as it was, no work folder left."""
    picture = png_damaged_at_row(case, "damaged rows.png", 301, 200, 120)
    out = case.old_output("out.dxf")
    for switches in ([], ["--otsu"], ["--median"]):
        for tracer in ("potrace", "centerline"):
            case.expect_failure(["trace", picture, out, "--with", tracer, *switches],
                                ["damaged rows.png"], untouched=out)
    whole = png_damaged_at_row(case, "whole.png", 301, 200, -1)
    code, err = case.run("prepare", whole, case.path("whole.bmp"))
    if code != 0:
        fail("the undamaged picture: " + err)


def case_not_a_file(case):
    out = case.old_output("out.bmp")
    folder = case.path("folder.png")
    os.makedirs(folder)
    fifo = case.path("fifo.png")
    os.mkfifo(fifo)
    for picture in (folder, fifo):
        err = case.expect_failure(["prepare", picture, out], [os.path.basename(picture)],
                                  untouched=out)
        if "std::" in err or "basic_filebuf" in err:
            fail(f"raw library text: {err}")
    case.expect_failure(["svg2dxf", folder, case.path("x.dxf")], ["folder.png"])


def case_switch_values(case):
    pic = drawing(case)
    out = case.old_output("out.bmp")
    for value in ("abc", "99999", "0", ""):
        case.expect_failure(["prepare", pic, out, "--threshold", value],
                            ["prepare: --threshold"], untouched=out, status=2)
    case.expect_failure(["trace", pic, out, "--with", "potrace", "--bogus"],
                        ["tesnova-cli trace: unknown switch --bogus"], untouched=out, status=2)


def case_full_disk(case):
    disk = case.path("disk")
    os.makedirs(disk)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", disk],
                      capture_output=True).returncode != 0:
        print("SKIP: cannot mount a tmpfs here")
        sys.exit(SKIP)
    try:
        out = os.path.join(disk, "o.dxf")
        with open(out, "wb") as f:
            f.write(OLD * 500)  # about 20 KB
        svg = case.path("big.svg")
        with open(svg, "w") as f:
            f.write('<svg height="100">\n')
            for i in range(400):
                f.write(f'<path d="M{i} 0 L{i} 50 L{i + 1} 50 Z" transform="translate(0,0)"/>\n')
        code, err = case.run("svg2dxf", svg, out)
        if code != 1 or "o.dxf" not in err or "ディスクの空き容量が足りません" not in err:
            fail(f"exit {code}: {err}")
        with open(out, "rb") as f:
            if f.read() != OLD * 500:
                fail("the old DXF was damaged")
        if os.listdir(disk) != ["o.dxf"]:
            fail(f"left on the disk: {os.listdir(disk)}")
        pic = drawing(case)
        bmp = os.path.join(disk, "o.bmp")
        os.remove(out)
        with open(bmp, "wb") as f:
            f.write(OLD * 500)
        write_bmp(case.path("big.bmp"), 300, 300, lambda x, y: (x % 256, y % 256, 0))
        code, err = case.run("prepare", case.path("big.bmp"), bmp)
        if code != 1 or "o.bmp" not in err:
            fail(f"prepare on a full disk: exit {code}: {err}")
        with open(bmp, "rb") as f:
            if f.read() != OLD * 500:
                fail("the old BMP was damaged")
        if os.listdir(disk) != ["o.bmp"]:
            fail(f"left on the disk: {os.listdir(disk)}")
    finally:
        subprocess.run(["umount", "-l", disk])


def main(cases, case_kind=Case):
    script = os.path.basename(sys.argv[0])
    if len(sys.argv) != 4 or sys.argv[3] not in cases:
        print(f"usage: {script} TESNOVA-CLI WORK-FOLDER {'|'.join(cases)}")
        sys.exit(2)
    cli, work, name = sys.argv[1:]
    cases[name](case_kind(os.path.abspath(cli), work, name))
    print("ok")


if __name__ == "__main__":
    main({name[5:]: f for name, f in globals().items() if name.startswith("case_")})
