#!/usr/bin/python3
"""trace hands Potrace a one-bit picture: the DXF is the one Potrace writes from the 24-bit
bitmap that prepare makes with the same switches.

  check_one_bit_trace.py TESNOVA-CLI PICTURE WORK-FOLDER

With a black level in the options (-k), which only a 24-bit picture carries, the 24-bit road is
taken and Potrace's DXF is again the one from prepare's bitmap with those options.
"""
import os
import shutil
import subprocess
import sys

SWITCHES = [[], ["--mono"], ["--threshold", "120"], ["--otsu"], ["--median"],
            ["--gauss", "--threshold", "230"], ["--deskew", "0.4", "--otsu"]]


def main():
    cli, picture, work = sys.argv[1:4]
    potrace = shutil.which("potrace")
    if not potrace:
        print("SKIP: no potrace")
        return 77
    os.makedirs(work, exist_ok=True)
    cases = [(s, "-b dxf") for s in SWITCHES] + [([], "-b dxf -k 0.3"), (["--mono"], "-k 0.3 -b dxf")]
    for switches, options in cases:
        what = " ".join(switches) + f" --options '{options}'"
        bmp = os.path.join(work, "prepared.bmp")
        subprocess.run([cli, "prepare", picture, bmp, *switches], check=True, capture_output=True)
        subprocess.run([potrace, bmp, *options.split()], check=True)
        with open(os.path.join(work, "prepared.dxf"), "rb") as f:
            expected = f.read()
        out = os.path.join(work, "traced.dxf")
        subprocess.run([cli, "trace", picture, out, "--with", "potrace", "--options", options,
                        *switches], check=True, capture_output=True)
        with open(out, "rb") as f:
            if f.read() != expected:
                print(f"FAIL: {what}: the DXF differs from Potrace's on prepare's bitmap")
                return 1
        print(f"{what}: the same DXF ({len(expected)} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
