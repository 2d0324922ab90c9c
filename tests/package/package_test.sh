#!/usr/bin/env bash
# What a user gets from an install or a package, checked from outside.
#
#   package_test.sh linux BUILD_DIR VERSION
#     cmake --install into a scratch prefix: the installed tarvo-find reports
#     VERSION, its man page renders without a warning, and every long option
#     its --help names is in the man page and the bash completion; then the
#     .deb, unpacked with dpkg -x, runs a search, and the .tar.gz holds the
#     same files.
#   package_test.sh windows BUILD_DIR VERSION
#     the ZIP holds exactly the two programs, the guide, README and CHANGES,
#     and both programs import only DLLs every Windows has.
set -uo pipefail
mode=$1
build=$(realpath "$2")
version=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failed=0
fail() { echo "FAIL: $*"; failed=1; }

# A tiny tree with one line holding both terms.
mkdir -p "$scratch/tree"
printf 'static int widget_gadget(void);\nwidget only\n' >"$scratch/tree/a.c"

linux() {
    local prefix=$scratch/prefix find man completion
    cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
    find=$prefix/bin/tarvo-find
    man=$prefix/share/man/man1/tarvo-find.1
    completion=$prefix/share/bash-completion/completions/tarvo-find
    "$find" --version | grep -qF "version $version" ||
        fail "installed --version: '$("$find" --version)', expected version $version"

    local warnings
    warnings=$(groff -man -Tutf8 -ww -z "$man" 2>&1)
    [ -z "$warnings" ] || fail "man page warnings: $warnings"

    # Options the man page and the completion do not know drift from the
    # program; the man source writes each '-' as '\-'.
    local option man_text
    man_text=$(sed 's/\\-/-/g' "$man")
    for option in $("$find" --help | grep -oE -- '--[a-z][a-z-]+' | sort -u); do
        grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$man_text" ||
            fail "$option is not in the man page"
        grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" "$completion" ||
            fail "$option is not in the bash completion"
    done
    bash -c ". '$completion'; complete -p tarvo-find" >/dev/null ||
        fail "the completion does not register for tarvo-find"

    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/deb" >/dev/null 2>&1 ||
        fail "cpack -G DEB"
    local deb
    deb=$(echo "$scratch"/deb/tarvo-search_"$version"_*.deb)
    if [ -f "$deb" ]; then
        dpkg-deb -f "$deb" Depends | grep -q libc6 || fail "the .deb names no libc6 dependency"
        dpkg -x "$deb" "$scratch/unpacked"
        local out
        out=$("$scratch/unpacked/usr/bin/tarvo-find" --format tsv --top 1 "widget gadget" \
            "$scratch/tree")
        [ "$(echo "$out" | cut -f3,4)" = "$(printf '%s\t1' "$scratch/tree/a.c")" ] ||
            fail "the unpacked tarvo-find printed '$out'"
        [ -f "$scratch/unpacked/usr/share/man/man1/tarvo-find.1" ] || fail "no man page in the .deb"
    else
        fail "no tarvo-search_${version}_*.deb"
    fi

    cpack --config "$build/CPackConfig.cmake" -G TGZ -B "$scratch/tgz" >/dev/null 2>&1 ||
        fail "cpack -G TGZ"
    local listing
    listing=$(tar -tzf "$scratch"/tgz/*.tar.gz 2>/dev/null)
    for file in bin/tarvo-find share/man/man1/tarvo-find.1 \
        share/bash-completion/completions/tarvo-find; do
        echo "$listing" | grep -q "/$file$" || fail "$file is not in the .tar.gz"
    done
}

windows() {
    local zip=$scratch/zip/TarvoSearch-$version-win64.zip exe imports
    cpack --config "$build/CPackConfig.cmake" -B "$scratch/zip" >/dev/null 2>&1 || fail "cpack"
    local expected got
    expected=$(printf "TarvoSearch-$version-win64/%s\n" CHANGES README.md TarvoSearch.exe \
        docs/index.html tarvo-find.exe | sort)
    got=$(cmake -E tar tf "$zip" | grep -v '/$' | sort)
    [ "$got" = "$expected" ] || fail "the ZIP holds:"$'\n'"$got"$'\n'"expected:"$'\n'"$expected"

    # Statically linked: a DLL outside this list would have to travel with
    # the program.
    local system='^(kernel32|user32|gdi32|shell32|advapi32|comctl32|comdlg32|ole32|shlwapi|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
    for exe in "$build/TarvoSearch.exe" "$build/tarvo-find.exe"; do
        imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print tolower($3) }')
        [ -n "$imports" ] || fail "no imports read from $exe"
        for dll in $imports; do
            [[ $dll =~ $system ]] || fail "$(basename "$exe") imports $dll"
        done
    done
}

case $mode in
    linux) linux ;;
    windows) windows ;;
    *) echo "usage: package_test.sh linux|windows BUILD_DIR VERSION"; exit 2 ;;
esac
[ $failed -eq 0 ] && echo "packages: all passed"
exit $failed
