# Wine and Xvfb for the tests and the run script. Source it, then:
#   wine_kind           WINE_RUNS_32=1 where this machine runs 32-bit programs, 0 where it runs
#                       only 64-bit ones (detected once, exported)
#   wine_kind_line      says which kind of machine this is, in one line
#   wine_preset         the build of the scripts that run one build: windows-x86, or windows-x64
#                       where 32-bit programs cannot run
#   wine_env            variables for a private prefix under build/
#   wine_prefix_ready   creates the prefix once (virtual desktop, fonts, no Mono/Gecko prompts)
#   display_start       uses $DISPLAY, or starts Xvfb on a free display
#   wine_warm_start     persistent wineserver, wineboot and a keeper, all detached from our streams
#   wine_stop           ends every Wine process of the prefix, and our Xvfb
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
OUR_XVFB_PID=
WINE32_LOADER=${WINE32_LOADER:-/usr/lib/wine/wine}
WINE64_LOADER=${WINE64_LOADER:-/usr/lib/wine/wine64}

# Wine's 32-bit loader is itself a 32-bit Linux program: where it cannot start ("Exec format
# error"), no 32-bit Windows program can run either.
wine_kind() {
  if [ -z "${WINE_RUNS_32:-}" ]; then
    if "$WINE32_LOADER" --version >/dev/null 2>&1; then WINE_RUNS_32=1; else WINE_RUNS_32=0; fi
  fi
  export WINE_RUNS_32
}

# The build that runs here: windows-x86 where 32-bit programs run, else windows-x64.
wine_preset() {
  wine_kind
  if [ "$WINE_RUNS_32" = 1 ]; then echo windows-x86; else echo windows-x64; fi
}

wine_kind_line() {
  wine_kind
  if [ "$WINE_RUNS_32" = 1 ]; then
    echo "machine: runs 32-bit and 64-bit programs"
  else
    echo "machine: cannot run 32-bit programs (64-bit only)"
  fi
}

wine_env() {
  wine_kind
  # Our wine (and wine-stable, which wineboot and winepath call) first on PATH.
  case ":$PATH:" in *":$ROOT/scripts/lib/bin:"*) ;; *) export PATH="$ROOT/scripts/lib/bin:$PATH" ;; esac
  export WINEPREFIX="${WINEPREFIX_OVERRIDE:-$ROOT/build/wineprefix}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  # A running CUPS must not replace the test printer as the default.
  export CUPS_SERVER=/nonexistent/cups.sock
}

wine_prefix_ready() {
  wine_env
  # A prefix made where 32-bit programs could not run has no 32-bit half: make it again.
  [ "$(cat "$WINEPREFIX/.prepared" 2>/dev/null)" = "runs32=$WINE_RUNS_32" ] && return 0
  echo "wine: preparing prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1 </dev/null
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 </dev/null
  wineserver -w
  echo "runs32=$WINE_RUNS_32" >"$WINEPREFIX/.prepared"
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

# The keeper of a bitness this machine runs: the 64-bit one, which runs everywhere, when built.
wine_keeper() {
  local d
  for d in "$ROOT/build/windows-x64/bin" "$ROOT/build/windows-x86/bin"; do
    [ "$d" = "$ROOT/build/windows-x86/bin" ] && [ "$WINE_RUNS_32" != 1 ] && continue
    [ -f "$d/test_keeper.exe" ] && { echo "$d/test_keeper.exe"; return 0; }
  done
  return 1
}

# A persistent server, the prefix booted and the test keeper (when one is built), all detached
# from our streams.
wine_warm_start() {
  wine_env
  wineserver -p >/dev/null 2>&1 </dev/null
  wine wineboot >/dev/null 2>&1 </dev/null
  local keeper
  if keeper=$(wine_keeper); then
    (setsid wine "$keeper" >/dev/null 2>&1 </dev/null &)
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
