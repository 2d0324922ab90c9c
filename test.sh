#!/usr/bin/env bash
# Builds every preset and runs every suite, after installing what is missing
# from Debian's packages, so it works on a fresh machine.
# ./test.sh native: the native preset's suites only, for a quick loop.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)
. scripts/install-missing.sh
# Windows: cross compiler, Wine, a virtual display with fonts metric-compatible with Arial and
# Courier New, tools to drive it and take screenshots. Fuzz: libFuzzer.
# Packages: groff, dpkg-dev. tarvo-find on a terminal: script (bsdutils) gives it a
# pseudo-terminal. clang-format: the layout check. Skip Ignored Files is checked against
# what git answers.
install_missing cmake make g++ googletest libgtest-dev bsdutils clang-format git \
    g++-mingw-w64-x86-64-posix wine64 xvfb xauth fonts-liberation xdotool \
    x11-apps imagemagick clang libclang-rt-14-dev groff-base dpkg-dev

# Every C++ file laid out as the committed .clang-format says, before anything is built.
echo "== clang-format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

build() { echo "== $1" && cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$jobs"; }
presets=(native native-asan)
[ "${1:-}" = native ] && presets=(native)
for preset in "${presets[@]}"; do
    build "$preset"
    ctest --preset "$preset" -j "$jobs"
done
[ "${1:-}" = native ] && exit 0

# Every fuzz target: its committed corpus, then fresh inputs, 20 s each.
build fuzz
for corpus in tests/fuzz/corpus/*/; do
    tests/fuzz/run.sh "$(basename "$corpus")" 20
done

build windows
. scripts/wine-env.sh
wine_prefix_init "$PWD/build/windows/wine-prefix"
# The suites draw real windows: a 24-bit virtual screen, since a shallower
# one changes the colours read back from window device contexts.
export jobs
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '. scripts/wine-env.sh; wine_server_start
    rc=0; ctest --preset windows -j "$jobs" || rc=$?; wine_server_stop; exit $rc'
