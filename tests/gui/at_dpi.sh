#!/usr/bin/env bash
# Runs window suites at another screen DPI (LogPixels of HKCU\Control Panel\Desktop, read when a
# program starts), then puts the old value back. Usage: at_dpi.sh DPI gui_tests.exe GTEST_FILTER
set -uo pipefail
dpi=$1 suite=$2 filter=$3
. "$(dirname "$0")/../../scripts/wine-env.sh"
key='HKCU\Control Panel\Desktop'
# The value as it was, if there was one (reg prints "LogPixels REG_DWORD 0x90").
old=$("$WINE" reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" { print $3 }')
set_dpi() { "$WINE" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
restore() {
    if [ -n "$old" ]; then set_dpi $((old)); else "$WINE" reg delete "$key" /v LogPixels /f >/dev/null 2>&1; fi
}
trap restore EXIT
set_dpi "$dpi" || exit 1
# One process per test, as for the other window suites: the program's state is process-wide.
tests=$("$WINE" "$suite" --gtest_list_tests --gtest_filter="$filter" | tr -d '\r' |
    awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }')
[ -n "$tests" ] || { echo "no test matches $filter"; exit 1; }
failed=0
for test in $tests; do
    TARVO_TEST_DPI=$dpi "$WINE" "$suite" --gtest_filter="$test" || failed=1
done
exit $failed
