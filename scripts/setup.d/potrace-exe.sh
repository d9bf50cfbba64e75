#!/usr/bin/env bash
# A Windows potrace.exe for the tests under Wine, cross-built with MinGW-w64 from Debian's
# potrace source package. It lands in /opt/tesnova/potrace.exe (TESNOVA_POTRACE_EXE chooses
# another place), outside the repository; the source is unpacked in a scratch folder and removed.
# Idempotent and quiet when the exe is already there.
set -euo pipefail
target=${TESNOVA_POTRACE_EXE:-/opt/tesnova/potrace.exe}
[ -x "$target" ] && exit 0
mkdir -p "$(dirname "$target")"
exec 9>"$target.lock"
flock 9
[ -x "$target" ] && exit 0

echo "setup: building potrace.exe with MinGW-w64 from Debian's source package"
# apt-get source needs a deb-src entry for the suite the binaries come from.
# Its entries mirror the machine's own binary entries, so the same archive serves both.
if ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      >/etc/apt/sources.list.d/tesnova-deb-src.sources
  else
    sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list \
      >/etc/apt/sources.list.d/tesnova-deb-src.list
  fi
  apt-get update -qq
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get source -qq --download-only potrace >/dev/null 2>&1 || apt-get source -qq --download-only potrace
dpkg-source -x --no-check ./potrace_*.dsc src >/dev/null
cd src
./configure -q --host=x86_64-w64-mingw32 --disable-zlib LDFLAGS=-static >/dev/null
make -s -j2 >/dev/null 2>&1
install -m 755 src/potrace.exe "$target.tmp"
mv "$target.tmp" "$target"
