#!/usr/bin/env bash
# Runs the print jobs under Wine, then reads each job's PostScript back as text with ps2ascii:
# every line printed, in order, no line lost.
#   print_jobs.sh <emulator> <tavrin_print_tests.exe>
set -uo pipefail
command -v ps2ascii >/dev/null || { echo "ps2ascii missing (package ghostscript)"; exit 1; }
out=$(mktemp -d /tmp/tavrin-print-XXXXXX)
trap 'rm -rf "$out"' EXIT
TAVRIN_PRINT_OUT=$out "$1" "$2" --gtest_filter='PrintJobs.PrintAndQuickPrintJobs' >"$out/log.txt" 2>&1 ||
  { cat "$out/log.txt"; echo "the print jobs failed"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# A job's text lines, blanks at either end and empty lines dropped (ps2ascii writes CR LF and
# no-break spaces for blanks).
text_of() {
  ps2ascii "$out/$1.ps" 2>/dev/null | sed -e 's/\xc2\xa0/ /g' -e 's/\r$//' -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' | grep -v '^$'
}
check() {  # job expected-lines
  [ "$(text_of "$1")" = "$2" ] || fail "$1: $(diff <(echo "$2") <(text_of "$1") | head -5 | tr '\n' '|')"
}
check copies "$(for _ in 1 2 3; do printf 'alpha line\nbeta line\ngamma line\n'; done)"
check quick "$(printf 'quick red text\nsecond line')"  # the whole text, not only the selection
check long "$(for i in $(seq 1 2000); do printf 'Line %04d of the long document\n' "$i"; done)"
[ $failures -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "print jobs read back: all checks passed"
