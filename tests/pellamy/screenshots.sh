#!/usr/bin/env bash
# Screenshots of Pellamy as a user sees it: idle, confirming a registration with the version
# information, and the result message. Uses $DISPLAY and the Wine prefix of scripts/lib/wine.sh.
#   tests/pellamy/screenshots.sh [windows-x86|windows-x64]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/scripts/lib/wine.sh"
wine_env
preset=${1:-windows-x86}
exe=Pellamy; [ "$preset" = windows-x64 ] && exe=Pellamy64
bin="$ROOT/build/$preset/bin"
out="$ROOT/screenshots"
mkdir -p "$out"
fixture=$(winepath -w "$bin/fixtures/fx_register.dll" 2>/dev/null)

wine "$bin/$exe.exe" "$fixture" >/dev/null 2>&1 </dev/null &
pid=$!
win=
for _ in $(seq 1 100); do
  win=$(xdotool search --name '^Register or Unregister OCX / DLL$' 2>/dev/null | head -1)
  [ -n "$win" ] && break
  sleep 0.2
done
[ -n "$win" ] || { echo "no window" >&2; kill $pid; exit 1; }
sleep 1
import -window "$win" "$out/$exe-idle.png"
# Register, then Proceed: both sit at the same place in the button row.
xdotool mousemove --window "$win" 120 182 click 1
sleep 1
import -window "$win" "$out/$exe-confirm.png"
xdotool mousemove --window "$win" 120 182 click 1
box=
for _ in $(seq 1 50); do
  box=$(xdotool search --name '^Pellamy$' 2>/dev/null | head -1)
  [ -n "$box" ] && break
  sleep 0.2
done
sleep 0.5
[ -n "$box" ] && import -window "$box" "$out/$exe-result.png"
kill $pid 2>/dev/null
wait $pid 2>/dev/null
wine reg delete 'HKCU\Software\PellamyTest\fx_register' /f >/dev/null 2>&1
echo "screenshots: $out/$exe-idle.png $out/$exe-confirm.png $out/$exe-result.png"
