#!/usr/bin/env bash
# Runs the print job tests under Wine, then reads each job's PostScript back as text with ps2ascii:
# every line printed, in order, no line lost.
#   print_jobs.sh <emulator> <tavrin_print_tests.exe>
set -uo pipefail
emulator=$1
exe=$2
command -v ps2ascii >/dev/null || { echo "ps2ascii missing (package ghostscript)"; exit 1; }
out=$(mktemp -d /tmp/tavrin-print-XXXXXX)
trap 'rm -rf "$out"' EXIT

if ! TAVRIN_PRINT_OUT=$out "$emulator" "$exe" --gtest_filter='PrintJobs.*' >"$out/log.txt" 2>&1; then
  cat "$out/log.txt"
  echo "the print job tests failed"
  exit 1
fi

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The job's text lines, blanks at either end removed, empty lines left out (ps2ascii writes CR LF
# and no-break spaces for blanks).
text_of() {
  ps2ascii "$out/$1.ps" 2>/dev/null | sed -e 's/\xc2\xa0/ /g' -e 's/\r$//' -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' |
    grep -v '^$'
}

# Three copies, one after another.
expected=$(for _ in 1 2 3; do printf 'alpha line\nbeta line\ngamma line\n'; done)
[ "$(text_of ThreeCopiesFollowOneAnotherInOneJob)" = "$expected" ] || fail "three copies: $(text_of ThreeCopiesFollowOneAnotherInOneJob | tr '\n' '|')"

# Quick print: the whole text, not only the selection.
[ "$(text_of QuickPrintUsesTheSelectionsRedFourteenPointsAndTheAreasFace)" = "$(printf 'quick red text\nsecond line')" ] ||
  fail "quick print: $(text_of QuickPrintUsesTheSelectionsRedFourteenPointsAndTheAreasFace | tr '\n' '|')"

# 2,000 lines across pages: all of them, in order.
expected=$(for i in $(seq 1 2000); do printf 'Line %04d of the long document\n' "$i"; done)
got=$(text_of ALongDocumentRunsOnAcrossPagesWithoutLosingALine)
[ "$got" = "$expected" ] || fail "long document: $(diff <(echo "$expected") <(echo "$got") | head -5 | tr '\n' '|')"
pages=$(grep -ac '^%%Page:' "$out/ALongDocumentRunsOnAcrossPagesWithoutLosingALine.ps")
[ "$pages" -gt 1 ] || fail "long document on $pages page(s)"

# A long line wraps at blanks: every word, in order, on several lines; the tab is expanded.
got=$(text_of ALongLineWrapsInsteadOfRunningOffThePage)
words=$(echo "$got" | head -n -2 | tr ' ' '\n' | grep -v '^$' | tr '\n' ' ')
[ "$words" = "$(for i in $(seq 1 60); do printf 'word%d ' "$i"; done)" ] || fail "wrapped words: $words"
[ "$(echo "$got" | head -n -2 | wc -l)" -gt 1 ] || fail "the long line was not wrapped"
[ "$(echo "$got" | tail -2 | tr '\n' '|')" = "indented|end|" ] || fail "after the long line: $(echo "$got" | tail -2)"

# An empty document: one page, no text.
[ -z "$(text_of AnEmptyDocumentStillMakesAJob)" ] || fail "empty document printed text"
[ "$(grep -ac '^%%Page:' "$out/AnEmptyDocumentStillMakesAJob.ps")" -eq 1 ] || fail "empty document: not one page"

if [ $failures -gt 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "print jobs read back: all checks passed"
