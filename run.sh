#!/usr/bin/env bash
# Builds the program and runs it from the current directory:
#
#   ./run.sh [FIND TEXT...]
#
# Both modes read the arguments the same way: joined with blanks they are
# one text, read like the Find box, and the current directory is the Path.
# With a display (DISPLAY set) that text is TarvoSearch.exe's whole command
# line, under Wine; without one it is tarvo-find's FIND_TEXT. A phrase is
# written '"two words"' in both.

# The text both modes get. Sourced (by its test), this file only defines it.
command_text() {
    local IFS=' '
    printf '%s' "$*"
}
return 0 2>/dev/null || true

set -euo pipefail
here="$PWD"
cd "$(dirname "$0")"
repo="$PWD"
jobs=$(nproc)
text=$(command_text "$@")

. scripts/install-missing.sh

if [ -n "${DISPLAY:-}" ]; then
    install_missing cmake make g++ googletest libgtest-dev \
        g++-mingw-w64-x86-64-posix wine64 fonts-liberation
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target TarvoSearch launch_with_command_line \
        -j "$jobs" >/dev/null
    . scripts/wine-env.sh
    wine_prefix_init "$repo/build/windows/wine-prefix"
    cd "$here"
    # Wine would quote and escape the text on its way to the command line;
    # the launcher hands it over as it stands.
    exec "$WINE" "$repo/build/windows/launch_with_command_line.exe" \
        "Z:$(echo "$repo/build/windows/TarvoSearch.exe" | tr / '\\')" "$text"
fi

echo "run.sh: no display (DISPLAY is not set); running tarvo-find instead of the window." >&2
install_missing cmake make g++
cmake --preset native -DTARVO_BUILD_TESTS=OFF >/dev/null
cmake --build --preset native --target tarvo-find -j "$jobs" >/dev/null
cd "$here"
if [ $# -eq 0 ]; then
    exec "$repo/build/native/tarvo-find" --help
fi
exec "$repo/build/native/tarvo-find" -- "$text"
