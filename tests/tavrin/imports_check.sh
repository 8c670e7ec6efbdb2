#!/usr/bin/env bash
# The libraries a program imports at load time, read with objdump -p: none that a file of the same
# name beside the program could replace is imported (they are loaded from the system folder at
# first use instead).
#   imports_check.sh <objdump> <program.exe>
set -uo pipefail
objdump=$1
exe=$2
[ -f "$exe" ] || { echo "missing $exe"; exit 1; }
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$imports" ] || { echo "no imports read from $exe"; exit 1; }
echo "imports: $(echo "$imports" | tr '\n' ' ')"
fail=0
for dll in wininet.dll winspool.drv msftedit.dll riched20.dll; do
  if grep -qx "$dll" <<<"$imports"; then echo "FAIL: $exe imports $dll at load time"; fail=1; fi
done
exit $fail
