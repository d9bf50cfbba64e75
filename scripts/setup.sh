#!/usr/bin/env bash
# Installs from Debian's packages (and npm) what the builds, the tests and the demo need.
# Idempotent and quiet when everything is already there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  # native build, tests, benchmarks, fuzzers
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev libjpeg62-turbo-dev libtiff-dev zlib1g-dev libopencv-dev
  # Windows build and its tests under Wine; the stand-in CAD's type library is compiled with
  # widl (mingw-w64-tools) and imports the stdole2.tlb of Wine's 64-bit libraries (libwine)
  g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 libwine xvfb xauth x11-utils
  locales fonts-ipafont-gothic imagemagick
  # outside programs and independent readers used as test oracles
  potrace dime python3-ezdxf dpkg-dev
)
# Node.js with npm: the machine's own when it has one, else Debian's.
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine runs Japanese only under a Japanese UTF-8 locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

# The stand-in CAD's type library imports this one (testbed/cad_standin/CMakeLists.txt).
stdole2=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/stdole2.tlb
[ -f "$stdole2" ] || { echo "setup: $stdole2 is missing (Debian package libwine)" >&2; exit 1; }

# Further pieces (npm packages, cross-built tools) install themselves here.
for step in "$root"/scripts/setup.d/*.sh; do
  [ -e "$step" ] && bash "$step"
done
exit 0
