#!/usr/bin/env bash
# Builds every preset and runs every suite. Installs what is missing from
# Debian's packages first, so it works on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")"

jobs=$(nproc)

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }
for pkg in cmake make g++ googletest libgtest-dev; do
    have "$pkg" || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
    echo "== installing: ${need[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

for preset in native native-asan; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done
