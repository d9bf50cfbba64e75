#!/usr/bin/env bash
# Runs a Windows program under Wine the way the tests need it: a prefix of the project's own,
# the Japanese locale and fonts, no debug chatter, a persistent wineserver and an X display.
# The program's output goes through a file, since Wine's background processes would otherwise
# keep the caller's pipe open after the program ended.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
for fd in /proc/$$/fd/*; do
  n=${fd##*/}
  ((n > 2 && n != 255)) && eval "exec $n>&-" 2>/dev/null
done
source "$root/scripts/wine-env.sh"
log=$(mktemp)
wine "$@" </dev/null >"$log" 2>&1
status=$?
cat "$log"
rm -f "$log"
exit $status
