#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests and tools checks, the same
# unit tests built for Windows under Wine, the Windows end-to-end tests, and a short fuzz run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

bash scripts/setup.sh

echo "== native build"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j"$jobs"

echo "== Windows build (MinGW-w64)"
cmake -S . -B build/win -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build build/win -j"$jobs"

echo "== fuzz targets (clang, libFuzzer + ASan + UBSan)"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESNOVA_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTESNOVA_TESTS=OFF >/dev/null
cmake --build build/fuzz -j"$jobs" --target all

echo "== tests"
status=0
ctest --test-dir build/fuzz --output-on-failure -L fuzz || status=1
ctest --test-dir build/native --output-on-failure || status=1
ctest --test-dir build/win --output-on-failure || status=1
# Leave no Wine processes behind.
(source scripts/wine-env.sh >/dev/null 2>&1; wineserver -k) || true
exit $status
