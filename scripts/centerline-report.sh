#!/usr/bin/env bash
# The centerline tracer's quality report and benchmark, beside the peer pipeline (scikit-image
# skeletonize, a skeleton graph, spur pruning, Douglas-Peucker, least-squares circles):
#
#   scripts/centerline-report.sh [--seeds N] [--big] [--speed-runs N]
#
# Builds the native tracer driver, installs what the report needs (Debian's python3-skimage,
# python3-ezdxf, potrace, GNU time), and writes build/centerline-report/report.md and report.json.
# --big adds the 6000 x 4000 drawing traced beside Potrace, as whole processes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
need=()
for p in python3-skimage python3-ezdxf python3-pil potrace time cmake ninja-build; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if ((${#need[@]})); then
  echo "centerline-report: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
cmake -S "$root" -B "$root/build/native" -G Ninja >/dev/null
cmake --build "$root/build/native" --target centerline-trace -j2 >/dev/null
exec /usr/bin/python3 "$root/bench/centerline_report/report.py" \
  --tracer "$root/build/native/bench/centerline-trace" --out "$root/build/centerline-report" "$@"
