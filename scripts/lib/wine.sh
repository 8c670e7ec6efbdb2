# Wine and Xvfb for the tests and the run script. Source it, then:
#   wine_env            variables for a private prefix under build/
#   wine_prefix_ready   creates the prefix once (virtual desktop, fonts, no Mono/Gecko prompts)
#   display_start       uses $DISPLAY, or starts Xvfb on a free display
#   wine_warm_start     persistent wineserver, wineboot and a keeper, all detached from our streams
#   wine_stop           ends every Wine process of the prefix, and our Xvfb
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
OUR_XVFB_PID=

wine_env() {
  export WINEPREFIX="${WINEPREFIX_OVERRIDE:-$ROOT/build/wineprefix}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  # A running CUPS must not replace the test printer as the default.
  export CUPS_SERVER=/nonexistent/cups.sock
}

wine_prefix_ready() {
  wine_env
  [ -f "$WINEPREFIX/.prepared" ] && return 0
  echo "wine: preparing prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 </dev/null
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$WINEPREFIX/.prepared"
}

display_start() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
      OUR_XVFB_PID=$!
      export DISPLAY=":$n"
      for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
      echo "display: Xvfb :$n did not start" >&2
      return 1
    fi
  done
  echo "display: no free display number" >&2
  return 1
}

# $1: folder with test_keeper.exe (optional)
wine_warm_start() {
  wine_env
  wineserver -p >/dev/null 2>&1 </dev/null
  wine wineboot >/dev/null 2>&1 </dev/null
  if [ -n "${1:-}" ] && [ -f "$1/test_keeper.exe" ]; then
    (setsid wine "$1/test_keeper.exe" >/dev/null 2>&1 </dev/null &)
  fi
}

wine_stop() {
  wine_env
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  # The server's last clients take a moment to go after it.
  for _ in $(seq 1 50); do
    ps -eo comm= | grep -qE '^(wineserver|wineserver64|services.exe|explorer.exe|winedevice.exe|plugplay.exe)$' || break
    sleep 0.1
  done
  if [ -n "$OUR_XVFB_PID" ]; then
    kill "$OUR_XVFB_PID" 2>/dev/null || true
    wait "$OUR_XVFB_PID" 2>/dev/null || true
    OUR_XVFB_PID=
  fi
}
