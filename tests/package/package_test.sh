#!/usr/bin/env bash
# What a user gets from an install or a package, checked from outside.
# Usage: package_test.sh linux|windows BUILD_DIR VERSION
set -uo pipefail
mode=$1 build=$(realpath "$2") version=$3
scratch=$(mktemp -d) failed=0
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; failed=1; }
has() { grep -qE -- "(^|[^a-z-])$1([^a-z-]|$)" <<<"$2"; }  # has WORD TEXT

linux() {
    local prefix=$scratch/prefix option warnings out listings
    cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
    local find=$prefix/bin/tarvo-find man=$prefix/share/man/man1/tarvo-find.1
    local completion=$prefix/share/bash-completion/completions/tarvo-find
    "$find" --version | grep -qF "version $version" || fail "--version: $("$find" --version)"
    warnings=$(groff -man -Tutf8 -ww -z "$man" 2>&1)
    [ -z "$warnings" ] || fail "man page warnings: $warnings"
    # Every option --help names is in the man page and the completion, and each of rank|name|line.
    for option in $("$find" --help | grep -oE -- '^ +-[a-z]|--[a-z][a-z-]+' | sort -u); do
        has "$option" "$(sed 's/\\-/-/g' "$man")" || fail "$option is not in the man page"
        has "$option" "$(cat "$completion")" || fail "$option is not in the bash completion"
    done
    for word in $("$find" --help | grep -oE '[a-z]+(\|[a-z]+)+' | tr '|' ' '); do
        has "$word" "$(cat "$completion")" || fail "the value $word is not in the bash completion"
    done
    bash -c ". '$completion'; complete -p tarvo-find" >/dev/null || fail "the completion does not register"
    mkdir -p "$scratch/tree"
    printf 'static int widget_gadget(void);\nwidget only\n' >"$scratch/tree/a.c"
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/deb" >/dev/null 2>&1 || fail "DEB"
    cpack --config "$build/CPackConfig.cmake" -G TGZ -B "$scratch/tgz" >/dev/null 2>&1 || fail "TGZ"
    local deb=("$scratch"/deb/tarvo-search_"$version"_*.deb)
    dpkg-deb -f "${deb[0]}" Depends | grep -q libc6 || fail "the .deb names no libc6 dependency"
    dpkg -x "${deb[0]}" "$scratch/unpacked" || fail "no tarvo-search_${version}_*.deb"
    out=$("$scratch/unpacked/usr/bin/tarvo-find" --format tsv --top 1 "widget gadget" "$scratch/tree")
    [ "$(cut -f3,4 <<<"$out")" = "$scratch/tree/a.c"$'\t1' ] || fail "the unpacked tarvo-find: $out"
    listings=$(dpkg-deb -c "${deb[0]}"; echo ---; tar -tzf "$scratch"/tgz/*.tar.gz)
    for file in bin/tarvo-find share/man/man1/tarvo-find.1 \
        share/bash-completion/completions/tarvo-find; do
        [ "$(grep -c "/$file$" <<<"$listings")" = 2 ] || fail "$file is not in both packages"
    done
}

windows() {
    cpack --config "$build/CPackConfig.cmake" -B "$scratch/zip" >/dev/null 2>&1 || fail "cpack"
    local expected got exe dll imports
    expected=$(printf "TarvoSearch-$version-win64/%s\n" CHANGES README.md TarvoSearch.exe \
        docs/index.html tarvo-find.exe | sort)
    got=$(cmake -E tar tf "$scratch/zip/TarvoSearch-$version-win64.zip" | grep -v '/$' | sort)
    [ "$got" = "$expected" ] || fail "the ZIP holds:"$'\n'"$got"
    # Statically linked: any other DLL would have to travel along.
    local system='^(kernel32|user32|gdi32|shell32|advapi32|comctl32|comdlg32|ole32|shlwapi|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
    for exe in "$build/TarvoSearch.exe" "$build/tarvo-find.exe"; do
        imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print tolower($3) }')
        [ -n "$imports" ] || fail "no imports read from $exe"
        for dll in $imports; do [[ $dll =~ $system ]] || fail "$(basename "$exe") imports $dll"; done
    done
}

[[ $mode =~ ^(linux|windows)$ ]] || { echo "usage: package_test.sh linux|windows BUILD VERSION"; exit 2; }
"$mode"
exit $failed
