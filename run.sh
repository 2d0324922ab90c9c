#!/usr/bin/env bash
# Builds the program and runs it. Until the window exists this is the
# terminal front end: ./run.sh FIND_TEXT [PATH_TEXT]
set -euo pipefail
cd "$(dirname "$0")"
if ! command -v cmake >/dev/null || ! command -v g++ >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends cmake make g++
fi
cmake --preset native -DTARVO_BUILD_TESTS=OFF >/dev/null
cmake --build --preset native --target tarvo-find -j "$(nproc)" >/dev/null
exec build/native/tarvo-find "$@"
