#!/usr/bin/env bash
# tarvo-find as released and under AddressSanitizer and UBSan over a big tree (the benchmark's, else
# /usr/include): the same counts and results, no finding; minutes long, so not in ./test.sh.
# Usage: tests/load_under_asan.sh [TREE] [FIND_TEXT]; PLAIN and ASAN may name other binaries.
set -euo pipefail
cd "$(dirname "$0")/.."
tree=${1:-$HOME/.cache/tarvo-bench/linux-source-6.1}
[ -d "$tree" ] || tree=/usr/include
out=$(mktemp -d) && trap 'rm -rf "$out"' EXIT
for name in plain asan; do
    preset=native binary=${PLAIN:-build/native/tarvo-find}
    [ $name = plain ] || preset=native-asan binary=${ASAN:-build/native-asan/tarvo-find}
    [ -x "$binary" ] || { cmake --preset "$preset" >/dev/null &&
        cmake --build --preset "$preset" --target tarvo-find -j "$(nproc)"; }
    rc=0  # 1 (nothing found) is no failure
    ASAN_OPTIONS=halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 "$binary" \
        --stats --format tsv "${2:-kmalloc GFP_KERNEL}" "$tree" >"$out/$name.tsv" 2>"$out/$name.err" || rc=$?
    if [ $rc -gt 1 ] || grep -q -e "ERROR: AddressSanitizer" -e "runtime error" "$out/$name.err"; then
        echo "FAIL: $name search exited $rc" && tail -40 "$out/$name.err" && exit 1
    fi
    { grep Matches "$out/$name.err" || true; } | sed 's/ *Time: .*//' | tee "$out/$name.stats"
done
cmp -s "$out/plain.stats" "$out/asan.stats" || { echo "FAIL: the counts differ" && exit 1; }
cmp "$out/plain.tsv" "$out/asan.tsv" || { echo "FAIL: the results differ" && exit 1; }
echo "the same results with and without the sanitizers"
