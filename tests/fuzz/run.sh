#!/usr/bin/env bash
# Runs a fuzz target for SECONDS over its committed corpus, then fresh inputs; a crash is saved
# under build/fuzz/crashes/ and fails. Usage: tests/fuzz/run.sh TARGET SECONDS [libFuzzer flags].
set -euo pipefail
cd "$(dirname "$0")/../.."
target=${1:?usage: tests/fuzz/run.sh TARGET SECONDS}
seconds=${2:?usage: tests/fuzz/run.sh TARGET SECONDS}
shift 2
binary=build/fuzz/${target}_fuzz
corpus=tests/fuzz/corpus/$target
[ -x "$binary" ] || { echo "no $binary: cmake --preset fuzz && cmake --build --preset fuzz"; exit 2; }
[ -d "$corpus" ] || { echo "no seed corpus $corpus"; exit 2; }
[ -w /dev/shm ] && export TMPDIR=/dev/shm  # for the targets that write real files
fresh=$(mktemp -d) && trap 'rm -rf "$fresh"' EXIT
mkdir -p build/fuzz/crashes
"$binary" "$fresh" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="build/fuzz/crashes/$target-" -print_final_stats=1 "$@" \
    2>"build/fuzz/$target.log" || {
    tail -60 "build/fuzz/$target.log"
    echo "== fuzz $target: FAILED (input saved under build/fuzz/crashes/)"
    exit 1
}
runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "build/fuzz/$target.log" |
    grep -o '[0-9]*$' || echo "?")
echo "== fuzz $target: $runs executions in ${seconds}s, no crash"
