#!/usr/bin/env bash
# Compares the resource types and names cResources lists (pellamy_reslist) with `wrestool -l`
# from icoutils, on the project's fixtures and on modules that ship with Wine. wrestool 0.32
# prints a named type's name in place of a named resource's name, so named names are compared
# as "named" (the enumerator's own tests check them by text).
#   wrestool_check.sh <reslist.exe> <fixtures folder> <32|64>
set -uo pipefail
reslist=$1
fixtures=$2
bits=$3
sys="$WINEPREFIX/drive_c/windows/system32"
[ "$bits" = 32 ] && [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] && sys="$WINEPREFIX/drive_c/windows/syswow64"
files=("$fixtures/fx_resources.dll" "$fixtures/fx_register.dll" "$fixtures/fx_regonly.dll"
       "$sys/notepad.exe" "$sys/comdlg32.dll" "$sys/comctl32.dll" "$sys/shell32.dll")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
for f in "${files[@]}"; do
  [ -f "$f" ] || { echo "missing $f"; fail=1; continue; }
  named='s/\|[^0-9|][^|]*$/|named/'
  wine "$reslist" "$(winepath -w "$f" 2>/dev/null)" 2>/dev/null | tr -d '\r' | sed -E "$named" | sort -u > "$tmp/ours"
  wrestool -l "$f" | sed -E "s/^--type='?([^' ]*)'? --name='?([^' ]*)'? .*/\1|\2/" | sed -E "$named" |
    sort -u > "$tmp/theirs"
  if [ ! -s "$tmp/theirs" ] || ! diff -u "$tmp/theirs" "$tmp/ours" > "$tmp/diff"; then
    echo "MISMATCH $f"; cat "$tmp/diff"; fail=1
  else
    echo "same $(wc -l < "$tmp/ours") resources: $(basename "$f")"
  fi
done
exit $fail
