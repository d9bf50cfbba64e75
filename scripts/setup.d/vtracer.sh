#!/usr/bin/env bash
# VTracer for Linux: the VTracer engine of the npm package @neplex/vectorizer behind VTracer's
# command line (testbed/vtracer-node/vtracer). Installs the locked packages once, and puts a
# `vtracer` command on PATH (TESNOVA_BIN, default /usr/local/bin) for `tesnova-cli trace --with
# vtracer`; a vtracer there that is not this one is left alone.
set -euo pipefail
dir=$(cd "$(dirname "$0")/../../testbed/vtracer-node" && pwd)
stamp="$dir/node_modules/.tesnova-installed"
if ! { [ -f "$stamp" ] && [ "$stamp" -nt "$dir/package-lock.json" ] &&
  node -e "require('$dir/node_modules/@neplex/vectorizer')" 2>/dev/null; }; then
  echo "setup: installing the VTracer engine (npm @neplex/vectorizer)"
  # "npm install" rather than "npm ci": the package lists platform builds that the registry does
  # not hold, which "npm ci" refuses; the lock file still pins what is installed.
  log=$(mktemp)
  if ! (cd "$dir" && npm install --no-audit --no-fund --loglevel=error) >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
  touch "$stamp"
fi

# The command on PATH links to this checkout's VTracer. A link to another checkout's is taken
# over only when that one no longer works (the checkout was removed).
bin=${TESNOVA_BIN:-/usr/local/bin}
link="$bin/vtracer"
if [ -L "$link" ] && [ "$(readlink "$link")" = "$dir/vtracer" ]; then
  exit 0
fi
if [ -e "$link" ] || [ -L "$link" ]; then
  target=$(readlink "$link" || true)
  case "$target" in
    */testbed/vtracer-node/vtracer)
      [ -e "$(dirname "$target")/node_modules/@neplex/vectorizer" ] && exit 0 ;;
    *) exit 0 ;;  # a VTracer of the user's own
  esac
fi
echo "setup: putting vtracer on PATH ($link)"
mkdir -p "$bin"
ln -sfn "$dir/vtracer" "$link"
