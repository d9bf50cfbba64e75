# Sourced: prepares the environment for running Windows programs under Wine.
# TESNOVA_WINEPREFIX chooses the prefix (default: build/wineprefix in the tree).
_tesnova_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${TESNOVA_WINEPREFIX:-$_tesnova_root/build/wineprefix}
export WINEARCH=win64 WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# An X display: the one given, or a private Xvfb.
if [ -z "${DISPLAY:-}" ]; then
  export DISPLAY=:${TESNOVA_XVFB_DISPLAY:-77}
  if ! xdpyinfo >/dev/null 2>&1; then
    setsid nohup Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null 9>&- &
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  fi
fi

# Wine's background processes (wineserver, services.exe, explorer.exe) outlive the program and
# inherit its descriptors: they must not hold the caller's pipes or the prefix lock.
_tesnova_detached() { "$@" </dev/null >/dev/null 2>&1 9>&-; }

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.tesnova-ready" ]; then
    rm -rf "$WINEPREFIX"
    _tesnova_detached wineboot -i || true
    # Japanese fonts under the names Windows programs ask for.
    key='HKCU\Software\Wine\Fonts\Replacements'
    for f in "MS UI Gothic" "MS PGothic" "Meiryo" "Meiryo UI" "Yu Gothic" "Yu Gothic UI" "Segoe UI"; do
      _tesnova_detached wine reg add "$key" /v "$f" /t REG_SZ /d IPAPGothic /f
    done
    _tesnova_detached wine reg add "$key" /v "MS Gothic" /t REG_SZ /d IPAGothic /f
    # A virtual desktop gives windows their title bars under a bare Xvfb.
    _tesnova_detached wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f
    _tesnova_detached wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1024 /f
    # End the set-up session before any program runs: services started while the prefix was
    # being made do not serve later programs (no COM running object table without rpcss).
    _tesnova_detached timeout 120 wineserver -w || _tesnova_detached wineserver -k
    touch "$WINEPREFIX/.tesnova-ready"
  fi
) 9>"$WINEPREFIX.lock"
# Keep the wineserver alive between calls: a cold start costs about a second each.
_tesnova_detached wineserver -p || true
