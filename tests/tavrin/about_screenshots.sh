#!/usr/bin/env bash
# Screenshots of both About boxes and the web update window (with its answer to a newer version)
# in screenshots/, taken under Xvfb from the test-only about_forms_demo.exe.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
cd "$ROOT"
source "$ROOT/scripts/lib/wine.sh"
bin="$ROOT/build/windows-x86/bin"
cmake --build --preset windows-x86 --target about_forms_demo >/dev/null || exit 1
wine_prefix_ready
unset DISPLAY
display_start || exit 1
trap wine_stop EXIT
wine_warm_start "$bin"
mkdir -p "$ROOT/screenshots"
shoot() {  # $1 argument, $2 window title, $3 file
  wine "$bin/about_forms_demo.exe" "$1" >/dev/null 2>&1 </dev/null &
  local pid=$! win=
  for _ in $(seq 1 75); do
    win=$(xdotool search --name "$2" 2>/dev/null | tail -1)
    [ -n "$win" ] && break
    sleep 0.2
  done
  sleep 1.5
  if [ -n "$win" ]; then
    import -window "$win" "$ROOT/screenshots/$3" && echo "screenshots/$3"
  else
    echo "no window '$2'" >&2
  fi
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}
shoot tavrin-about '^About Tavrin$' about-tavrin.png
shoot pellamy-about '^About Pellamy$' about-pellamy.png
shoot webupdate '^Web Update$' webupdate.png
shoot webupdate-newer '^A new version of Tavrin has been found$' webupdate-newer.png
