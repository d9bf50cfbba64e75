#!/usr/bin/env bash
# The main job on the bundled sample: a real VTracer SVG of a scanned drawing becomes DXF.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j"$(nproc)" --target tesnova-cli
mkdir -p out/demo
build/native/tesnova-cli svg2dxf demo/scan.svg out/demo/scan.dxf
echo "DXF written: $root/out/demo/scan.dxf"
