#!/usr/bin/env bash
# A locale whose decimal separator is a comma, for the tests that prove numbers are written and
# read with a full stop whatever the regional settings.
set -euo pipefail
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "setup: generating the de_DE.UTF-8 locale"
  localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
