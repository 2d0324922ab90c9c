#!/usr/bin/env bash
# run.sh's two modes get the same text: the window's command line (cmd's echo under Wine)
# equals the FIND_TEXT tarvo-find gets.
# Usage: run_arguments_test.sh launch_with_command_line.exe
set -uo pipefail
launcher=$1 here=$(cd "$(dirname "$0")" && pwd) failed=0
. "$here/../../scripts/wine-env.sh"
. "$here/../../run.sh"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
winout="Z:$(echo "$out" | tr / '\\')"
# run.sh's arguments, separated by ';' | the text both modes must get.
while IFS='|' read -r arguments expected; do
    IFS=';' read -ra args <<<"$arguments"
    text=$(command_text "${args[@]}")
    [ "$text" = "$expected" ] || { echo "FAIL: [$arguments] gave tarvo-find '$text'"; failed=1; }
    rm -f "$out"
    "$WINE" "$launcher" 'C:\windows\system32\cmd.exe' "/c echo $text>$winout"
    window=$(tr -d '\r' <"$out" 2>/dev/null)
    [ "$window" = "$expected" ] || { echo "FAIL: [$arguments] gave the window '$window'"; failed=1; }
done <<'CASES'
kmalloc GFP_KERNEL|kmalloc GFP_KERNEL
kmalloc;GFP_KERNEL|kmalloc GFP_KERNEL
"two words";x|"two words" x
"a  b";back\slash \"q\"|"a  b" back\slash \"q\"
CASES
exit $failed
