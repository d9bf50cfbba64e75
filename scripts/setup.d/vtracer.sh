#!/usr/bin/env bash
# VTracer for Linux: the VTracer engine of the npm package @neplex/vectorizer behind VTracer's
# command line (testbed/vtracer-node/vtracer). Installs the locked packages once.
set -euo pipefail
dir=$(cd "$(dirname "$0")/../../testbed/vtracer-node" && pwd)
stamp="$dir/node_modules/.tesnova-installed"
if [ -f "$stamp" ] && [ "$stamp" -nt "$dir/package-lock.json" ] &&
  node -e "require('$dir/node_modules/@neplex/vectorizer')" 2>/dev/null; then
  exit 0
fi
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
