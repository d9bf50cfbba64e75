#!/usr/bin/env bash
# The main job, end to end under Wine: the stand-in CAD program shows a scanned plan twice (the
# second copy small and turned by 0.3 degrees); Tesnova.exe cuts a region on the Potrace page and
# one on the VTracer page, and picks the turned copy as an image with deskew, vectorised and saved
# in WinTopo's stand-in from Tesnova's buttons; each time the traced lines are inserted back into
# the drawing. Pictures of the CAD view before and
# after, the DXF files and the picked image's work bitmap land in out/demo.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win -j"$(nproc)" --target Tesnova tesnova_e2e tesnova_cad_standin \
  vtracer_standin wintopo_standin
out=$root/out/demo
rm -rf "$out"
mkdir -p "$out"
TESNOVA_DEMO_OUT="Z:$out" scripts/wine-run.sh build/win/tests/e2e/tesnova_e2e.exe \
  --gtest_filter='Demo.*' --gtest_brief=1
test -f "$out/after.png"
echo "The CAD view before and after, and the DXF files: $out"
ls "$out"
