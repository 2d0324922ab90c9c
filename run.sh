#!/usr/bin/env bash
# Builds the program and runs it from the current directory.
#
# With a display (DISPLAY set): TarvoSearch.exe under Wine. Its arguments are
# its command line, which becomes the Find text, with this directory as the
# Path text:   ./run.sh FIND_TEXT...
# Without one: the terminal front end with the same arguments:
#              ./run.sh FIND_TEXT [PATH_TEXT]
set -euo pipefail
here="$PWD"
cd "$(dirname "$0")"
repo="$PWD"
jobs=$(nproc)

. scripts/install-missing.sh

if [ -n "${DISPLAY:-}" ]; then
    install_missing cmake make g++ googletest libgtest-dev \
        g++-mingw-w64-x86-64-posix wine64 fonts-liberation
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target TarvoSearch -j "$jobs" >/dev/null
    . scripts/wine-env.sh
    wine_prefix_init "$repo/build/windows/wine-prefix"
    cd "$here"
    exec "$WINE" "$repo/build/windows/TarvoSearch.exe" "$@"
fi

echo "run.sh: no display (DISPLAY is not set); running tarvo-find instead of the window." >&2
install_missing cmake make g++
cmake --preset native -DTARVO_BUILD_TESTS=OFF >/dev/null
cmake --build --preset native --target tarvo-find -j "$jobs" >/dev/null
cd "$here"
exec "$repo/build/native/tarvo-find" "$@"
