#!/usr/bin/env bash
# A search over a big tree, once with tarvo-find as released and once built
# with AddressSanitizer and UBSan: both must finish, the sanitized one
# without a finding, and both must count the same matches, files, lines and
# bytes and print the same results. It takes minutes, so ./test.sh does not
# run it.
# Usage: tests/load_under_asan.sh [TREE] [FIND_TEXT]
#   TREE defaults to the benchmark tree (~/.cache/tarvo-bench/linux-source-6.1)
#   or, where that is missing, /usr/include. The binaries default to those
#   of the native and native-asan presets (built here when missing); PLAIN
#   and ASAN in the environment name others.
set -euo pipefail
cd "$(dirname "$0")/.."

tree=${1:-$HOME/.cache/tarvo-bench/linux-source-6.1}
[ -d "$tree" ] || tree=/usr/include
find_text=${2:-"kmalloc GFP_KERNEL"}
plain=${PLAIN:-build/native/tarvo-find}
asan=${ASAN:-build/native-asan/tarvo-find}
for preset in native native-asan; do
    binary=build/$preset/tarvo-find
    if { [ "$binary" = "$plain" ] || [ "$binary" = "$asan" ]; } && [ ! -x "$binary" ]; then
        cmake --preset "$preset" >/dev/null
        cmake --build --preset "$preset" --target tarvo-find -j "$(nproc)"
    fi
done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# One search each: the results as TSV on stdout, the status line on stderr.
# tarvo-find exits 1 when nothing was found, which is no failure here.
search() {  # search BINARY NAME
    local start end rc=0
    start=$(date +%s%N)
    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$1" --stats --format tsv "$find_text" "$tree" >"$out/$2.tsv" 2>"$out/$2.err" || rc=$?
    end=$(date +%s%N)
    if [ "$rc" -gt 1 ] || grep -q -e "ERROR: AddressSanitizer" -e "runtime error" "$out/$2.err"; then
        echo "FAIL: $2 search exited $rc"
        tail -40 "$out/$2.err"
        exit 1
    fi
    # The status line without its time.
    grep "Matches" "$out/$2.err" | sed 's/ *Time: .*//' >"$out/$2.stats"
    printf '%-6s %s   (%d s)\n' "$2" "$(cat "$out/$2.stats")" $(((end - start) / 1000000000))
}

echo "== load: \"$find_text\" over $tree"
search "$plain" plain
search "$asan" asan
failures=0
if ! cmp -s "$out/plain.stats" "$out/asan.stats"; then
    echo "FAIL: the counts differ"
    failures=$((failures + 1))
fi
if ! cmp -s "$out/plain.tsv" "$out/asan.tsv"; then
    echo "FAIL: the results differ"
    diff "$out/plain.tsv" "$out/asan.tsv" | head -20
    failures=$((failures + 1))
fi
echo "$((2 - failures)) passed, $failures failed"
exit "$failures"
